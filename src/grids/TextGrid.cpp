#include "TextGrid.h"

#include "DesignScale.h"
#include "FlatScrollBarStyle.h"
#include "GridFollow.h"
#include "TextLayouts.h"

#include <QItemSelection>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace kelvos {

namespace {

// Text inset of the platform grid's own drawing.
constexpr int plainTextInset = 2;

} // namespace

bool drawLaidOutLine(QPainter* painter, const QRect& box, Qt::Alignment horizontal,
                     const QString& text) {
    if (!TextLayouts::plainLine(text))
        return false;
    const QStaticText& layout = TextLayouts::of(painter->font(), text);
    const QSizeF size = layout.size();
    const qreal x = TextLayouts::alignedLeft(box, size.width(), horizontal);
    const bool fits = size.width() <= box.width() && size.height() <= box.height();
    if (!fits) {
        painter->save();
        painter->setClipRect(box, Qt::IntersectClip);
    }
    painter->drawStaticText(QPointF(x, box.top()), layout);
    if (!fits)
        painter->restore();
    return true;
}

void drawCellFocus(QPainter* painter, const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_HasFocus))
        return;
    painter->save();
    QPen dotted(Qt::DotLine);
    dotted.setColor(option.palette.color(QPalette::Base).lightness() < 128 ? Qt::white : Qt::black);
    painter->setPen(dotted);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void PlainCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    painter->save();
    painter->fillRect(option.rect, option.palette.color(QPalette::Base));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    const auto* grid = qobject_cast<const TextGrid*>(option.widget);
    const int inset = grid ? grid->shownPixels(plainTextInset) : plainTextInset;
    const QRect box = option.rect.adjusted(inset, inset, 0, 0);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!drawLaidOutLine(painter, box, Qt::AlignLeft, text))
        painter->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
    drawCellFocus(painter, option);
}

QColor fromStoredColor(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

FixedRowHeader::FixedRowHeader(TextGrid* grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(1);
}

QSize FixedRowHeader::sizeHint() const {
    if (minimumHeight() != maximumHeight())
        return QHeaderView::sizeHint();
    return {length(), maximumHeight()};
}

void FixedRowHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    grid_->paintFixedCell(painter, rect, logicalIndex);
    painter->restore();
}

void FixedRowHeader::mousePressEvent(QMouseEvent* event) {
    grid_->fixedRowPressed(event);
}

void FixedRowHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    grid_->fixedRowPressed(event);
}

TextGrid::TextGrid(QWidget* parent)
    : QTableView(parent), model_(new CellTableModel(this)), header_(new FixedRowHeader(this)) {
    setModel(model_);
    setItemDelegate(new PlainCellDelegate(this));
    setHorizontalHeader(header_);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // The view keeps the grid's pixel of each cell and draws nothing there: paintGridLines does.
    setGridStyle(Qt::NoPen);
    verticalScrollBar()->setStyle(FlatScrollBarStyle::shared());
    horizontalScrollBar()->setStyle(FlatScrollBarStyle::shared());
    font_ = {font(), palette().color(QPalette::Text)};
    designColWidth_ = header_->defaultSectionSize();
    designRowHeight_ = verticalHeader()->defaultSectionSize();
    connect(header_, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (scaling_)
            return;
        if (designColWidths_.size() <= std::size_t(col))
            designColWidths_.resize(std::size_t(col) + 1, designColWidth_);
        designColWidths_[std::size_t(col)] = size / scale_;
    });
    applyPalette();
    const auto full = [this] { askFullLayout(); };
    connect(model_, &QAbstractItemModel::modelReset, this, full);
    connect(model_, &QAbstractItemModel::layoutChanged, this, full);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, full);
    connect(model_, &QAbstractItemModel::columnsInserted, this, full);
    connect(model_, &QAbstractItemModel::columnsRemoved, this, full);
}

void TextGrid::rowsInserted(const QModelIndex& parent, int start, int end) {
    QTableView::rowsInserted(parent, start, end);
    appendedFrom_ = std::min(appendedFrom_.value_or(start), start);
}

void TextGrid::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        askFullLayout();
        break;
    default:
        break;
    }
    QTableView::changeEvent(event);
}

void TextGrid::doItemsLayout() {
    const std::optional<int> appendedFrom = std::exchange(appendedFrom_, std::nullopt);
    if (std::exchange(fullLayoutAsked_, false) || !appendedFrom) {
        QTableView::doItemsLayout();
        return;
    }
    layOutAppendedRows(*appendedFrom);
}

