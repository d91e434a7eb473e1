#include "cli/TableCommands.h"

#include "cli/CliDocument.h"
#include "cli/CliSession.h"
#include "cli/CompareCommands.h"
#include "cli/ExitStatus.h"


#include <QFileInfo>

int RunTableTransfer(const CliOptions& options)
{
    CliSession session(options);

    CliDocument shop;
    const bool download = options.command == CliOptions::Command::Download;
    if (download) {
        if (!shop.Open(options.file))
            return ExitStatus::kFailed;
    } else {
        shop.document.ClearDocument();
    }

    const TransferTables tables{shop.plu, shop.departments, session.SettingsPath()};
    const TransferResult result = RunRecordedTableTransfer(session, options, RequestOf(session, options), tables);
    if (!result.Succeeded())
        return ExitStatus::Report(result);
    if (!download)
        shop.document.SaveDocumentAs(QFileInfo(options.file).absoluteFilePath());
    return ExitStatus::kDone;
}
