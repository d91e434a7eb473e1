#include "files/FileIo.h"

#include "files/FileError.h"

#include <QIODevice>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0666; // the umask takes its share
constexpr size_t kReadChunk = 1 << 16;

QString Reason(const QString& what, int error)
{
    return QStringLiteral("%1 (%2)").arg(what, qt_error_string(error));
}

// The file a write to path really replaces: a symbolic link's target (the
// link itself when it leads nowhere).
FilePath Target(const FilePath& path)
{
    const auto state = path.State(true);
    if (!state || !S_ISLNK(state->st_mode))
        return path;
    const std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.Native(), nullptr), &std::free);
    return target ? FilePath::FromBytes(QByteArray(target.get())) : path;
}

int OpenTemporary(const FilePath& target, FilePath& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = FilePath::FromBytes(target.Bytes() + '.'
                                   + QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0')
                                   + '~');
        const int fd = ::open(name.Native(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The replacement keeps the permissions of the file it replaces.
void KeepMode(int fd, const FilePath& target)
{
    if (const auto old = target.State())
        ::fchmod(fd, old->st_mode & 07777);
}

} // namespace

StagedFile::StagedFile(const FilePath& path) : path_(path), target_(Target(path))
{
    if (target_.IsFolder())
        Fail(QStringLiteral("cannot create the file"), EISDIR);
    fd_ = OpenTemporary(target_, temporary_);
    if (fd_ < 0) {
        temporary_ = FilePath();
        Fail(QStringLiteral("cannot create the file"), errno);
    }
    KeepMode(fd_, target_);
}

StagedFile::~StagedFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temporary_.IsEmpty())
        ::unlink(temporary_.Native());
}

void StagedFile::Fail(const QString& what, int error)
{
    throw FileError(path_.Shown(), Reason(what, error));
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
    if (::rename(temporary_.Native(), target_.Native()) != 0)
        Fail(QStringLiteral("cannot replace the file"), errno);
    committed_ = true;
}

void WriteFileAtomically(const FilePath& path, const QByteArray& bytes)
{
    StagedFile file(path);
    file.Write(bytes);
    file.Commit();
}

void WriteFilesTogether(const std::vector<std::pair<FilePath, QByteArray>>& files)
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
        replaced << file->Path().Shown();
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

std::optional<QByteArray> ReadFileBytes(const FilePath& path, qint64 maxBytes)
{
    const int fd = ::open(path.Native(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw FileError(path.Shown(), Reason(QStringLiteral("cannot open the file"), errno));
    }
    QByteArray bytes;
    char buffer[kReadChunk];
    for (;;) {
        const qint64 wanted = maxBytes < 0 ? qint64(sizeof buffer)
                                           : std::min<qint64>(sizeof buffer, maxBytes + 1 - bytes.size());
        const ssize_t got = wanted > 0 ? ::read(fd, buffer, size_t(wanted)) : 0;
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw FileError(path.Shown(), Reason(QStringLiteral("cannot read the file"), error));
        }
        bytes.append(buffer, got);
    }
    ::close(fd);
    return bytes;
}

bool ReadFileLines(const FilePath& path, const std::function<bool(const QByteArray&)>& take, ReadNotes* notes)
{
    const std::optional<QByteArray> bytes = ReadFileBytes(path);
    if (!bytes)
        return false;
    TakeLines(*bytes, path.Shown(), take, notes);
    return true;
}
