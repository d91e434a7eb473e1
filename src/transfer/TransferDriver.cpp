#include "transfer/TransferDriver.h"

#include "model/Texts.h"
#include "serial/CommsError.h"
#include "config/SettingsFile.h"
#include "transfer/Progress.h"
#include "transfer/SessionCancel.h"
#include "transfer/StepStatus.h"
#include "transfer/DialogInput.h"
#include "transfer/TransferLink.h"

#include <exception>
#include <optional>

namespace TransferDriver {
namespace {

constexpr quint8 kRequestStatus = 0;
constexpr int kFailureLogOuts = 4;

// Closes the port on every way out. Close() reports a failure to write the
// link trace; the destructor (early returns, exceptions) cannot and drops it.
class PortGuard
{
public:
    explicit PortGuard(ITransferLink& link) : link_(link) {}
    PortGuard(const PortGuard&) = delete;
    PortGuard& operator=(const PortGuard&) = delete;

    ~PortGuard()
    {
        try {
            Close();
        } catch (const std::exception&) {
        }
    }

    void Close()
    {
        if (open_) {
            open_ = false;
            link_.SetActive(false);
        }
    }

private:
    ITransferLink& link_;
    bool open_ = true;
};

// The common failure path: four log-outs with the failure flag, the error
// status (dropped by the window when the operator already cancelled), wait for
// OK. Cancel ends the transfer this way too, silently.
// The cause is what the link knew at the failure, before the log-outs.
TransferResult Fail(ITransferLink& link, IProgress& progress, const SessionCancel& cancel, const QString& status,
                    const QString& detail = QString(), std::optional<FailureCause> knownCause = std::nullopt)
{
    const FailureCause cause = knownCause ? *knownCause : FailureCause::FromLink(link.LastFailure());
    for (int i = 0; i < kFailureLogOuts; ++i)
        link.LogOut(ITransferLink::kAccessCode, true);
    const bool cancelled = cancel.Requested();
    progress.ShowStatus(IProgress::Mode::Error, status);
    if (!cancelled && !CauseText(cause).isEmpty())
        progress.ShowCause(CauseText(cause));
    progress.WaitDismissed();

    TransferResult result;
    result.outcome = cancelled ? TransferResult::Outcome::Cancelled : TransferResult::Outcome::Failed;
    result.message = status;
    result.detail = detail;
    if (!cancelled)
        result.cause = cause;
    return result;
}

// The status step; nothing when it succeeded, else how the transfer ended.
std::optional<TransferResult> ReadStatus(ITransferLink& link, IProgress& progress, const SessionCancel& cancel,
                                         RegisterStatus& status)
{
    progress.ShowStatus(IProgress::Mode::Normal, StepRunningText(CheckStatusText()));
    progress.SetMargin(0);
    if (!cancel.Requested() && link.RequestPacket(kRequestStatus, 0)) {
        status = ParseRegisterStatus(link.PacketData());
        return std::nullopt;
    }
    return Fail(link, progress, cancel, StepErrorText(CheckStatusText()));
}

QString TableName(Direction direction, TransferTable table)
{
    const ProgramTexts& texts = Texts();
    const int index = static_cast<int>(table);
    return direction == Direction::Download
               ? texts.DownloadText + texts.DownloadItemTips[std::size_t(index)]
               : texts.UploadText + texts.UploadItemTips[std::size_t(index)];
}

// Runs one table step; a thrown error becomes the step's failure and its reason.
bool MoveTable(const TableStep& moveTable, TransferTable table, const RegisterStatus& status,
               QString& detail)
{
    try {
        return moveTable(table, status);
    } catch (const SettingsWriteError& error) {
        detail = error.Message();
    } catch (const std::exception& error) {
        detail = QString::fromLocal8Bit(error.what());
    }
    return false;
}

// A refusal found once the status is known: nothing went wrong on the line,
// so the session ends with an ordinary log-out and the caller shows why.
TransferResult Refuse(ITransferLink& link, IProgress& progress, TransferResult refused)
{
    link.LogOut(ITransferLink::kAccessCode, false);
    progress.Close();
    return refused;
}

TransferResult RunLoggedIn(ITransferLink& link, IProgress& progress, const SessionCancel& cancel,
                           const TransferRequest& request, Direction direction, const TableStep& moveTable,
                           const StatusCheck& checkStatus, unsigned& doneTables)
{
    const ProgramTexts& texts = Texts();
    RegisterStatus status;
    if (auto failed = ReadStatus(link, progress, cancel, status))
        return *failed;

    // The register takes no table while its reports wait to be cleared.
    if (direction == Direction::Download && !status.ReportCleared)
        return Fail(link, progress, cancel, texts.ReportNotClearText, QString(),
                    FailureCause{FailureCause::Kind::ReportsNotCleared});
    if (checkStatus) {
        if (auto refused = checkStatus(status))
            return Refuse(link, progress, *refused);
    }

    for (int index = 0; index < kTransferTableCount; ++index) {
        const auto table = static_cast<TransferTable>(index);
        if (!request.Includes(table))
            continue;
        const QString name = TableName(direction, table);
        progress.ShowStatus(IProgress::Mode::Normal, StepRunningText(name));
        QString detail;
        if (cancel.Requested() || !MoveTable(moveTable, table, status, detail))
            return Fail(link, progress, cancel, StepErrorText(name), detail);
        doneTables |= TableBit(table);
    }

    progress.ShowStatus(IProgress::Mode::Normal, StepRunningText(texts.DisconnectText));
    if (!link.LogOut(ITransferLink::kAccessCode, false)) {
        progress.ShowStatus(IProgress::Mode::Error, StepErrorText(texts.DisconnectText));
        progress.WaitDismissed();
        TransferResult result;
        result.outcome = TransferResult::Outcome::Failed;
        result.message = StepErrorText(texts.DisconnectText);
        return result;
    }
    progress.Close();
    return {};
}

} // namespace

QString CheckStatusText()
{
    return Tr("StepStatus", "CheckStatus", "Check ecr status");
}

TransferResult Run(ITransferLink& link, IProgress& progress, const TransferRequest& request,
                   Direction direction, const TableStep& moveTable, const StatusCheck& checkStatus)
{
    TransferResult result;
    if (!request.range.IsValid()) {
        result.outcome = TransferResult::Outcome::Refused;
        result.message = PluRangeInput::InvalidRangeText();
        return result;
    }

    link.SetCommName(request.port);
    link.SetBaudRate(request.baudIndex);
    try {
        link.SetActive(true);
    } catch (const ECommsError& error) {
        result.outcome = TransferResult::Outcome::PortNotOpened;
        result.message = QString::fromLocal8Bit(error.what());
        result.cause.kind = FailureCause::Kind::PortUnavailable;
        result.cause.reason = QString::fromStdString(error.Reason());
        return result;
    }
    PortGuard port(link);
    const SessionCancel cancel(progress, [&link] { link.Abort(); });

    progress.Show();
    progress.SetLineRate(LineRateOf(request.baudIndex));
    progress.ShowStatus(IProgress::Mode::Normal, StepRunningText(Texts().ConnectText));
    unsigned doneTables = 0;
    if (!link.LogIn(ITransferLink::kAccessCode, false))
        result = Fail(link, progress, cancel, StepErrorText(Texts().ConnectText));
    else
        result = RunLoggedIn(link, progress, cancel, request, direction, moveTable, checkStatus, doneTables);
    result.reach.doneTables = doneTables;

    try {
        port.Close();
    } catch (const std::exception& error) {
        if (result.detail.isEmpty())
            result.detail = QString::fromLocal8Bit(error.what());
    }
    return result;
}

} // namespace TransferDriver