// The rows above the new ones keep their places and the scroll bars take the new count. At
// the end of its range the view shows the last row flush with the bottom edge; a longer range
// moves the rows shown, and they are moved on the screen as a scroll moves them.
void TextGrid::layOutAppendedRows(int firstModelRow) {
    updateGeometries();
    unpaintedFrom_ = firstModelRow;
    updateRowsFrom(firstModelRow);
}

void TextGrid::updateRowsFrom(int modelRow) {
    const int top = std::max(rowViewportPosition(modelRow), 0);
    if (top < viewport()->height())
        viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
}

void TextGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (const int moved = alignTopRow())
        viewport()->scroll(0, moved);
    if (unpaintedFrom_)
        updateRowsFrom(*unpaintedFrom_);
}

// The platform view may move the rows to line the last one up with the bottom edge, and
// alignTopRow moves them back: only a net move reaches the screen, as a scroll of what it shows.
void TextGrid::updateGeometries() {
    const int shownOffset = verticalHeader()->offset();
    QTableView::updateGeometries();
    alignTopRow();
    if (const int moved = shownOffset - verticalHeader()->offset())
        viewport()->scroll(0, moved);
}

// At the end of its range the platform view lines the last row up with the bottom edge, which
// leaves a strip of another row under the header; here the top row starts at the top edge and
// the rest stays empty. Returns how far the rows moved down.
int TextGrid::alignTopRow() {
    QHeaderView* rows = verticalHeader();
    if (rows->count() == 0)
        return 0;
    const int visual = std::min(verticalScrollBar()->value(), rows->count() - 1);
    const int top = rows->sectionPosition(rows->logicalIndex(visual));
    const int moved = rows->offset() - top;
    if (moved != 0)
        rows->setOffset(top);
    return moved;
}

void TextGrid::paintEvent(QPaintEvent* event) {
    unpaintedFrom_.reset();
    QTableView::paintEvent(event);
    paintGridLines(event->region());
}

// The lines the platform view draws below and right of every cell, in its grid colour. It
// strokes them pixel by pixel, and a lap's rows run across the whole grid: filled as
// one-pixel rectangles they cost a fraction.
void TextGrid::paintGridLines(const QRegion& region) {
    if (!showGrid())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor color =
        QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QHeaderView* rows = verticalHeader();
    const QHeaderView* cols = horizontalHeader();
    const int contentRight = cols->length() - cols->offset() - 1;
    const int contentBottom = rows->length() - rows->offset() - 1;
    // The sections from the one at `from` to the one at `to`, or to the last one.
    const auto sections = [](const QHeaderView* header, int from, int to) {
        const int last = header->visualIndexAt(to);
        return std::pair(header->visualIndexAt(from), last < 0 ? header->count() - 1 : last);
    };
    QPainter painter(viewport());
    for (QRect dirty : region) {
        dirty.setRight(std::min(dirty.right(), contentRight));
        dirty.setBottom(std::min(dirty.bottom(), contentBottom));
        if (!dirty.isValid())
            continue;
        const auto [top, bottom] = sections(rows, dirty.top(), dirty.bottom());
        for (int visual = top; top >= 0 && visual <= bottom; ++visual) {
            const int row = rows->logicalIndex(visual);
            if (!rows->isSectionHidden(row))
                painter.fillRect(dirty.left(), rowViewportPosition(row) + rowHeight(row) - 1,
                                 dirty.width(), 1, color);
        }
        const auto [left, right] = sections(cols, dirty.left(), dirty.right());
        for (int visual = std::max(left, 0); visual <= right; ++visual) {
            const int col = cols->logicalIndex(visual);
            if (!cols->isSectionHidden(col))
                painter.fillRect(columnViewportPosition(col) + columnWidth(col) - 1, dirty.top(), 1,
                                 dirty.height(), color);
        }
    }
}

void TextGrid::setRowCount(int rows) {
    const bool shrinking = rows < rowCount();
    model_->setGridRowCount(rows);
    // Fewer rows may move the top row up; growing leaves it where it is.
    if (shrinking)
        layOutNow();
}

void TextGrid::layOutNow() {
    executeDelayedItemsLayout();
    updateGeometries();
}

void TextGrid::setColCount(int cols) {
    model_->setGridColCount(cols);
}

// Rows scroll one at a time, so the scroll bar's value is the model row shown at the top.
int TextGrid::topRow() const {
    return verticalScrollBar()->value() + 1;
}

void TextGrid::setTopRow(int row) {
    // Row count changes lay the view out later; the scroll range must be current first.
    layOutNow();
    verticalScrollBar()->setValue(std::max(row, 1) - 1);
}

