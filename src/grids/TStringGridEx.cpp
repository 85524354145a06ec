#include "TStringGridEx.h"

#include "CellTableModel.h"
#include "Sorting.h"
#include "TInplaceEditEx.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextDocument>

namespace {

constexpr int fixedCellInset = 3;
constexpr int dataCellInset = 2;
constexpr int newGridRowHeight = 20;
constexpr int newGridColumns = 4;

Qt::Alignment horizontalAlignment(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// Draws text as a multi-line edit control lays it out: top-aligned, broken at words only with
// word wrap, "&" as mnemonic prefix, clipped to rect; a line that would be only partly visible
// is left out, except the first, which is clipped.
void drawCellText(QPainter* painter, const QRect& rect, const QString& text,
                  const TGridColumn& column) {
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    const Qt::Alignment horizontal = horizontalAlignment(column.alignment());
    if (!column.wordwrap() && !text.contains(u'&') &&
        kelvos::drawLaidOutLine(painter, rect, horizontal, text))
        return;
    int flags = int(horizontal) | Qt::AlignTop | Qt::TextShowMnemonic;
    if (column.wordwrap())
        flags |= Qt::TextWordWrap;
    const int lineSpacing = painter->fontMetrics().lineSpacing();
    const int wholeLines = std::max(rect.height() / std::max(lineSpacing, 1), 1);
    QRect visible = rect;
    visible.setHeight(std::min(rect.height(), wholeLines * lineSpacing));
    painter->save();
    painter->setClipRect(visible, Qt::IntersectClip);
    painter->drawText(visible, flags, text);
    painter->restore();
}

// Paints the cells of a TStringGridEx by its column definitions and sets up its editor.
class GridColumnDelegate : public QStyledItemDelegate {
public:
    explicit GridColumnDelegate(TStringGridEx* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int col = index.column();
        const int row = kelvos::CellTableModel::gridRowOf(index);
        const TGridColumn* column = grid_->gridColumns()->items(col);
        painter->save();
        // The fill also hides the selection highlight: selected cells look unselected.
        painter->fillRect(option.rect, column ? grid_->cellColor(col, row) : grid_->color());
        if (column) {
            QString text = kelvos::CellTableModel::shownText(grid_->cells(col, row));
            if (!text.isEmpty() && !column->displayMask().isEmpty())
                text = kelvos::formatDisplayMask(text, column->displayMask());
            painter->setFont(grid_->shownFont(column->font().font));
            painter->setPen(column->font().color);
            const int inset = grid_->shownPixels(dataCellInset);
            drawCellText(painter, option.rect.adjusted(inset, inset, -inset, -inset), text,
                         *column);
        }
        painter->restore();
        kelvos::drawCellFocus(painter, option);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new TInplaceEditEx(grid_, parent);
        const int col = index.column();
        const TGridColumn* column = grid_->gridColumns()->items(col);
        kelvos::CellFont font = grid_->gridFont();
        if (column) {
            editor->setImeMode(column->imeMode());
            editor->setMultiLine(column->multiLine());
            editor->setWordWrap(column->wordwrap());
            editor->setDataType(column->dataType());
            font = column->font();
        } else {
            editor->setImeMode(imClose);
        }
        editor->setFont(grid_->shownFont(font.font));
        QPalette colors = editor->palette();
        colors.setColor(QPalette::Base,
                        grid_->cellColor(col, kelvos::CellTableModel::gridRowOf(index)));
        colors.setColor(QPalette::Text, font.color);
        editor->setPalette(colors);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<TInplaceEditEx*>(editor);
        edit->setPlainText(index.data(Qt::EditRole).toString());
        if (edit->multiLine())
            edit->putCaretAtEnd();
        else
            edit->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* edit = static_cast<TInplaceEditEx*>(editor);
        const QString edited = edit->text();
        if (edit->dataType() != dtInteger) {
            model->setData(index, edited, Qt::EditRole);
            return;
        }
        if (const std::optional<QString> stored = kelvos::integerCellText(edited)) {
            model->setData(index, *stored, Qt::EditRole);
            return;
        }
        // Not an integer: the cell keeps its text and the editor shows it again, the caret one
        // character left of where it was.
        const int caret = edit->caretPosition();
        edit->setPlainText(index.data(Qt::EditRole).toString());
        edit->setCaretPosition(caret - 1);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

private:
    TStringGridEx* grid_;
};

} // namespace

TStringGridEx::TStringGridEx(QWidget* parent) : TextGrid(parent), columns_(this) {
    stripeColor_ = color();
    setItemDelegate(new GridColumnDelegate(this));
    setDefaultRowHeight(newGridRowHeight);
    setColCount(newGridColumns);
}

TStringGridEx::~TStringGridEx() = default;

void TStringGridEx::setGridStyle(TGridStyle style) {
    if (style == style_)
        return;
    style_ = style;
    viewport()->update();
}

void TStringGridEx::setStripeColor(const QColor& color) {
    if (color == stripeColor_)
        return;
    stripeColor_ = color;
    viewport()->update();
}

void TStringGridEx::setColCount(int cols) {
    TextGrid::setColCount(cols);
    columns_.matchColumnCount(colCount());
}

QColor TStringGridEx::cellColor(int col, int row) const {
    const TGridColumn* column = columns_.items(col);
    switch (kelvos::cellColorSource(style_, row, column != nullptr)) {
    case kelvos::CellColorSource::StripeColor:
        return stripeColor_;
    case kelvos::CellColorSource::ColumnColor:
        return column->color();
    default:
        return color();
    }
}

void TStringGridEx::sortByColumnText(int col) {
    cellModel()->changeCells([col](kelvos::CellStore& store) {
        kelvos::quickSortRowsByText(store, col, 1, store.rowCount() - 1);
    });
}

void TStringGridEx::paintFixedCell(QPainter* painter, const QRect& rect, int col) const {
    fillFixedCell(painter, rect);
    const TGridColumn* column = columns_.items(col);
    if (!column)
        return;
    painter->setFont(shownFont(column->fixCellFont().font));
    painter->setPen(column->fixCellFont().color);
    const int inset = shownPixels(fixedCellInset);
    drawCellText(painter, rect.adjusted(inset, inset, -inset, -inset),
                 kelvos::CellTableModel::shownText(fixedCellText(col)), *column);
}

QString TStringGridEx::fixedCellText(int col) const {
    const QString text = cells(col, 0);
    const TGridColumn* column = columns_.items(col);
    return text.isEmpty() && column ? column->caption() : text;
}

TInplaceEditEx* TStringGridEx::inplaceEditor() const {
    return qobject_cast<TInplaceEditEx*>(indexWidget(currentIndex()));
}

void TStringGridEx::closeEditorCommitting() {
    if (TInplaceEditEx* editor = inplaceEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TStringGridEx::moveFromEditor(int arrowKey, EditorAfterMove after) {
    closeEditorCommitting();
    CursorAction action = MoveRight;
    switch (arrowKey) {
    case Qt::Key_Left:
        action = MoveLeft;
        break;
    case Qt::Key_Up:
        action = MoveUp;
        break;
    case Qt::Key_Down:
        action = MoveDown;
        break;
    default:
        break;
    }
    const QModelIndex next = moveCursor(action, Qt::NoModifier);
    if (next.isValid())
        setCurrentCell(next.column(), kelvos::CellTableModel::gridRowOf(next));
    if (after == EditorAfterMove::Closed)
        return;
    edit(currentIndex());
    if (after == EditorAfterMove::ReopenedCaretAtEnd)
        putEditorCaretAtEnd();
}

bool TStringGridEx::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const TGridColumn* column = columns_.items(index.column());
    if (column && !column->canEdit())
        return false;
    return TextGrid::edit(index, trigger, event);
}

void TStringGridEx::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Enter opens the editor as F2 does; a multi-line column's editor then starts with the
    // caret at the end of the text (see setEditorData).
    if (enter && state() != EditingState)
        edit(currentIndex(), EditKeyPressed, event);
    else
        TextGrid::keyPressEvent(event);
}

void TStringGridEx::putEditorCaretAtEnd() {
    if (TInplaceEditEx* editor = inplaceEditor())
        editor->putCaretAtEnd();
}
