#pragma once

#include <QString>

#include <optional>

class IMessageBox;
class TQelmIBusComm;

// The port detection dialog as the scan sees it.
class IDetectScanView
{
public:
    virtual ~IDetectScanView() = default;
    // The result field beside port 1..4, shown at once: empty, "Testing...",
    // "Qelm found!" or "No qelm found.".
    virtual void ShowPortResult(int port, const QString& text) = 0;
    // False once the operator closed the dialog (which also aborts the link):
    // the scan then stops after the port being tried.
    virtual bool ScanWanted() const = 0;
};

namespace DetectScanTexts {
inline QString Testing() { return QStringLiteral("Testing..."); }
inline QString Found() { return QStringLiteral("Qelm found!"); }
inline QString NotFound() { return QStringLiteral("No qelm found."); }
inline QString ApplyQuestion() { return QStringLiteral("Port found! Do you want to apply it?"); }
} // namespace DetectScanTexts

namespace DetectScan {
constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;
} // namespace DetectScan

// Tries COM1 to COM4 on the detection dialog's own link (its default
// properties, trace off): opens the port, logs in for a transfer and closes
// the port again. A register is recognised by a successful log-in; a port
// that cannot be opened (the link has shown its message) counts as not found.
// The first register found ends the scan with the question "Port found! Do
// you want to apply it?"; on Yes, [Comm] Port of SYSTEM.CFG becomes that
// port (a file that cannot be written is reported through messages) and the
// port number is returned for the program to use from now on. Nothing is
// returned on No, when no register answered, or when the dialog was closed.
//
// The link's CommName is left at the last port tried.
std::optional<int> DetectPort(TQelmIBusComm& link, IMessageBox& messages, IDetectScanView& view);
