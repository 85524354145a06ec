#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace kelvos {

// Text of files and settings written here or on Windows: UTF-8 when the bytes are valid UTF-8
// (a leading byte-order mark skipped), otherwise Windows-31J (Shift_JIS), the code page of files
// written on Japanese Windows systems.
QString decodeUtf8OrWindows31J(QByteArrayView bytes);
// The UTF-8 text of the bytes (a leading byte-order mark skipped), or nothing when they are not
// valid UTF-8.
std::optional<QString> decodeUtf8(QByteArrayView bytes);
// The bytes as Windows-31J; a byte that does not fit becomes SUB (26), as Windows does.
QString decodeWindows31J(QByteArrayView bytes);

// A decimal integer in the 32-bit range: an optional sign and digits, nothing else (no blanks,
// no prefix, no grouping); nothing for any other text.
std::optional<qint32> parseStrictDecimal(QStringView text);

} // namespace kelvos
