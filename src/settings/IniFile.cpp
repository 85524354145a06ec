#include "IniFile.h"

#include "SafeSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kelvos {

LoadedIniDocument loadIniDocument(const QString& path, qint64 maxBytes) {
    const FileBytes file = readRegularFile(path, maxBytes);
    if (file.missing)
        return {};
    if (!file.error.isEmpty())
        return {{}, file.error};
    return {IniDocument::fromBytes(file.bytes), {}};
}

namespace {

// Renaming a new file over a read-only one would succeed, so the write permission is checked
// first. A file without any write permission bit counts as read-only also for the superuser.
bool isReadOnly(const QFileInfo& file) {
    constexpr QFile::Permissions anyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !file.isWritable() || !(file.permissions() & anyWrite);
}

} // namespace

QString saveIniDocument(const QString& path, const IniDocument& document) {
    const QFileInfo existing(path);
    if (existing.exists() && isReadOnly(existing))
        return QStringLiteral("Cannot save %1: the file is read-only")
            .arg(QDir::toNativeSeparators(path));
    return saveFileSafely(path, document.toBytes());
}

} // namespace kelvos
