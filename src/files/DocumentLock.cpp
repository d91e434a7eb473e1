#include "files/DocumentLock.h"

#include "files/FileIo.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kRetryMs = 100;

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A short pause between tries; the event loop keeps running meanwhile.
void Pause(int ms)
{
    if (QCoreApplication::instance() == nullptr
        || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        QThread::msleep(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

DocumentLock::DocumentLock(const FilePath& document, std::chrono::milliseconds wait)
    : document_(document.Absolute())
{
    const QDeadlineTimer deadline(wait);
    for (;;) {
        const Try result = TryOnce();
        if (result == Try::Held || result == Try::Failed)
            return;
        if (result == Try::Busy && deadline.hasExpired())
            return;
        if (result == Try::Busy)
            Pause(kRetryMs);
    }
}

DocumentLock::~DocumentLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

// One attempt on the .PLU file, or on its folder while there is none. The
// name may have been replaced (a save renames a new file over it) or made
// between opening and locking: then the lock is on something else, and the
// attempt is made again.
DocumentLock::Try DocumentLock::TryOnce()
{
    const bool exists = document_.Exists();
    const FilePath target = exists ? document_ : document_.Folder();
    const int fd = ::open(target.Native(), O_RDONLY | O_CLOEXEC | (exists ? 0 : O_DIRECTORY));
    if (fd < 0) {
        if (errno == ENOENT && exists)
            return Try::Again;
        holder_ = QStringLiteral("nothing: %1 cannot be opened (%2)").arg(target.Shown(), qt_error_string(errno));
        return Try::Failed;
    }
    struct stat locked{};
    ::fstat(fd, &locked);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK) {
            holder_ = QStringLiteral("nothing: %1 cannot be locked (%2)").arg(target.Shown(), qt_error_string(error));
            return Try::Failed;
        }
        holder_ = HolderOf(locked);
        return Try::Busy;
    }
    const auto now = target.State();
    if (!now || !SameFile(*now, locked) || document_.Exists() != exists) {
        ::close(fd);
        return Try::Again;
    }
    fd_ = fd;
    holder_.clear();
    return Try::Held;
}

QString DocumentLock::Refusal() const
{
    return QStringLiteral("in use by %1; try again when it has finished").arg(holder_);
}

// The process /proc/locks names for a lock on this file, with its program.
QString DocumentLock::HolderOf(const struct stat& locked)
{
    // The device as /proc/locks gives it may differ from stat's on layered
    // file systems: the inode decides.
    const QByteArray inode = ':' + QByteArray::number(qulonglong(locked.st_ino));
    std::optional<QByteArray> locks;
    try {
        locks = ReadFileBytes(QStringLiteral("/proc/locks"));
    } catch (const std::exception&) {
    }
    for (const QByteArray& line : locks.value_or(QByteArray()).split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // "1: FLOCK  ADVISORY  WRITE 4711 08:01:1234 0 EOF"
        if (fields.size() < 6 || fields[1] != "FLOCK" || !fields[5].endsWith(inode))
            continue;
        const QByteArray pid = fields[4];
        std::optional<QByteArray> program;
        try {
            program = ReadFileBytes(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(pid)));
        } catch (const std::exception&) {
        }
        const QString name = QString::fromLocal8Bit(program.value_or(QByteArray()).trimmed());
        return QStringLiteral("%1 (process %2)")
            .arg(name.isEmpty() ? QStringLiteral("another program") : name, QString::fromLatin1(pid));
    }
    return QStringLiteral("another program");
}
