#pragma once

#include "GridColumns.h"

#include <QPlainTextEdit>

class TStringGridEx;

// The cell editor of TStringGridEx. It takes on the settings of the column being edited:
// single-line or multi-line, word wrap, input-method mode, font, colour and the dtInteger
// typing rule.
class TInplaceEditEx : public QPlainTextEdit {
    Q_OBJECT
public:
    TInplaceEditEx(TStringGridEx* grid, QWidget* parent);

    TImeMode imeMode() const { return imeMode_; }
    void setImeMode(TImeMode mode);
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool on) { multiLine_ = on; }
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    TInputDataType dataType() const { return dataType_; }
    void setDataType(TInputDataType type) { dataType_ = type; }

    QString text() const { return toPlainText(); }
    int caretPosition() const { return textCursor().position(); }
    void setCaretPosition(int position);
    void putCaretAtEnd();

signals:
    // A typed character was refused (the editor beeped).
    void inputRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool refusesTypedText(const QString& typed) const;
    void singleLineEnter();
    bool caretAtStart() const;
    bool caretAtEnd() const;

    TStringGridEx* grid_;
    TImeMode imeMode_ = imDisable;
    bool multiLine_ = false;
    bool wordWrap_ = false;
    TInputDataType dataType_ = dtString;
};
