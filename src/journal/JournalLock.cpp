#include "JournalLock.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kelvos {

JournalLock::~JournalLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

JournalLock::Outcome JournalLock::take(const QString& journalPath) {
    const QString path = journalPath + ".lock";
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return Outcome::Held;
    }
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    error_ = QStringLiteral("Cannot lock the run journal with %1: %2")
                 .arg(path, QString::fromLocal8Bit(std::strerror(error)));
    return error == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unavailable;
}

} // namespace kelvos
