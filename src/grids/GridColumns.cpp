#include "GridColumns.h"

#include "TStringGridEx.h"

TGridColumn::TGridColumn(TGridColumns* collection) : collection_(collection) {
    const TStringGridEx* grid = collection->grid();
    color_ = grid->color();
    font_ = grid->gridFont();
    fixCellFont_ = font_;
}

void TGridColumn::assign(const TGridColumn& other) {
    alignment_ = other.alignment_;
    canEdit_ = other.canEdit_;
    caption_ = other.caption_;
    color_ = other.color_;
    dataType_ = other.dataType_;
    displayMask_ = other.displayMask_;
    font_ = other.font_;
    fixCellFont_ = other.fixCellFont_;
    imeMode_ = other.imeMode_;
    wordwrap_ = other.wordwrap_;
    multiLine_ = other.multiLine_;
    changed();
}

void TGridColumn::setAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    changed();
}

void TGridColumn::setCaption(const QString& value) {
    const QString stored = value.isEmpty() ? QStringLiteral(" ") : value;
    if (stored == caption_)
        return;
    caption_ = stored;
    changed();
}

void TGridColumn::setColor(const QColor& value) {
    if (value == color_)
        return;
    color_ = value;
    changed();
}

void TGridColumn::setFont(const kelvos::CellFont& value) {
    font_ = value;
    changed();
}

void TGridColumn::setFixCellFont(const kelvos::CellFont& value) {
    fixCellFont_ = value;
    changed();
}

void TGridColumn::setWordwrap(bool value) {
    if (value == wordwrap_)
        return;
    wordwrap_ = value;
    changed();
}

void TGridColumn::changed() {
    collection_->changed();
}

TGridColumns::TGridColumns(TStringGridEx* grid) : grid_(grid) {}

TGridColumn* TGridColumns::items(int index) const {
    return index >= 0 && index < count() ? items_[std::size_t(index)].get() : nullptr;
}

TGridColumn* TGridColumns::add() {
    appendDefault();
    changed();
    return items_.back().get();
}

void TGridColumns::deleteItem(int index) {
    if (index < 0 || index >= count())
        return;
    items_.erase(items_.begin() + index);
    changed();
}

void TGridColumns::appendDefault() {
    items_.push_back(std::make_unique<TGridColumn>(this));
}

void TGridColumns::changed() {
    if (!synchronising_)
        return;
    if (count() > 0 && grid_->colCount() != count())
        grid_->setColCount(count());
    grid_->viewport()->update();
    grid_->horizontalHeader()->viewport()->update();
}

void TGridColumns::matchColumnCount(int cols) {
    synchronising_ = false;
    while (count() < cols)
        appendDefault();
    while (count() > cols)
        items_.pop_back();
    synchronising_ = true;
}
