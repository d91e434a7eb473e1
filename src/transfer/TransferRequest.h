#pragma once

#include "transfer/FailureCause.h"

#include <QString>

#include <iterator>

// What one Download data or Upload data run is asked to do. The main window
// fills it from its dialog and its current port settings; plu-cli from its
// command line. Both then run the same driver.

// The tables a transfer can move, in the order they are moved.
enum class TransferTable { PLU = 0, Department = 1, Parameter = 2 };
constexpr int kTransferTableCount = 3;

constexpr unsigned TableBit(TransferTable table)
{
    return 1u << static_cast<int>(table);
}

// PLU numbers begin..end, both included.
struct PluRange
{
    static constexpr int kFirst = 1;
    static constexpr int kLast = 3000;

    int begin = kFirst;
    int end = kLast;

    bool IsValid() const { return kFirst <= begin && begin <= end && end <= kLast; }
};

struct TransferRequest
{
    // Name handed to the link: "COM" + the configured number, or a device path.
    QString port;
    // Line speed index 0..4 (9600 .. 115200 bit/s).
    int baudIndex = 0;
    // TableBit()s of the ticked tables; other bits are ignored.
    unsigned selection = 0;
    PluRange range;

    bool Includes(TransferTable table) const { return (selection & TableBit(table)) != 0; }
};

// Line rate in bit/s of a rate index 0..4 (9600 .. 115200); 0 outside.
inline int LineRateOf(int baudIndex)
{
    constexpr int kRates[] = {9600, 19200, 38400, 57600, 115200};
    return baudIndex >= 0 && baudIndex < int(std::size(kRates)) ? kRates[baudIndex] : 0;
}

// "COM" followed by the configured port number, as the main window opens it.
inline QString PortNameFor(int portNumber)
{
    return QStringLiteral("COM") + QString::number(portNumber);
}

// How far a transfer got before it ended: the tables moved completely and,
// of the PLU table, the highest PLU number moved (0: none). A PLU table that
// is not complete was moved from range.begin up to that number.
struct TransferReach
{
    unsigned doneTables = 0;
    int lastPlu = 0;

    bool Done(TransferTable table) const { return (doneTables & TableBit(table)) != 0; }
};

struct TransferResult
{
    enum class Outcome {
        Done,           // every selected table moved, logged out
        PortNotOpened,  // the link already told the operator why
        Failed,         // a step failed; message holds its status text
        Cancelled,      // the operator pressed Cancel (nothing was shown)
        Refused,        // nothing sent: a bad PLU range, or data the register must not get
    };

    Outcome outcome = Outcome::Done;
    // The error status as shown ("Download:PLU...Error!", "ECR report don't
    // clear!") or the port's opening error.
    QString message;
    // A further reason for the operator, e.g. "Unable to write to ..." when the
    // settings file refused an uploaded parameter; empty otherwise.
    QString detail;
    // Why it failed, as far as known (nothing for a cancel).
    FailureCause cause;
    TransferReach reach;

    bool Succeeded() const { return outcome == Outcome::Done; }
};
