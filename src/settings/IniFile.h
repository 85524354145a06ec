#pragma once

#include "BoundedRead.h"
#include "IniDocument.h"

#include <QString>

namespace kelvos {

// The largest settings file read; anything larger, and anything but a regular file, is refused.
inline constexpr qint64 MaxIniFileBytes = 64 * MiB;

struct LoadedIniDocument {
    IniDocument document;
    // Empty when the file was read or there is none (an empty document then, as the profile
    // functions give their defaults); otherwise why it could not be read.
    QString error;
};
LoadedIniDocument loadIniDocument(const QString& path, qint64 maxBytes = MaxIniFileBytes);

// Replaces the file at path with the document, atomically: the text goes to a new file in the
// same folder, is written and flushed whole and then renamed over the old one, so a crash or a
// full disk leaves either the old file or the new one, never a part. In a folder that takes no
// new file the file is rewritten in place. A file the user may not write (read-only, also when
// no write permission bit is set) is left alone. Returns the error text, empty on success.
QString saveIniDocument(const QString& path, const IniDocument& document);

} // namespace kelvos
