#include "cli/TableCommands.h"

#include "cli/CliSession.h"
#include "cli/CompareCommands.h"
#include "cli/ExitStatus.h"

#include "files/Document.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QFileInfo>

int RunTableTransfer(const CliOptions& options)
{
    CliSession session(options);

    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    const QString documentPath = QFileInfo(options.file).absoluteFilePath();
    const bool download = options.command == CliOptions::Command::Download;
    if (download) {
        if (!QFileInfo::exists(documentPath)) {
            ExitStatus::PrintError(QStringLiteral("%1: no such document").arg(options.file));
            return ExitStatus::kFailed;
        }
        document.LoadDocument(documentPath);
    } else {
        document.ClearDocument();
    }

    TransferRequest request;
    request.port = session.PortName();
    request.baudIndex = session.BaudIndex();
    request.selection = options.tables;
    request.range = options.range;

    const TransferTables tables{plu, departments, session.SettingsPath()};
    const TransferResult result = RunRecordedTableTransfer(session, options, request, tables);
    if (!result.Succeeded())
        return ExitStatus::Report(result);
    if (!download)
        document.SaveDocumentAs(documentPath);
    return ExitStatus::kDone;
}
