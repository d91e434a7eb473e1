#include "cli/CliDocument.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"


bool CliDocument::Open(const QString& file)
{
    const QString path = FileArguments::AbsolutePath(file);
    if (!FilePath(path).Exists()) {
        ExitStatus::PrintError(QStringLiteral("%1: no such document").arg(file));
        return false;
    }
    for (const QString& note : document.LoadDocument(path))
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);
    return true;
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
