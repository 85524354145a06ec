#include "inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kelvos {

IniDocument loadIniDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniDocument::fromBytes(file.readAll());
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

bool saveIniDocument(const QString& path, const IniDocument& document) {
    const QFileInfo existing(path);
    if (existing.exists() && isReadOnly(existing))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = document.toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace kelvos
