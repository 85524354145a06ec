#include "settingstext.h"

#include <QStringDecoder>

namespace kelvos {
namespace {

// ICU knows Windows-31J as "CP932"; older converter sets only as "Shift_JIS".
// Stateless: a multi-byte sequence cut off at the end is an error, not held back for more input.
constexpr auto Whole = QStringConverter::Flag::Stateless;

QStringDecoder windows31JDecoder() {
    QStringDecoder cp932("CP932", Whole);
    if (cp932.isValid())
        return cp932;
    QStringDecoder shiftJis("Shift_JIS", Whole);
    if (shiftJis.isValid())
        return shiftJis;
    return QStringDecoder(QStringConverter::Latin1, Whole);
}

} // namespace

QString decodeSettingsText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, Whole);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // The ICU converter holds back a lead byte at the very end instead of reporting it; a line
    // feed after the text makes it give that byte up (as a substitute character).
    QStringDecoder legacy = windows31JDecoder();
    QString legacyText = legacy(bytes + '\n');
    legacyText.chop(1);
    return legacyText;
}

} // namespace kelvos
