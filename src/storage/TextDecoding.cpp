#include "TextDecoding.h"

#include <QStringDecoder>
#include <algorithm>

namespace kelvos {

namespace {

// Stateless: a multi-byte sequence cut off at the end is an error, not held back for more input.
constexpr auto Whole = QStringConverter::Flag::Stateless;

// ICU knows Windows-31J as "CP932"; older converter sets only as "Shift_JIS".
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

std::optional<QString> decodeUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, Whole);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

QString decodeWindows31J(QByteArrayView bytes) {
    // The ICU converter holds back a lead byte at the very end instead of reporting it; a line
    // feed after the text makes it give that byte up (as a substitute character).
    QStringDecoder decoder = windows31JDecoder();
    QString text = decoder(bytes.toByteArray() + '\n');
    text.chop(1);
    return text;
}

QString decodeUtf8OrWindows31J(QByteArrayView bytes) {
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *std::move(text);
    return decodeWindows31J(bytes);
}

std::optional<qint32> parseStrictDecimal(QStringView text) {
    const QStringView digits =
        text.startsWith(u'+') || text.startsWith(u'-') ? text.sliced(1) : text;
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

} // namespace kelvos
