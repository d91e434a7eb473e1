#pragma once

#include <QString>

#include <functional>
#include <optional>

class TQelmIBusComm;

// One line of the connection check: a mark, what was found and, when it
// stands in the way, what to do about it.
struct DoctorLine
{
    enum class Mark { Pass, Fail, Warn, Info };
    Mark mark = Mark::Info;
    QString text;
    QString remedy;
};

// The line as plain text: "OK   text", "FAIL text" with the remedy on an
// indented line below.
QString DoctorLineText(const DoctorLine& line);

// The system folders the check reads; tests give a fake tree.
struct DoctorPaths
{
    QString root = QStringLiteral("/");  // dev/, dev/serial/by-id/, sys/ below it
    QString procDir = QStringLiteral("/proc");
    QString lockDir = QStringLiteral("/var/lock");
};

struct DoctorResult
{
    bool deviceUsable = false;          // it exists and could be opened
    std::optional<int> answeredRate;    // rate index at which the register logged in
    bool stopped = false;               // the operator ended the check before an answer
};

// Asked between the rates whether the operator wants the check to end.
using StopRequested = std::function<bool()>;

// Checks the way to the register on `portName` (COMn through the port map,
// or a device path) and reports each finding as it is made:
//  - the serial devices present (USB and ACM adapters with their by-id names
//    and makers, built-in ports with a UART) and which COMn maps to which;
//  - the port's device exists; the user may read and write it (else its
//    group and whether a new login is needed); a lock file and its owner;
//    every other process that has it open, naming the usual culprits;
//  - a log-in at each line rate from 9600 to 115200 bit/s until the register
//    answers (it is logged out again at once), unless stopRequested says to
//    stop before the next rate (the link's Abort ends the rate in progress).
// `link` is the check's own: its message box is taken away (failures become
// lines), it traces its exchanges at the end of DEBUG.LOG (the trace already
// there stays), and its port is left closed.
DoctorResult RunConnectionDoctor(TQelmIBusComm& link, const QString& portName, const DoctorPaths& paths,
                                 const std::function<void(const DoctorLine&)>& report,
                                 const StopRequested& stopRequested = {});

// What the check would tell about the port's device without talking to the
// register: what stands in the way (missing, not permitted, locked or held by
// another program) and what to do about it, as one text; empty when nothing
// is found. Given after a port could not be opened.
QString PortRemedy(const QString& portName, const DoctorPaths& paths = DoctorPaths());
