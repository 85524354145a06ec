#include "JournalReader.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvos {
namespace {

QString failure(const QString& path, const QString& why) {
    return QStringLiteral("Cannot read the run journal %1: %2").arg(path, why);
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The whole file, or an error text.
std::optional<QByteArray> readBounded(int fd, qint64 size, QString* why) {
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = systemError(errno);
            return std::nullopt;
        }
        if (got == 0)
            break; // the file shrank meanwhile
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

// The lines after the header, numbered from 2.
void parseLines(const QByteArray& bytes, qsizetype start, JournalContents& contents) {
    for (int number = 2; start < bytes.size(); ++number) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            contents.tornTail = true;
            contents.unreadableLines.append(number);
            return;
        }
        QByteArray line = bytes.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue; // the end of a torn line completed on a later open
        if (const std::optional<JournalEntry> entry = decodeJournalLine(line))
            contents.entries.append(*entry);
        else
            contents.unreadableLines.append(number);
    }
}

// The journal's header and its contents, or why the bytes are not a journal.
void parseJournal(const QByteArray& bytes, JournalContents& contents) {
    if (bytes.isEmpty())
        return;
    const qsizetype headerEnd = bytes.indexOf('\n');
    const std::optional<int> version =
        journalHeaderVersion(headerEnd < 0 ? bytes : bytes.left(headerEnd));
    if (!version) {
        contents.error = QStringLiteral("the file is not a run journal");
        return;
    }
    contents.version = *version;
    contents.digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    if (headerEnd >= 0)
        parseLines(bytes, headerEnd + 1, contents);
}

} // namespace

JournalContents readJournal(const QString& path, qint64 sizeLimit) {
    JournalContents contents;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT)
            contents.error = failure(path, systemError(errno));
        return contents;
    }
    struct stat info {};
    QString why;
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) != 0)
        why = systemError(errno);
    else if (!S_ISREG(info.st_mode))
        why = QStringLiteral("not a regular file");
    else if (info.st_size > sizeLimit)
        why = QStringLiteral("larger than %1 bytes").arg(sizeLimit);
    else
        bytes = readBounded(fd, info.st_size, &why);
    ::close(fd);
    if (bytes)
        parseJournal(*bytes, contents);
    else
        contents.error = why;
    if (!contents.error.isEmpty())
        contents.error = failure(path, contents.error);
    return contents;
}

std::optional<QList<JournalEntry>> unfinishedRun(const QList<JournalEntry>& entries, int version) {
    if (entries.isEmpty())
        return std::nullopt;
    switch (entries.back().kind) {
    case JournalEntry::Kind::Saved:
    case JournalEntry::Kind::Reset:
        return std::nullopt;
    case JournalEntry::Kind::Stop:
        if (version < 2)
            return std::nullopt;
        break;
    default:
        break;
    }
    const auto isStart = [](const JournalEntry& e) { return e.kind == JournalEntry::Kind::Start; };
    const auto lastStart = std::find_if(entries.rbegin(), entries.rend(), isStart);
    const auto first = lastStart == entries.rend() ? entries.begin() : lastStart.base() - 1;
    return QList<JournalEntry>(first, entries.end());
}

} // namespace kelvos
