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

// The first bytes of the file and its last byte, to check an existing journal.
struct Ends {
    QByteArray head;
    char last = '\n';
};

Ends readEnds(int fd, off_t size) {
    Ends ends;
    ends.head.resize(qsizetype(std::min<off_t>(size, journalHeaderLine().size())));
    if (::pread(fd, ends.head.data(), size_t(ends.head.size()), 0) != ends.head.size())
        ends.head.clear();
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
    if (info.st_size > 0 && ends.head != journalHeaderLine()) {
        ::close(fd);
        return QStringLiteral("Cannot open the run journal %1: the file is not a run journal")
            .arg(path);
    }
    fd_ = fd;
    // A line torn by a kill mid-write must not swallow the next one.
    lineOpen_ = ends.last != '\n';
    syncer_ = std::jthread([this](std::stop_token stop) { syncLoop(stop); });
    return info.st_size == 0 ? writeWhole(journalHeaderLine()) : QString();
}

QString RunJournal::append(const JournalEntry& entry) {
    if (fd_ < 0)
        return QStringLiteral("The run journal is not open");
    const QByteArray line = encodeJournalLine(entry);
    if (entry.kind != JournalEntry::Kind::Start)
        return writeWhole(lineOpen_ ? '\n' + line : line);
    if (::ftruncate(fd_, 0) != 0)
        return errorText("empty", errno);
    lineOpen_ = false;
    return writeWhole(journalHeaderLine() + line);
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
