#pragma once

#include <QByteArrayView>
#include <QString>

namespace kelvos {

// Replaces the file at path with bytes. Normally the bytes go to a new file in the same folder,
// which is renamed over the old one only once every byte has been written and flushed, so a
// full disk or a crash leaves the old file as it was. When the folder refuses a new file but
// the file itself may be written (a read-only folder), the file is rewritten in place instead.
// Returns an empty string on success, otherwise the error text; it says so when neither way
// could write the file.
QString saveFileSafely(const QString& path, QByteArrayView bytes);

} // namespace kelvos
