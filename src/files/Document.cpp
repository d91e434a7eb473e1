#include "files/Document.h"

#include "files/TableFiles.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QFileInfo>

namespace {

QString WithExtension(const QString& path, const QString& extension)
{
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString base = dot >= nameStart ? path.left(dot) : path;
    return base + extension;
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
    WriteTableFile(plu_, path);
    WriteTableFile(dept_, DepPath(path));
    WriteRecyFile(recy_, RcyPath(path));
    modified_ = false;
}

void Document::SaveDocumentAs(const QString& path)
{
    currentFileName_ = FullPath(path);
    SaveDocument(currentFileName_);
    captionPath_ = currentFileName_;
}

void Document::LoadDocument(const QString& path)
{
    currentFileName_ = FullPath(path);
    ReadTableFile(plu_, currentFileName_);
    ReadTableFile(dept_, DepPath(currentFileName_));
    ReadRecyFile(recy_, RcyPath(currentFileName_));
    modified_ = false;
    captionPath_ = currentFileName_;
}

QString Document::DepPath(const QString& path)
{
    return WithExtension(path, QStringLiteral(".DEP"));
}

QString Document::RcyPath(const QString& path)
{
    return WithExtension(path, QStringLiteral(".RCY"));
}
