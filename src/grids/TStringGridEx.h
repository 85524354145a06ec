#pragma once

#include "CellRules.h"
#include "GridColumns.h"
#include "TextGrid.h"

class TInplaceEditEx;

// A text grid whose columns are described by column definitions (GridColumns): captions,
// colours, fonts, alignment, wrapping, display masks and editing rules per column.
class TStringGridEx : public kelvos::TextGrid {
    Q_OBJECT
public:
    explicit TStringGridEx(QWidget* parent = nullptr);
    ~TStringGridEx() override;

    TGridColumns* gridColumns() { return &columns_; }
    const TGridColumns* gridColumns() const { return &columns_; }
    TGridStyle gridStyle() const { return style_; }
    void setGridStyle(TGridStyle style);
    QColor stripeColor() const { return stripeColor_; }
    void setStripeColor(const QColor& color);

    void setColCount(int cols) override;

    // The background colour of a data cell by the grid style and the column definitions.
    QColor cellColor(int col, int row) const;

    // Reorders data rows 1 … rowCount − 1 ascending by the text of column col (the lap-time
    // and recording-order sorts) and shows the result.
    void sortByColumnText(int col);

    // What header cell col shows: its text, or the column's caption while the cell is empty.
    QString fixedCellText(int col) const;
    void paintFixedCell(QPainter* painter, const QRect& rect, int col) const override;

    // Editor movements asked for by TInplaceEditEx: the edited text is handed back, the
    // current cell moves by the arrow key, and the editor is closed or opened on the new cell.
    enum class EditorAfterMove { Closed, Reopened, ReopenedCaretAtEnd };
    void moveFromEditor(int arrowKey, EditorAfterMove after);
    void closeEditorCommitting();
    // The open cell editor, if any.
    TInplaceEditEx* inplaceEditor() const;

protected:
    using TextGrid::edit;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void putEditorCaretAtEnd();

    TGridColumns columns_;
    TGridStyle style_ = gsNormal;
    QColor stripeColor_;
};
