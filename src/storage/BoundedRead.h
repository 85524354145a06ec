#pragma once

#include <QByteArray>
#include <QString>

namespace kelvos {

inline constexpr qint64 KiB = 1024;
inline constexpr qint64 MiB = 1024 * KiB;

// A file read whole, or why it was not.
struct FileBytes {
    QByteArray bytes;
    QString error;        // empty when the whole file was read
    bool missing = false; // nothing at all at the path (error says so too)
};

// Reads a regular file of at most maxBytes. Anything else at the path (a folder, a FIFO, a
// device such as /dev/zero) is refused without being opened, so a read never blocks and never
// grows without bound; a larger file is refused with the limit named.
FileBytes readRegularFile(const QString& path, qint64 maxBytes);

// The limit as people read it: "256 MiB", "64 KiB" or "100 bytes".
QString sizeLimitText(qint64 bytes);

} // namespace kelvos
