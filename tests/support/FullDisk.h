#pragma once

// A folder where writing fails for want of room, as on a full disk, for
// tests of what survives such a failure:
//
//   FullDisk disk;
//   ASSERT_TRUE(disk.IsReady()) << disk.Problem().toStdString();
//   ... write the old files into disk.Path() ...
//   disk.Fill();
//   ... every further write into the folder fails with disk.Reason() ...
//
// As root (CI runs so) the folder is a small tmpfs, filled up by Fill(): the
// failure is a real ENOSPC. Where mounting is not allowed, Fill() lowers this
// process's file size limit to nothing instead (SIGXFSZ ignored), so writes to
// regular files fail with EFBIG; child processes started afterwards inherit
// the limit. Either way the failure is real, never skipped.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

class FullDisk
{
public:
    FullDisk()
    {
        if (!base_.isValid()) {
            problem_ = QStringLiteral("no temporary folder");
            return;
        }
        path_ = base_.filePath(QStringLiteral("disk"));
        QDir().mkpath(path_);
        mounted_ = ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", 0, "size=256k,mode=0777") == 0;
    }

    ~FullDisk()
    {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &oldLimit_);
            std::signal(SIGXFSZ, oldHandler_);
        }
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }

    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool IsReady() const { return problem_.isEmpty(); }
    QString Problem() const { return problem_; }
    QString Path() const { return path_; }
    QString Path(const QString& name) const { return QDir(path_).filePath(name); }
    bool IsTmpfs() const { return mounted_; }

    // The system's words for the failure the writes meet.
    QString Reason() const { return QString::fromLocal8Bit(std::strerror(mounted_ ? ENOSPC : EFBIG)); }

    // Takes the last free byte (tmpfs), or the right to write at all.
    void Fill()
    {
        if (!mounted_) {
            ::getrlimit(RLIMIT_FSIZE, &oldLimit_);
            oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
            rlimit none = oldLimit_;
            none.rlim_cur = 0;
            ::setrlimit(RLIMIT_FSIZE, &none);
            limited_ = true;
            return;
        }
        const int fd = ::open(QFile::encodeName(Path(QStringLiteral("filler"))).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            problem_ = QStringLiteral("cannot create the filler");
            return;
        }
        static const char chunk[4096] = {};
        while (::write(fd, chunk, sizeof chunk) > 0) {
        }
        ::close(fd);
    }

private:
    QTemporaryDir base_;
    QString path_;
    QString problem_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit oldLimit_{};
    void (*oldHandler_)(int) = SIG_DFL;
};
