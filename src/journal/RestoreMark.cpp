#include "RestoreMark.h"

#include "BoundedRead.h"
#include "SafeSave.h"

namespace kelvos {

QString restoreMarkPath(const QString& journalPath) {
    return journalPath + QStringLiteral(".restored");
}

// One line: the digest in hex, a tab and the file's name in UTF-8, percent-encoded.
QString writeRestoreMark(const QString& journalPath, const RestoreMark& mark) {
    return saveFileSafely(restoreMarkPath(journalPath), mark.journalDigest.toHex() + '\t' +
                                                            mark.file.toUtf8().toPercentEncoding() +
                                                            '\n');
}

std::optional<RestoreMark> readRestoreMark(const QString& journalPath) {
    const FileBytes read = readRegularFile(restoreMarkPath(journalPath), 4 * KiB);
    const QList<QByteArray> fields = read.bytes.trimmed().split('\t');
    if (!read.error.isEmpty() || fields.size() != 2)
        return std::nullopt;
    return RestoreMark{QByteArray::fromHex(fields[0]),
                       QString::fromUtf8(QByteArray::fromPercentEncoding(fields[1]))};
}

} // namespace kelvos