int TextGrid::visibleDataRowCount() const {
    const int height = viewport()->height();
    int used = 0;
    int count = 0;
    for (int modelRow = topRow() - 1; modelRow < model_->rowCount(); ++modelRow) {
        used += rowHeight(modelRow);
        if (used > height)
            break;
        ++count;
    }
    return count;
}

void TextGrid::writeRow(int row, const QStringList& fields) {
    model_->setRow(row, fields);
    setCurrentCell(0, row);
}

void TextGrid::followRow(int row) {
    if (const std::optional<int> top = followNewestTopRow(row, visibleDataRowCount()))
        setTopRow(*top);
}

int TextGrid::currentCol() const {
    return std::max(currentIndex().column(), 0);
}

int TextGrid::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? CellTableModel::gridRowOf(index) : 1;
}

void TextGrid::setCurrentCell(int col, int row) {
    const QModelIndex target = model_->indexOf(col, row);
    if (!target.isValid())
        return;
    if (rangeSelect()) {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(model_->indexOf(0, 1), target),
                                 QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    }
}

GridRect TextGrid::selection() const {
    const QItemSelection selected = selectionModel()->selection();
    if (selected.isEmpty()) {
        const int col = currentCol();
        const int row = currentRow();
        return {col, row, col, row};
    }
    const QItemSelectionRange& range = selected.first();
    return {range.left(), range.top() + 1, range.right(), range.bottom() + 1};
}

void TextGrid::setColor(const QColor& color) {
    if (color == color_)
        return;
    color_ = color;
    applyPalette();
}

void TextGrid::setFixedColor(const QColor& color) {
    if (color == fixedColor_)
        return;
    fixedColor_ = color;
    header_->viewport()->update();
}

void TextGrid::setGridFont(const CellFont& font) {
    font_ = font;
    setFont(shownFont(font.font));
    applyPalette();
}

void TextGrid::setDefaultColWidth(int width) {
    designColWidth_ = width;
    designColWidths_.assign(std::size_t(colCount()), width);
    applyScaledSizes();
}

void TextGrid::setDefaultRowHeight(int height) {
    designRowHeight_ = height;
    applyScaledSizes();
}

void TextGrid::setDisplayScale(double scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    applyScaledSizes();
    setFont(shownFont(font_.font));
    viewport()->update();
    header_->viewport()->update();
}

QFont TextGrid::shownFont(const QFont& font) const {
    return scaledFont(font, scale_, logicalDpiY());
}

int TextGrid::shownPixels(double designed) const {
    return std::max(1, int(std::lround(designed * scale_)));
}

// Every row and column at its designed size times the scale. A new default size resizes every
// section, so the columns' own widths are given after it.
void TextGrid::applyScaledSizes() {
    scaling_ = true;
    const int rowHeight = shownPixels(designRowHeight_);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    header_->setFixedHeight(rowHeight);
    header_->setDefaultSectionSize(shownPixels(designColWidth_));
    for (int col = 0; col < colCount(); ++col) {
        const double designed = std::size_t(col) < designColWidths_.size()
                                    ? designColWidths_[std::size_t(col)]
                                    : designColWidth_;
        header_->resizeSection(col, shownPixels(designed));
    }
    scaling_ = false;
}

bool TextGrid::rangeSelect() const {
    return selectionMode() == QAbstractItemView::ContiguousSelection;
}

void TextGrid::setRangeSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ContiguousSelection
                        : QAbstractItemView::SingleSelection);
}

void TextGrid::fillFixedCell(QPainter* painter, const QRect& rect) const {
    painter->fillRect(rect, fixedColor_);
    // Raised edge and grid lines of a fixed cell.
    painter->setPen(fixedColor_.lighter(150));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(fixedColor_.darker(200));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
}

void TextGrid::paintFixedCell(QPainter* painter, const QRect& rect, int col) const {
    fillFixedCell(painter, rect);
    painter->setFont(shownFont(font_.font));
    painter->setPen(font_.color);
    const int inset = shownPixels(plainTextInset);
    const QRect textRect = rect.adjusted(inset, inset, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      CellTableModel::shownText(model_->cell(col, 0)));
}

void TextGrid::fixedRowPressed(QMouseEvent* event) {
    header_->defaultMousePress(event);
}

void TextGrid::applyPalette() {
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color_);
    colors.setColor(QPalette::Text, font_.color);
    setPalette(colors);
    viewport()->update();
}

} // namespace kelvos
