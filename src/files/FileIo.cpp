#include "files/FileIo.h"

#include "files/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0666; // the umask takes its share

QString Reason(const QString& what, int error)
{
    return QStringLiteral("%1 (%2)").arg(what, qt_error_string(error));
}

bool SameFile(const QString& a, const QString& b)
{
    struct stat first{};
    struct stat second{};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
           && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

// The file a write to path really replaces; empty when a symbolic link leads
// to a name the program cannot write (one that is not valid UTF-8 would come
// back as another name, and a stranger file would be made beside it).
QString Target(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            return SameFile(path, target) ? target : QString();
    }
    return path;
}

int OpenTemporary(const QString& target, QString& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + QStringLiteral(".%1~").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The replacement keeps the permissions of the file it replaces.
void KeepMode(int fd, const QString& target)
{
    struct stat old{};
    if (::stat(QFile::encodeName(target).constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
}

} // namespace

StagedFile::StagedFile(const QString& path) : path_(path), target_(Target(path))
{
    if (target_.isEmpty())
        throw FileError(path_, QStringLiteral("the link leads to a file whose name is not valid in the system's "
                                              "character set (UTF-8); it is left unchanged"));
    if (QFileInfo(target_).isDir())
        Fail(QStringLiteral("cannot create the file"), EISDIR);
    fd_ = OpenTemporary(target_, temporary_);
    if (fd_ < 0) {
        temporary_.clear();
        Fail(QStringLiteral("cannot create the file"), errno);
    }
    KeepMode(fd_, target_);
}

StagedFile::~StagedFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temporary_.isEmpty())
        ::unlink(QFile::encodeName(temporary_).constData());
}

void StagedFile::Fail(const QString& what, int error)
{
    throw FileError(path_, Reason(what, error));
}

void StagedFile::Write(QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(QStringLiteral("cannot write the file"), errno);
        }
        data += written;
        left -= written;
    }
}

void StagedFile::Finish()
{
    if (fd_ < 0)
        return;
    if (::fdatasync(fd_) != 0)
        Fail(QStringLiteral("cannot write the file"), errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail(QStringLiteral("cannot write the file"), errno);
}

void StagedFile::Commit()
{
    Finish();
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
        Fail(QStringLiteral("cannot replace the file"), errno);
    committed_ = true;
}

void WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    StagedFile file(path);
    file.Write(bytes);
    file.Commit();
}

void WriteFilesTogether(const std::vector<std::pair<QString, QByteArray>>& files)
{
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto& [path, bytes] : files) {
        staged.push_back(std::make_unique<StagedFile>(path));
        staged.back()->Write(bytes);
        staged.back()->Finish();
    }
    QStringList replaced;
    for (const auto& file : staged) {
        try {
            file->Commit();
        } catch (const FileError& error) {
            if (replaced.isEmpty())
                throw;
            throw FileError(error.Path(), error.Reason()
                                              + QStringLiteral("; already replaced: ") + replaced.join(QStringLiteral(", ")));
        }
        replaced << file->Path();
    }
}

namespace {

// Splits bytes into lines at LF (a CR before it belongs to the line end), or,
// when there is no LF at all but a CR, at CR.
void TakeLines(const QByteArray& bytes, const QString& name,
               const std::function<bool(const QByteArray&)>& take, ReadNotes* notes)
{
    char end = '\n';
    if (!bytes.contains('\n') && bytes.contains('\r')) {
        end = '\r';
        if (notes != nullptr)
            *notes << QStringLiteral("%1: the lines end with CR alone; read line by line").arg(name);
    }
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype stop = bytes.indexOf(end, start);
        const qsizetype next = stop < 0 ? bytes.size() : stop + 1;
        if (stop < 0)
            stop = bytes.size();
        else if (end == '\n' && stop > start && bytes.at(stop - 1) == '\r')
            --stop;
        if (!take(bytes.mid(start, stop - start)))
            return;
        start = next;
    }
}

} // namespace

void ReadLines(QIODevice& device, const QString& name,
               const std::function<bool(const QByteArray&)>& take, ReadNotes* notes)
{
    const QByteArray bytes = device.readAll();
    if (bytes.isEmpty() && !device.atEnd())
        throw FileError(name, QStringLiteral("cannot read the file (%1)").arg(device.errorString()));
    TakeLines(bytes, name, take, notes);
}

bool ReadFileLines(const QString& path, const std::function<bool(const QByteArray&)>& take, ReadNotes* notes)
{
    if (!QFileInfo::exists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, QStringLiteral("cannot open the file (%1)").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(path, QStringLiteral("cannot read the file (%1)").arg(file.errorString()));
    TakeLines(bytes, path, take, notes);
    return true;
}
