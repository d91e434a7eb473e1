#include "files/Document.h"

#include "files/DocumentLock.h"
#include "files/FileError.h"
#include "files/TableFiles.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QDir>

#include <dirent.h>
#include <memory>

namespace {

struct FolderCloser
{
    void operator()(DIR* entries) const { ::closedir(entries); }
};

// The companion file with the given extension: an existing file whose
// extension differs only in case (shop.dep beside shop.plu) is the one meant;
// otherwise the extension as given. Names are compared as bytes, so a name
// that is not valid UTF-8 finds its companions too.
QString CompanionPath(const FilePath& path, const QByteArray& extension)
{
    const FilePath exact = path.WithExtension(extension);
    if (exact.Exists())
        return exact.Text();
    const QByteArray wanted = exact.FileName();
    const QByteArray base = wanted.chopped(extension.size());
    const std::unique_ptr<DIR, FolderCloser> entries(::opendir(exact.Folder().Native()));
    if (!entries)
        return exact.Text();
    QByteArray found;
    while (const dirent* entry = ::readdir(entries.get())) {
        const QByteArray name(entry->d_name);
        if (name.size() == wanted.size() && name.startsWith(base) && name.compare(wanted, Qt::CaseInsensitive) == 0
            && exact.Folder().Child(name).IsFile() && (found.isEmpty() || name < found))
            found = name;
    }
    return found.isEmpty() ? exact.Text() : exact.Folder().Child(found).Text();
}

QString FullPath(const FilePath& path)
{
    return QDir::cleanPath(path.Absolute().Text());
}

} // namespace

Document::Document(TextTable& plu, TextTable& dept, RecyTable& recy)
    : plu_(plu), dept_(dept), recy_(recy)
{
}

Document::~Document() = default;

QString Document::Lock(const FilePath& path)
{
    auto lock = std::make_unique<DocumentLock>(path);
    if (!lock->Held())
        return lock->Refusal();
    lock_ = std::move(lock);
    return {};
}

void Document::Unlock()
{
    lock_.reset();
}

QString Document::Title()
{
    return QStringLiteral("TQR716 PLU manager");
}

QString Document::Caption() const
{
    if (captionPath_.isEmpty())
        return Title();
    return Title() + QStringLiteral("~[") + captionPath_ + QStringLiteral("]");
}

void Document::ClearDocument()
{
    plu_.ResetGrid();
    dept_.ResetGrid();
    recy_.ResetRecycling();
    currentFileName_.clear();
    captionPath_.clear();
    modified_ = false;
}

void Document::SaveDocument(const FilePath& path, Files files)
{
    std::unique_ptr<DocumentLock> own;
    if (!lock_ || !(lock_->Document() == path.Absolute())) {
        own = std::make_unique<DocumentLock>(path);
        if (!own->Held())
            throw FileError(path.Shown(), own->Refusal());
    }
    // All three are written before any replaces its old file.
    std::vector<std::pair<FilePath, QByteArray>> written{{path, TableFileBytes(plu_)}};
    if (files == Files::All)
        written.emplace_back(DepPath(path), TableFileBytes(dept_));
    written.emplace_back(RcyPath(path), RecyFileBytes(recy_));
    WriteFilesTogether(written);
    modified_ = false;
}

void Document::SaveDocumentAs(const FilePath& path, Files files)
{
    currentFileName_ = FullPath(path);
    SaveDocument(currentFileName_, files);
    captionPath_ = currentFileName_;
}

ReadNotes Document::LoadDocument(const FilePath& path)
{
    currentFileName_ = FullPath(path);
    ReadNotes notes;
    ReadTableFile(plu_, currentFileName_, &notes);
    ReadTableFile(dept_, DepPath(currentFileName_), &notes);
    ReadRecyFile(recy_, RcyPath(currentFileName_), &notes);
    modified_ = false;
    captionPath_ = currentFileName_;
    return notes;
}

QString Document::DepPath(const FilePath& path)
{
    return CompanionPath(path, ".DEP");
}

QString Document::RcyPath(const FilePath& path)
{
    return CompanionPath(path, ".RCY");
}
