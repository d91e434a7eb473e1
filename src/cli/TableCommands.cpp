#include "cli/TableCommands.h"

#include "cli/CliDocument.h"
#include "cli/CliSession.h"
#include "cli/CompareCommands.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"

#include "files/Document.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"
#include "transfer/Upload.h"

#include <QDir>

namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void PrintNotes(const ReadNotes& notes)
{
    for (const QString& note : notes)
        ExitStatus::PrintError(QStringLiteral("warning: ") + note);
}

// What a download needs before the port is touched: the document, and every
// file a chosen table comes from. A missing one would be sent as an empty
// table and erase the register's.
QString DownloadSourceProblem(const CliOptions& options, const QString& documentPath,
                              const QString& settingsPath)
{
    if (!FilePath(documentPath).IsFile())
        return QStringLiteral("%1: no such document").arg(options.file);
    const unsigned chosen = options.tables;
    if ((chosen & TableBit(TransferTable::Department)) != 0) {
        const QString departments = Document::DepPath(documentPath);
        if (!FilePath(departments).IsFile())
            return QStringLiteral("%1: no such file (the department table was chosen)").arg(Shown(departments));
    }
    if ((chosen & TableBit(TransferTable::Parameter)) != 0 && !FilePath(settingsPath).IsFile())
        return QStringLiteral("%1: no such settings file (the parameter set was chosen)").arg(Shown(settingsPath));
    return {};
}

// The three files an upload may write: their folder must take them.
QString UploadTargetProblem(const QString& documentPath)
{
    for (const QString& path : {documentPath, Document::DepPath(documentPath), Document::RcyPath(documentPath)}) {
        if (const QString problem = FileArguments::FileToWriteProblem(path); !problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace

int RunTableTransfer(const CliOptions& options)
{
    const QString documentPath = FileArguments::AbsolutePath(options.file);
    const bool download = options.command == CliOptions::Command::Download;
    const bool touchesDocument = download || UploadTouchesDocument(options.tables);
    if (!download && touchesDocument) {
        if (const QString problem = UploadTargetProblem(documentPath); !problem.isEmpty()) {
            ExitStatus::PrintError(problem);
            return ExitStatus::kFailed;
        }
    }

    CliSession session(options);
    if (download) {
        if (const QString problem = DownloadSourceProblem(options, documentPath, session.SettingsPath());
            !problem.isEmpty()) {
            ExitStatus::PrintError(problem);
            return ExitStatus::kFailed;
        }
    }

    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    if (!download && touchesDocument) {
        if (const QString refusal = document.Lock(documentPath); !refusal.isEmpty()) {
            ExitStatus::PrintError(QStringLiteral("%1: %2").arg(options.file, refusal));
            return ExitStatus::kFailed;
        }
    }
    // An upload onto an existing document replaces only the tables and rows
    // it reads; the rest, the recycling table included, stays as it was.
    const bool load = touchesDocument && FilePath(documentPath).IsFile() && (download || !options.newDocument);
    if (load)
        PrintNotes(document.LoadDocument(documentPath));
    // The uploaded rows hold what the register sends and nothing older.
    if (load && !download && (options.tables & TableBit(TransferTable::PLU)) != 0)
        plu.ResetRows(options.range.begin, options.range.end);

    const TransferTables tables{plu, departments, session.SettingsPath()};
    const TransferResult result = RunRecordedTableTransfer(session, options, RequestOf(session, options), tables);
    if (!result.Succeeded())
        return ExitStatus::Report(result);
    if (!download && touchesDocument)
        document.SaveDocumentAs(documentPath);
    return ExitStatus::Report(result);
}
