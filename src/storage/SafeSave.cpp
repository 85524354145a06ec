#include "SafeSave.h"

#include <QDir>
#include <QSaveFile>

namespace kelvos {

namespace {

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// QSaveFile writes its buffer only inside commit() and reports success even when that write
// failed, leaving an empty file in place of the old one. Flushing first makes every write
// error show before the commit, which then only renames.
QString writeAll(QSaveFile& file, QByteArrayView bytes) {
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

QString saveFileSafely(const QString& path, QByteArrayView bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // With the fallback, opening fails only when neither a new file in the folder nor the
    // file itself can be written.
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot save %1: neither a new file in its folder nor the file "
                              "itself can be written (%2)")
            .arg(shownPath(path), file.errorString());
    const QString error = writeAll(file, bytes);
    if (error.isEmpty())
        return {};
    return QStringLiteral("Cannot save %1: %2").arg(shownPath(path), error);
}

} // namespace kelvos
