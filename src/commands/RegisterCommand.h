#pragma once

#include "transfer/Compare.h"
#include "transfer/TableSnapshot.h"
#include "transfer/TransferRequest.h"
#include "transfer/TransferTables.h"

#include <QString>

#include <functional>
#include <optional>

class IProgress;
class ITransferLink;
class TransferHistory;

// One table command against the register, run the same way by the main window
// and by plu-cli: the checks of what would be sent, the transfer, the read-back
// of a verify and the history entry. The front ends only choose the request,
// answer the questions below and show the result.

enum class RegisterCommandKind { Download, Upload, Compare };

struct RegisterCommandRequest
{
    RegisterCommandKind kind = RegisterCommandKind::Download;
    // Port, rate, tables and PLU range.
    TransferRequest transfer;
    // Download only: send only what differs from what the register was last
    // seen with, and read the PLU and department tables back afterwards.
    bool changesOnly = false;
    bool verify = false;
};

// What a command needs from the front end that runs it.
class IRegisterCommandFrontEnd
{
public:
    virtual ~IRegisterCommandFrontEnd() = default;

    // Something the operator should read before the transfer goes on.
    virtual void Notice(const QString& text) = 0;
    // The history could not be kept; the command goes on regardless.
    virtual void Warning(const QString& text) = 0;
    // A download of a department table without one named department would
    // blank the register's departments: true only when the operator asked
    // for exactly that.
    virtual bool SendEmptyDepartments() = 0;
    // Runs the change an upload makes to the document's tables, so that the
    // front end can make it one step of its own (an undo step).
    virtual void ChangeTables(const std::function<void()>& change) = 0;
};

struct RegisterCommandResult
{
    // Done only when everything asked for was done, a verify included. A
    // verify that found differences fails with VerifyFailureText; one whose
    // read-back failed fails with the read-back's status in message and, in
    // detail, that the download itself completed.
    TransferResult result;
    // A compare or verify read the register to the end: the tables compared
    // and every field that differs.
    bool compared = false;
    unsigned comparedTables = 0;
    Differences differences;
    // What a compare read from the register.
    TableSnapshot held;
    // A changes-only download: what it sent ("Download changes: 2 PLUs in 1 package.").
    QString changesSummary;
    // From the start of the transfer to its end.
    qint64 elapsedMs = 0;
    // How it ended, in the sentences of CommandReport: what was done (when
    // it succeeded), why it failed, and what a failed or cancelled download
    // or upload left on the register or in the document.
    QString doneText;
    QString causeText;
    QString leftText;

    bool Succeeded() const { return result.Succeeded(); }
};

// The text of a result whose download went through but whose read-back did not.
QString VerifyNotMadeText();

// Runs one command over `link` with `progress` as its progress window.
// `tables` are the document's: a download or compare reads them, an upload
// replaces only the tables and PLU rows it read (through the front end's
// ChangeTables), a failed or cancelled one those it read before it stopped
// (record columns only when the totals were not read). The parameter set goes
// to or from tables.settingsPath.
class RegisterCommand
{
public:
    RegisterCommand(ITransferLink& link, IProgress& progress, IRegisterCommandFrontEnd& frontEnd);

    RegisterCommandResult Run(const RegisterCommandRequest& request, const TransferTables& tables);

private:
    // The request as it will run; a result when it must not run at all.
    std::optional<TransferResult> Prepare(RegisterCommandRequest& request, const TransferTables& tables);
    void Download(const RegisterCommandRequest& request, const TransferTables& tables,
                  TransferHistory& history, RegisterCommandResult& out);
    TransferResult DownloadChangesOnly(ITransferLink& link, const TransferRequest& request,
                                       const TransferTables& tables, TransferHistory& history, QString& summary);
    void Upload(const TransferRequest& request, const TransferTables& tables, TransferHistory& history,
                RegisterCommandResult& out);
    void Compare(const QString& command, const TransferRequest& request, const TransferTables& tables,
                 TransferHistory& history, RegisterCommandResult& out);
    void Verify(const TransferRequest& request, const TransferTables& tables, TransferHistory& history,
                RegisterCommandResult& out);
    void PassOnWarning(TransferHistory& history);
    void Describe(const RegisterCommandRequest& request, RegisterCommandResult& out) const;

    ITransferLink& m_link;
    IProgress& m_progress;
    IRegisterCommandFrontEnd& m_frontEnd;
};
