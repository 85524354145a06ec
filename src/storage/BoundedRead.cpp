#include "BoundedRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvos {

namespace {

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

FileBytes failure(const QString& path, const QString& reason) {
    return {{}, QStringLiteral("Cannot read %1: %2").arg(shownPath(path), reason)};
}

FileBytes tooLarge(const QString& path, qint64 maxBytes) {
    return failure(
        path,
        QStringLiteral("the file is larger than the limit of %1").arg(sizeLimitText(maxBytes)));
}

const QString notRegular = QStringLiteral("it is not a regular file");

// Opened without blocking, so that a FIFO put in the file's place after the type check cannot
// hang the read; the type is checked once more on what was opened. Returns -1 and sets reason
// on failure.
int openRegularFile(const QString& path, QString& reason) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = qt_error_string(errno);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        reason = notRegular;
        return -1;
    }
    return fd;
}

// Up to limit bytes, in pieces of about the expected size, so that neither a file that grows
// while it is read nor a small file with a large limit allocates more than needed.
QByteArray readUpTo(QFile& file, qint64 limit, qint64 expected) {
    const qint64 piece = std::max(expected + 1, 64 * KiB);
    QByteArray bytes;
    while (bytes.size() < limit) {
        const QByteArray more = file.read(std::min(limit - bytes.size(), piece));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    return bytes;
}

} // namespace

QString sizeLimitText(qint64 bytes) {
    if (bytes >= MiB && bytes % MiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / MiB);
    if (bytes >= KiB && bytes % KiB == 0)
        return QStringLiteral("%1 KiB").arg(bytes / KiB);
    return QStringLiteral("%1 bytes").arg(bytes);
}

FileBytes readRegularFile(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!info.exists()) {
        FileBytes result = failure(path, QStringLiteral("there is no such file"));
        result.missing = true;
        return result;
    }
    if (!info.isFile())
        return failure(path, notRegular);
    if (info.size() > maxBytes)
        return tooLarge(path, maxBytes);
    QString reason;
    const int fd = openRegularFile(path, reason);
    if (fd < 0)
        return failure(path, reason);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(path, file.errorString());
    }
    // One byte more than allowed tells a file that grew since the check.
    QByteArray bytes = readUpTo(file, maxBytes + 1, info.size());
    if (file.error() != QFileDevice::NoError)
        return failure(path, file.errorString());
    if (bytes.size() > maxBytes)
        return tooLarge(path, maxBytes);
    return {std::move(bytes), {}};
}

} // namespace kelvos
