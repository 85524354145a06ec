#include "JournalReader.h"

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

void parseLines(const QByteArray& bytes, JournalContents& contents) {
    qsizetype start = journalHeaderLine().size();
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            contents.tornTail = true;
            return;
        }
        const QByteArray line = bytes.mid(start, end - start);
        start = end + 1;
        if (line.isEmpty())
            continue; // the end of a torn line completed on a later open
        if (const std::optional<JournalEntry> entry = decodeJournalLine(line))
            contents.entries.append(*entry);
        else
            ++contents.skippedLines;
    }
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
    if (!bytes) {
        contents.error = failure(path, why);
    } else if (!bytes->isEmpty() && !bytes->startsWith(journalHeaderLine())) {
        contents.error = failure(path, QStringLiteral("the file is not a run journal"));
    } else {
        parseLines(*bytes, contents);
    }
    return contents;
}

std::optional<QList<JournalEntry>> unfinishedRun(const QList<JournalEntry>& entries) {
    const auto isStart = [](const JournalEntry& e) { return e.kind == JournalEntry::Kind::Start; };
    const auto lastStart = std::find_if(entries.rbegin(), entries.rend(), isStart);
    if (lastStart == entries.rend())
        return std::nullopt;
    const JournalEntry::Kind last = entries.back().kind;
    if (last == JournalEntry::Kind::Stop || last == JournalEntry::Kind::Reset)
        return std::nullopt;
    return QList<JournalEntry>(lastStart.base() - 1, entries.end());
}

} // namespace kelvos
