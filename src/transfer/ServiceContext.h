#pragma once

#include "transfer/FailureCause.h"

#include <QString>

class IMessageBox;
class IProgress;
class TQelmIBusComm;

// What every service function (connection test, memory dump, program and font
// download) works with: the link it drives, the progress window it reports
// in, the message box for the few notices it gives, the port to open and the
// connection texts come from Texts() (ConnectText, DisconnectText), which the
// language file may replace.

// The port a service function opens: the link's CommName and the line-speed
// index 0..4 (9600 .. 115200 bit/s). An index outside the table leaves the
// link's rate as it is.
struct ServicePort
{
    QString name;
    int baudIndex = 0;

    // "COM" followed by the configured port number, as the main window opens it.
    static ServicePort FromNumber(int portNumber, int baudIndex);
};

struct ServiceContext
{
    TQelmIBusComm& link;
    IProgress& progress;
    IMessageBox& messages;
    ServicePort port;
};

struct ServiceResult
{
    enum class Outcome {
        Done,          // every step ran; the progress window closed by itself
        NotStarted,    // the operator cancelled the choice (file, range)
        Refused,       // the choice was unusable; the operator was told, nothing sent
        PortNotOpened, // the link already told the operator why
        Failed,        // a step failed; message holds the error status shown
        Cancelled,     // the operator pressed Cancel; nothing more was shown
    };

    Outcome outcome = Outcome::Done;
    // The error status as shown ("Receive Data...Error!"), the notice given
    // ("Not a valid file!") or the port's opening error.
    QString message;
    // A further reason, e.g. the link trace that could not be written.
    QString detail;
    // Why it failed, as far as the link knows (nothing for a cancel).
    FailureCause cause;

    bool Succeeded() const { return outcome == Outcome::Done; }
};
