#pragma once

#include "link/LinkFailure.h"

#include <QString>

// Why a register command failed, carried up with its result: from what the
// link knows of the line, the register's status or the opening of the port.
struct FailureCause
{
    enum class Kind {
        None,               // not known, or the operator cancelled
        NoAnswer,           // tries transmissions went unanswered, intervalMs apart
        Refused,            // the register answered 0x55 (NAK)
        Damaged,            // the answers had a bad checksum
        DeviceLost,         // the serial device went away
        PortUnavailable,    // the port could not be opened; reason says why
        ReportsNotCleared,  // the register takes no table before its reports are cleared
    };

    Kind kind = Kind::None;
    int tries = 0;
    int intervalMs = 0;
    QString reason;

    static FailureCause FromLink(const LinkFailure& failure);
    bool operator==(const FailureCause&) const = default;
};

// The cause in plain words for the operator ("The register did not answer
// (7 tries, 0.8 s apart)."); empty for None.
QString CauseText(const FailureCause& cause);
