#include "RunJournal.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvos {
namespace {

constexpr auto syncPause = std::chrono::seconds(1);

// Room for the header line of any version, with a CR.
constexpr qsizetype headerRoom = 64;

// The version of an existing journal's header and its last byte, to check the file.
struct Ends {
    std::optional<int> version;
    char last = '\n';
};

Ends readEnds(int fd, off_t size) {
    Ends ends;
    QByteArray head(qsizetype(std::min<off_t>(size, headerRoom)), Qt::Uninitialized);
    if (::pread(fd, head.data(), size_t(head.size()), 0) == head.size())
        ends.version = journalHeaderVersion(head.left(head.indexOf('\n')));
    if (::pread(fd, &ends.last, 1, size - 1) != 1)
        ends.last = 0;
    return ends;
}

} // namespace

RunJournal::~RunJournal() {
    close();
}

QString RunJournal::errorText(const char* action, int error) const {
    return QStringLiteral("Cannot %1 the run journal %2: %3")
        .arg(QLatin1String(action), path_, QString::fromLocal8Bit(std::strerror(error)));
}

QString RunJournal::open(const QString& path) {
    close();
    path_ = path;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a FIFO in its place cannot hang the program; refused below.
    const int fd =
        ::open(name.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0)
        return errorText("open", errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return QStringLiteral("Cannot open the run journal %1: not a regular file").arg(path);
    }
    const Ends ends = info.st_size > 0 ? readEnds(fd, info.st_size) : Ends{};
    if (info.st_size > 0 && !ends.version) {
        ::close(fd);
        return QStringLiteral("Cannot open the run journal %1: the file is not a run journal")
            .arg(path);
    }
    fd_ = fd;
    // A line torn by a kill mid-write must not swallow the next one.
    lineOpen_ = ends.last != '\n';
    headerCurrent_ = info.st_size == 0 || ends.version == journalVersion;
    syncer_ = std::jthread([this](std::stop_token stop) { syncLoop(stop); });
    return info.st_size == 0 ? writeWhole(journalHeaderLine()) : QString();
}

QString RunJournal::append(const JournalEntry& entry) {
    if (fd_ < 0)
        return QStringLiteral("The run journal is not open");
    const QByteArray line = encodeJournalLine(entry);
    if (entry.kind != JournalEntry::Kind::Start) {
        if (const QString error = updateHeader(); !error.isEmpty())
            return error;
        return writeWhole(lineOpen_ ? '\n' + line : line);
    }
    if (::ftruncate(fd_, 0) != 0)
        return errorText("empty", errno);
    lineOpen_ = false;
    headerCurrent_ = true;
    return writeWhole(journalHeaderLine() + line);
}

// An older journal's run goes on in today's form, whose Stop alone no longer finishes a run:
// its header says so before the first line of that form is added. The version number has the
// same length in every version, so it is changed in place (Linux's pwrite ignores the offset
// on a descriptor in append mode, which is left for that one write).
QString RunJournal::updateHeader() {
    if (headerCurrent_)
        return {};
    const QByteArray version = QByteArray::number(journalVersion);
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_APPEND) != 0)
        return errorText("write to", errno);
    const bool written = ::pwrite(fd_, version.constData(), size_t(version.size()),
                                  journalHeaderVersionOffset()) == version.size();
    const int error = errno;
    ::fcntl(fd_, F_SETFL, flags);
    if (!written)
        return errorText("write to", error);
    headerCurrent_ = true;
    return {};
}

QString RunJournal::writeWhole(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            lineOpen_ = lineOpen_ || done > 0;
            return errorText("write to", error);
        }
        done += written;
    }
    lineOpen_ = false;
    {
        std::lock_guard lock(mutex_);
        unsynced_ = true;
    }
    appended_.notify_one();
    return {};
}

void RunJournal::syncLoop(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
        appended_.wait(lock, stop, [this] { return unsynced_; });
        if (!unsynced_)
            return; // stopped with nothing left to sync
        unsynced_ = false;
        lock.unlock();
        const int result = ::fdatasync(fd_);
        const int error = errno;
        lock.lock();
        if (result != 0 && onSyncError_) {
            const SyncErrorHandler report = onSyncError_;
            lock.unlock();
            report(errorText("save", error));
            lock.lock();
        }
        if (stop.stop_requested())
            continue; // one more round syncs what came meanwhile, then ends
        appended_.wait_for(lock, stop, syncPause, [] { return false; });
    }
}

void RunJournal::setSyncErrorHandler(SyncErrorHandler handler) {
    std::lock_guard lock(mutex_);
    onSyncError_ = std::move(handler);
}

void RunJournal::close() {
    if (syncer_.joinable()) {
        syncer_.request_stop();
        syncer_.join();
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace kelvos
