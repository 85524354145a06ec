#pragma once

#include "inidocument.h"

#include <QString>

namespace kelvos {

// Reads the INI file at path; a missing or unreadable file reads as an empty document,
// as the profile functions give their defaults then.
IniDocument loadIniDocument(const QString& path);

// Replaces the file at path with the document, atomically: the text goes to a new file in the
// same folder, is flushed to disk and then renamed over the old one, so a crash or a full disk
// leaves either the old file or the new one, never a part. A file the user may not write
// (read-only, also when no write permission bit is set) is left alone. Returns false when the file
// was not written.
bool saveIniDocument(const QString& path, const IniDocument& document);

} // namespace kelvos
