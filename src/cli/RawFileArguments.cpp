#include "cli/RawFileArguments.h"

#include "cli/ConsoleText.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kAttempts = 100;
constexpr size_t kCopyChunk = 1 << 16;
const QByteArray kPortOption = "--port";

bool IsUtf8(const QByteArray& bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// Each part of the path as UTF-8 where it is, else as the Latin-1 characters
// its bytes stand for.
QString Readable(const QByteArray& path)
{
    QStringList parts;
    for (const QByteArray& part : path.split('/'))
        parts << (IsUtf8(part) ? QString::fromUtf8(part) : QString::fromLatin1(part));
    return parts.join(u'/');
}

QByteArray AbsoluteFolder(const QByteArray& folder)
{
    if (folder.startsWith('/'))
        return folder;
    const std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
    return current ? QByteArray(current.get()) + '/' + folder : folder;
}

// The stand-in's name for raw: a text that survives the trip through UTF-8.
QByteArray StandInName(const QByteArray& prefix, const QByteArray& raw)
{
    return prefix + QString::fromLatin1(raw).toUtf8();
}

bool Exists(int folder, const QByteArray& name, struct stat* state = nullptr)
{
    struct stat ignored{};
    return ::fstatat(folder, name.constData(), state != nullptr ? state : &ignored, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool Unchanged(const struct stat& now, const struct stat& made)
{
    return SameFile(now, made) && now.st_size == made.st_size && now.st_mtim.tv_sec == made.st_mtim.tv_sec
           && now.st_mtim.tv_nsec == made.st_mtim.tv_nsec;
}

struct FolderCloser
{
    void operator()(DIR* entries) const { ::closedir(entries); }
};

bool IsDocument(const QByteArray& name)
{
    return name.size() > 4 && name.right(4).compare(".PLU", Qt::CaseInsensitive) == 0;
}

// The document's file with the given extension as the program finds it: the
// extension as given, else an existing one that differs only in case.
QByteArray Companion(int folder, const QByteArray& document, const QByteArray& extension)
{
    const QByteArray exact = document.left(document.lastIndexOf('.') + 1) + extension;
    if (Exists(folder, exact))
        return exact;
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::unique_ptr<DIR, FolderCloser> entries(listed >= 0 ? ::fdopendir(listed) : nullptr);
    if (!entries) {
        if (listed >= 0)
            ::close(listed);
        return exact;
    }
    QByteArray found;
    while (const dirent* entry = ::readdir(entries.get())) {
        const QByteArray name(entry->d_name);
        if (name.size() == exact.size() && name.startsWith(exact.chopped(extension.size()))
            && name.compare(exact, Qt::CaseInsensitive) == 0 && (found.isEmpty() || name < found))
            found = name;
    }
    return found.isEmpty() ? exact : found;
}

// A copy of raw as link, for a filesystem without hard links.
bool CopyAs(int folder, const QByteArray& raw, const QByteArray& link, mode_t mode)
{
    const int from = ::openat(folder, raw.constData(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    const int to = ::openat(folder, link.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
    if (to < 0) {
        const int error = errno;
        ::close(from);
        errno = error;
        return false;
    }
    bool copied = true;
    char buffer[kCopyChunk];
    for (ssize_t got; copied && (got = ::read(from, buffer, sizeof buffer)) != 0;) {
        if (got < 0) {
            copied = errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; copied && done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            copied = put >= 0 || errno == EINTR;
            done += put > 0 ? put : 0;
        }
    }
    const int error = errno;
    ::close(from);
    copied = ::close(to) == 0 && copied;
    if (!copied) {
        ::unlinkat(folder, link.constData(), 0);
        errno = error;
    }
    return copied;
}

} // namespace

RawFileArguments::RawFileArguments(int argc, char** argv)
{
    for (int i = 1; i < argc && m_problem.isEmpty(); ++i) {
        const QByteArray argument(argv[i]);
        if (IsUtf8(argument)) {
            m_arguments << QFile::decodeName(argument);
            continue;
        }
        const qsizetype equals = argument.indexOf('=');
        const bool option = argument.startsWith("--");
        const bool portName = (option && argument.left(equals) == kPortOption)
                              || (i > 1 && QByteArray(argv[i - 1]) == kPortOption);
        if (portName || (option && (equals < 0 || !IsUtf8(argument.left(equals))))) {
            m_problem = QStringLiteral("\"%1\" is not valid in the system's character set (UTF-8)")
                           .arg(QString::fromLatin1(argument));
            break;
        }
        // --settings=FILE, or a file.
        const QString name = option ? QString::fromUtf8(argument.left(equals + 1)) : QString();
        const QString usable = Usable(option ? argument.mid(equals + 1) : argument);
        m_arguments << name + usable;
    }
}

RawFileArguments::~RawFileArguments()
{
    if (!m_putInPlace) {
        for (const QString& problem : PutInPlace())
            std::fprintf(stderr, "plu-cli: %s\n", ConsoleText::Bytes(problem).constData());
    }
    for (const int folder : m_folders)
        ::close(folder);
}

QString RawFileArguments::Usable(const QByteArray& argument)
{
    const qsizetype slash = argument.lastIndexOf('/');
    const QByteArray folderPath = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : argument.left(slash);
    const QByteArray name = argument.mid(slash + 1);
    const int folder = ::open(folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        m_problem = QStringLiteral("%1: %2").arg(QDir::cleanPath(Readable(folderPath)), qt_error_string(errno));
        return {};
    }
    m_folders.push_back(folder);
    // The folder stays open, so this path reaches it whatever its name.
    const QString alias = QStringLiteral("/proc/self/fd/%1").arg(folder);
    const QString shownFolder = QDir::cleanPath(Readable(AbsoluteFolder(folderPath)));
    const QString usable = IsUtf8(name) ? alias + u'/' + QString::fromUtf8(name)
                                        : StandIns(folder, alias, shownFolder, name);
    ConsoleText::ShowAs(alias, shownFolder);
    return usable;
}

// Makes the stand-ins for name (and a document's companions) and returns the
// path of name's stand-in.
QString RawFileArguments::StandIns(int folder, const QString& alias, const QString& shownFolder,
                                   const QByteArray& name)
{
    QList<QByteArray> names{name};
    if (IsDocument(name))
        names << Companion(folder, name, "DEP") << Companion(folder, name, "RCY");
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray prefix = ".plu-cli-" + QByteArray::number(QRandomGenerator::global()->generate(), 16) + '.';
        std::vector<Entry> made;
        int error = 0;
        for (const QByteArray& raw : names) {
            Entry entry{folder, raw, StandInName(prefix, raw), shownFolder + u'/' + QString::fromLatin1(raw)};
            if (!MakeStandIn(entry)) {
                error = errno != 0 ? errno : EIO;
                break;
            }
            made.push_back(entry);
        }
        if (error == 0) {
            m_entries.insert(m_entries.end(), made.cbegin(), made.cend());
            const QString standInFolder = alias + u'/' + QString::fromUtf8(prefix);
            ConsoleText::ShowAs(standInFolder, shownFolder + u'/');
            return standInFolder + QString::fromLatin1(name);
        }
        Remove(made);
        if (error != EEXIST) {
            m_problem = QStringLiteral("%1: cannot be reached under a UTF-8 name in its folder (%2)")
                           .arg(shownFolder + u'/' + QString::fromLatin1(name), qt_error_string(error));
            return {};
        }
    }
    m_problem = QStringLiteral("%1: no free name for the work in its folder").arg(shownFolder);
    return {};
}

// A hard link to the file (a copy where the filesystem has none, a symbolic
// link to a folder); nothing for a file that does not exist yet, whose name
// must only be free.
bool RawFileArguments::MakeStandIn(Entry& entry)
{
    struct stat raw{};
    if (!Exists(entry.folder, entry.raw, &raw)) {
        if (errno != ENOENT)
            return false;
        if (Exists(entry.folder, entry.link)) {
            errno = EEXIST;
            return false;
        }
        return true;
    }
    const char* link = entry.link.constData();
    if (S_ISDIR(raw.st_mode)) {
        if (::symlinkat(entry.raw.constData(), entry.folder, link) != 0)
            return false;
    } else if (::linkat(entry.folder, entry.raw.constData(), entry.folder, link, 0) != 0) {
        if (errno == EEXIST || !S_ISREG(raw.st_mode) || !CopyAs(entry.folder, entry.raw, entry.link, raw.st_mode))
            return false;
    }
    entry.made = Exists(entry.folder, entry.link, &entry.madeState);
    return entry.made;
}

void RawFileArguments::Remove(const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries) {
        if (entry.made)
            ::unlinkat(entry.folder, entry.link.constData(), 0);
    }
}

QStringList RawFileArguments::PutInPlace()
{
    m_putInPlace = true;
    QStringList problems;
    for (const Entry& entry : m_entries) {
        struct stat now{};
        if (!Exists(entry.folder, entry.link, &now))
            continue;
        struct stat raw{};
        // Still the stand-in, or a hard link the file was changed through.
        const bool leftAlone = (entry.made && Unchanged(now, entry.madeState))
                               || (Exists(entry.folder, entry.raw, &raw) && SameFile(now, raw));
        if (leftAlone) {
            ::unlinkat(entry.folder, entry.link.constData(), 0);
        } else if (::renameat(entry.folder, entry.link.constData(), entry.folder, entry.raw.constData()) != 0) {
            problems << QStringLiteral("the new %1 could not replace the old one and is left as %2 (%3)")
                            .arg(entry.shown, QString::fromUtf8(entry.link), qt_error_string(errno));
        }
    }
    m_entries.clear();
    return problems;
}
