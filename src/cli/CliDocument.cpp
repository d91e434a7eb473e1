#include "cli/CliDocument.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"

#include "transfer/Upload.h"

#include <QDir>

namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString SourceProblem(const CliOptions& options, const QString& path, const QString& settingsPath)
{
    if (!FilePath(path).IsFile())
        return QStringLiteral("%1: no such document").arg(options.file);
    if ((options.tables & TableBit(TransferTable::Department)) != 0) {
        const QString departments = Document::DepPath(path);
        if (!FilePath(departments).IsFile())
            return QStringLiteral("%1: no such file (the department table was chosen)").arg(Shown(departments));
    }
    if ((options.tables & TableBit(TransferTable::Parameter)) != 0 && !FilePath(settingsPath).IsFile())
        return QStringLiteral("%1: no such settings file (the parameter set was chosen)").arg(Shown(settingsPath));
    return {};
}

QString TargetProblem(const QString& path)
{
    for (const QString& file : {path, Document::DepPath(path), Document::RcyPath(path)}) {
        if (const QString problem = FileArguments::FileToWriteProblem(file); !problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace

bool CliDocument::Open(const QString& file)
{
    const QString path = FileArguments::AbsolutePath(file);
    if (!FilePath(path).Exists()) {
        ExitStatus::PrintError(QStringLiteral("%1: no such document").arg(file));
        return false;
    }
    Load(path);
    return true;
}

QString CliDocument::Prepare(RegisterCommandKind kind, const CliOptions& options, const QString& path,
                             const QString& settingsPath)
{
    if (kind != RegisterCommandKind::Upload) {
        if (QString problem = SourceProblem(options, path, settingsPath); !problem.isEmpty())
            return problem;
        Load(path);
        return {};
    }
    // The parameter set alone goes to the settings file: the document stays.
    if (!UploadTouchesDocument(options.tables))
        return {};
    if (QString problem = TargetProblem(path); !problem.isEmpty())
        return problem;
    if (QString refusal = document.Lock(path); !refusal.isEmpty())
        return QStringLiteral("%1: %2").arg(options.file, refusal);
    if (!options.newDocument && FilePath(path).IsFile())
        Load(path);
    return {};
}

void CliDocument::Load(const QString& path)
{
    for (const QString& note : document.LoadDocument(path))
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);
}

TransferRequest RequestOf(const CliSession& session, const CliOptions& options)
{
    TransferRequest request;
    request.port = session.PortName();
    request.baudIndex = session.BaudIndex();
    request.selection = options.tables;
    request.range = options.range;
    return request;
}
