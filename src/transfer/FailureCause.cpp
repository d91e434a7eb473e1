#include "transfer/FailureCause.h"

#include "model/Language.h"

namespace {

QString Seconds(int ms)
{
    // 800 ms reads "0.8", 1000 ms "1", 60000 ms "60".
    return QString::number(ms / 1000.0, 'g', 3);
}

QString NoAnswerText(const FailureCause& cause)
{
    if (cause.tries <= 1)
        return Tr("FailureCause", "NoAnswerOnce", "The register did not answer within %1 s.").arg(Seconds(cause.intervalMs));
    return Tr("FailureCause", "NoAnswer", "The register did not answer (%1 tries, %2 s apart).")
        .arg(cause.tries)
        .arg(Seconds(cause.intervalMs));
}

} // namespace

FailureCause FailureCause::FromLink(const LinkFailure& failure)
{
    FailureCause cause;
    cause.tries = failure.tries;
    cause.intervalMs = failure.intervalMs;
    switch (failure.cause) {
    case LinkFailure::Cause::NoAnswer:
        cause.kind = Kind::NoAnswer;
        break;
    case LinkFailure::Cause::Refused:
        cause.kind = Kind::Refused;
        break;
    case LinkFailure::Cause::Damaged:
        cause.kind = Kind::Damaged;
        break;
    case LinkFailure::Cause::DeviceLost:
        cause.kind = Kind::DeviceLost;
        break;
    case LinkFailure::Cause::None:
    case LinkFailure::Cause::Aborted:
        break;
    }
    return cause;
}

QString CauseText(const FailureCause& cause)
{
    switch (cause.kind) {
    case FailureCause::Kind::None:
        return {};
    case FailureCause::Kind::NoAnswer:
        return NoAnswerText(cause);
    case FailureCause::Kind::Refused:
        return Tr("FailureCause", "Refused", "The register refused the package (NAK).");
    case FailureCause::Kind::Damaged:
        return Tr("FailureCause", "Damaged", "The register's answers were damaged (checksum error).");
    case FailureCause::Kind::DeviceLost:
        return Tr("FailureCause", "DeviceLost", "The serial device disappeared (unplugged).");
    case FailureCause::Kind::PortUnavailable:
        return cause.reason.isEmpty() ? Tr("FailureCause", "PortUnavailable", "The port could not be opened.")
                                      : Tr("FailureCause", "PortUnavailableBecause", "The port could not be opened: %1").arg(cause.reason);
    case FailureCause::Kind::ReportsNotCleared:
        return Tr("FailureCause", "ReportsNotCleared", "The register's reports are not cleared: it takes no table until they are.");
    }
    return {};
}
