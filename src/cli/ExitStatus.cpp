#include "cli/ExitStatus.h"

#include "cli/ConsoleText.h"

#include "transfer/ServiceContext.h"
#include "transfer/TransferRequest.h"

#include <cstdio>

namespace ExitStatus {
namespace {

const QString kCancelled = QStringLiteral("Cancelled");

// A step after the work was done failed (writing the link trace): said once,
// as a warning.
int DoneWithWarning(const QString& detail)
{
    if (!detail.isEmpty())
        PrintError(QStringLiteral("warning: ") + detail);
    return kDone;
}

int Failed(const QString& message, const QString& detail, const QString& cause = QString())
{
    for (const QString& text : {message, cause, detail}) {
        if (!text.isEmpty())
            PrintError(text);
    }
    return kFailed;
}

} // namespace

void PrintError(const QString& text)
{
    std::fprintf(stderr, "plu-cli: %s\n", ConsoleText::Bytes(text).constData());
    std::fflush(stderr);
}

int UsageError(const QString& text)
{
    PrintError(text);
    std::fputs("Try plu-cli --help.\n", stderr);
    return kUsage;
}

int Report(const TransferResult& result, const QString& cause)
{
    using Outcome = TransferResult::Outcome;
    switch (result.outcome) {
    case Outcome::Done:
        return DoneWithWarning(result.detail);
    case Outcome::PortNotOpened:
        // The link has printed "Error opening ..."; the cause adds the remedy.
        return Failed({}, result.detail, cause);
    case Outcome::Cancelled:
        return Failed(kCancelled, result.detail);
    case Outcome::Failed:
    case Outcome::Refused:
        // The console progress keeps error statuses for this report.
        return Failed(result.message, result.detail, cause);
    }
    return kFailed;
}

int Report(const ServiceResult& result, const QString& cause)
{
    using Outcome = ServiceResult::Outcome;
    switch (result.outcome) {
    case Outcome::Done:
        return DoneWithWarning(result.detail);
    case Outcome::NotStarted:
        return Failed(QStringLiteral("Nothing was chosen"), result.detail);
    case Outcome::Refused:
        // A refusal's notice went through the message box already.
        return Failed(result.message.isEmpty() ? QStringLiteral("Refused") : QString(), result.detail);
    case Outcome::PortNotOpened:
        return Failed({}, result.detail, cause);
    case Outcome::Cancelled:
        return Failed(kCancelled, result.detail);
    case Outcome::Failed:
        return Failed(result.message, result.detail, cause);
    }
    return kFailed;
}

int Interrupted(const QString& file)
{
    return Failed(kCancelled, QStringLiteral("%1 is left as it was").arg(file));
}

} // namespace ExitStatus
