#pragma once

#include <QByteArray>
#include <QString>

namespace kelvos {

// Decodes text of settings files: UTF-8 when the bytes are valid UTF-8 (a leading byte order
// mark is dropped), otherwise Windows-31J, the code page of files written on Japanese Windows.
QString decodeSettingsText(const QByteArray& bytes);

} // namespace kelvos
