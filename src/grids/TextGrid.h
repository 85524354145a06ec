#pragma once

#include "CellTableModel.h"
#include "ScalableControl.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <optional>
#include <vector>

class QPainter;

namespace kelvos {

// A font with its colour, as the grid's texts are drawn with both.
struct CellFont {
    QFont font;
    QColor color;
    bool operator==(const CellFont&) const = default;
};

// A colour given as a stored colour value: red in the low byte, then green, then blue.
QColor fromStoredColor(quint32 value);

// A rectangle of grid cells, inclusive, in grid coordinates (row 0 the header).
struct GridRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const GridRect&) const = default;
};

class TextGrid;

// The platform grid's own cell drawing: the grid colour, the text single-line at a 2-pixel
// inset, and the focus frame around the current cell.
class PlainCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// Draws a one-line text top-aligned in box from its kept layout, clipped only when it does not
// fit. False, drawing nothing, for a text that needs the full layout (line breaks, tabs).
bool drawLaidOutLine(QPainter* painter, const QRect& box, Qt::Alignment horizontal,
                     const QString& text);

// Draws the focus frame the platform draws around the current cell of a focused grid.
void drawCellFocus(QPainter* painter, const QStyleOptionViewItem& option);

// The header of a grid is its row 0: the grid paints each section as a fixed cell and sees
// the mouse presses on it first.
class FixedRowHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit FixedRowHeader(TextGrid* grid);

    // The platform handling of a press (column sizing), for the grid to run when it lets it.
    void defaultMousePress(QMouseEvent* event) { QHeaderView::mousePressEvent(event); }
    // A header row of fixed height needs no measuring of its texts, which the view would ask
    // for after every row added.
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    // Qt delivers the second press of a double-click as a double-click; it counts as a press.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TextGrid* grid_;
};

// A text grid of rows × columns of strings over a CellTableModel: row 0 is drawn as the fixed
// header row, rows 1… are the data rows. Coordinates are (column, row) with row 0 the header.
// Rows scroll whole: the top row shown always starts at the top edge. Widths, heights and fonts
// are set as designed and shown at the window's scale.
class TextGrid : public QTableView, public ScalableControl {
    Q_OBJECT
public:
    explicit TextGrid(QWidget* parent = nullptr);

    CellTableModel* cellModel() const { return model_; }

    int rowCount() const { return model_->gridRowCount(); }
    virtual void setRowCount(int rows);
    int colCount() const { return model_->gridColCount(); }
    virtual void setColCount(int cols);

    QString cells(int col, int row) const { return model_->cell(col, row); }
    void setCells(int col, int row, const QString& text) { model_->setCell(col, row, text); }
    QStringList rows(int row) const { return model_->store().row(row); }
    QStringList cols(int col) const { return model_->store().column(col); }
    QString rowCommaText(int row) const { return model_->store().rowCommaText(row); }
    void setRowCommaText(int row, const QString& text) { model_->setRowCommaText(row, text); }
    // Empties every cell of every column.
    void clearCells() { model_->clearCells(); }
    // A lap's row: written whole, the grid growing to hold it, and made the current row.
    void writeRow(int row, const QStringList& fields);
    // Scrolls so that the row is the last fully visible one, unless it is in view from the top.
    void followRow(int row);

    // The first data row shown at the top, and the number of data rows fully visible from it.
    int topRow() const;
    void setTopRow(int row);
    int visibleDataRowCount() const;

    int currentCol() const;
    int currentRow() const;
    // Makes (col, row) the current cell. With range selection the selected block is anchored
    // at the first data row of column 0, otherwise only the current cell is selected.
    void setCurrentCell(int col, int row);
    GridRect selection() const;

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QColor fixedColor() const { return fixedColor_; }
    void setFixedColor(const QColor& color);
    CellFont gridFont() const { return font_; }
    virtual void setGridFont(const CellFont& font);
    int defaultColWidth() const { return designColWidth_; }
    void setDefaultColWidth(int width);
    int defaultRowHeight() const { return designRowHeight_; }
    void setDefaultRowHeight(int height);

    void setDisplayScale(double scale) override;
    double displayScale() const { return scale_; }
    // A font of the grid's design as the grid shows it.
    QFont shownFont(const QFont& font) const;
    // A length of the grid's design as the grid shows it.
    int shownPixels(double designed) const;
    bool rangeSelect() const;
    void setRangeSelect(bool on);

    // Paints header cell col (grid row 0) into rect.
    virtual void paintFixedCell(QPainter* painter, const QRect& rect, int col) const;
    // A mouse press on the header row; the default runs the platform's handling.
    virtual void fixedRowPressed(QMouseEvent* event);

    // After rows appended at the end, and nothing else, only the new rows are laid out and
    // painted: the platform view would repaint every visible row at each recorded lap.
    void doItemsLayout() override;

protected:
    FixedRowHeader* fixedRow() const { return header_; }
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;
    void fillFixedCell(QPainter* painter, const QRect& rect) const;

private:
    void applyPalette();
    int alignTopRow();
    void applyScaledSizes();
    void paintGridLines(const QRegion& region);
    void layOutNow();
    void askFullLayout() { fullLayoutAsked_ = true; }
    void layOutAppendedRows(int firstModelRow);
    void updateRowsFrom(int modelRow);

    CellTableModel* model_;
    FixedRowHeader* header_;
    QColor color_ = Qt::white;
    QColor fixedColor_ = QColor(Qt::lightGray);
    CellFont font_;
    double scale_ = 1;
    int designRowHeight_ = 0;
    int designColWidth_ = 0;
    // Each column's designed width, followed as columns are sized (by the program or a drag).
    std::vector<double> designColWidths_;
    bool scaling_ = false;
    // The first model row appended since the last layout; a full layout when anything else
    // changed the rows, the columns or the look since then.
    std::optional<int> appendedFrom_;
    bool fullLayoutAsked_ = false;
    // The first appended model row not painted yet: a scroll before the paint moves the rows,
    // so they are asked for again where they then are.
    std::optional<int> unpaintedFrom_;
};

} // namespace kelvos
