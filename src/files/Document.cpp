#include "files/Document.h"

#include "files/TableFiles.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString WithExtension(const QString& path, const QString& extension)
{
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString base = dot >= nameStart ? path.left(dot) : path;
    return base + extension;
}

// The companion file with the given extension: an existing file whose
// extension differs only in case (shop.dep beside shop.plu) is the one meant;
// otherwise the extension as given.
QString CompanionPath(const QString& path, const QString& extension)
{
    const QString exact = WithExtension(path, extension);
    if (QFileInfo::exists(exact))
        return exact;
    const QFileInfo wanted(exact);
    const QString base = wanted.completeBaseName();
    const QDir folder = wanted.dir();
    if (!folder.exists())
        return exact;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() == wanted.fileName().size() && name.startsWith(base)
            && name.compare(wanted.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return exact;
}

QString FullPath(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

Document::Document(TextTable& plu, TextTable& dept, RecyTable& recy)
    : plu_(plu), dept_(dept), recy_(recy)
{
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

void Document::SaveDocument(const QString& path)
{
    // All three are written before any replaces its old file.
    WriteFilesTogether({{path, TableFileBytes(plu_)},
                        {DepPath(path), TableFileBytes(dept_)},
                        {RcyPath(path), RecyFileBytes(recy_)}});
    modified_ = false;
}

void Document::SaveDocumentAs(const QString& path)
{
    currentFileName_ = FullPath(path);
    SaveDocument(currentFileName_);
    captionPath_ = currentFileName_;
}

ReadNotes Document::LoadDocument(const QString& path)
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

QString Document::DepPath(const QString& path)
{
    return CompanionPath(path, QStringLiteral(".DEP"));
}

QString Document::RcyPath(const QString& path)
{
    return CompanionPath(path, QStringLiteral(".RCY"));
}
