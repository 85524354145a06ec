#include "TInplaceEditEx.h"

#include "TStringGridEx.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextCursor>
#include <algorithm>

TInplaceEditEx::TInplaceEditEx(TStringGridEx* grid, QWidget* parent)
    : QPlainTextEdit(parent), grid_(grid) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(2);
    setWordWrap(false);
    setImeMode(imDisable);
}

void TInplaceEditEx::setImeMode(TImeMode mode) {
    imeMode_ = mode;
    setAttribute(Qt::WA_InputMethodEnabled, mode != imDisable);
}

void TInplaceEditEx::setWordWrap(bool on) {
    wordWrap_ = on;
    // Without word wrap the text scrolls sideways as an edit control does.
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TInplaceEditEx::setCaretPosition(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, int(toPlainText().size())));
    setTextCursor(cursor);
}

void TInplaceEditEx::putCaretAtEnd() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
}

bool TInplaceEditEx::refusesTypedText(const QString& typed) const {
    if (dataType_ != dtInteger)
        return false;
    return std::any_of(typed.begin(), typed.end(),
                       [](QChar c) { return !kelvos::isIntegerInputChar(c); });
}

bool TInplaceEditEx::caretAtStart() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionStart() == 0 &&
           (!cursor.hasSelection() || cursor.selectionEnd() == toPlainText().size());
}

bool TInplaceEditEx::caretAtEnd() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() == toPlainText().size();
}

// Enter acts as Right first: at the end of the text that moves the grid to the next column,
// otherwise the caret; the Enter itself then ends the editing.
void TInplaceEditEx::singleLineEnter() {
    if (caretAtEnd())
        grid_->moveFromEditor(Qt::Key_Right, TStringGridEx::EditorAfterMove::Closed);
    else
        grid_->closeEditorCommitting();
}

void TInplaceEditEx::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;

    if (!multiLine_) {
        if (enter) {
            singleLineEnter();
            return;
        }
        const bool leavesCell = (key == Qt::Key_Up || key == Qt::Key_Down) ||
                                (key == Qt::Key_Left && caretAtStart()) ||
                                (key == Qt::Key_Right && caretAtEnd());
        if (arrow && modifiers == Qt::NoModifier && leavesCell) {
            grid_->moveFromEditor(key, TStringGridEx::EditorAfterMove::Reopened);
            return;
        }
    } else {
        if (enter && modifiers == Qt::ControlModifier) {
            grid_->closeEditorCommitting();
            return;
        }
        if (enter && modifiers == Qt::NoModifier) {
            insertPlainText(QStringLiteral("\n"));
            return;
        }
        if (arrow && modifiers == Qt::ControlModifier) {
            grid_->moveFromEditor(key, TStringGridEx::EditorAfterMove::ReopenedCaretAtEnd);
            return;
        }
    }
    if (refusesTypedText(event->text())) {
        QApplication::beep();
        emit inputRefused();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
