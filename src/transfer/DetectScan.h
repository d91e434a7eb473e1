#pragma once

#include "model/Language.h"
#include "serial/SerialDeviceList.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class IMessageBox;
class TQelmIBusComm;

// The port detection dialog as the scan sees it.
class IDetectScanView
{
public:
    virtual ~IDetectScanView() = default;
    // The result field beside port 1..4, shown at once: empty, "Testing...",
    // "Qelm found!", "No qelm found." or "not present".
    virtual void ShowPortResult(int port, const QString& text) = 0;
    // The result of a USB serial device tried after the four ports, in a row
    // of its own (row 0, 1, ... in the order tried), labelled `name`.
    virtual void ShowDeviceResult(int row, const QString& name, const QString& text) = 0;
    // False once the operator closed the dialog (which also aborts the link):
    // the scan then stops after the port being tried.
    virtual bool ScanWanted() const = 0;
};

namespace DetectScanTexts {
inline QString Testing() { return Tr("DetectScan", "Testing", "Testing..."); }
inline QString Found() { return Tr("DetectScan", "Found", "Qelm found!"); }
inline QString NotFound() { return Tr("DetectScan", "NotFound", "No qelm found."); }
inline QString ApplyQuestion() { return Tr("DetectScan", "ApplyQuestion", "Port found! Do you want to apply it?"); }
inline QString NotPresent() { return Tr("DetectScan", "NotPresent", "not present"); }
inline QString MapQuestion(const QString& device, int port)
{
    return Tr("DetectScan", "MapQuestion", "A register answered on %1.\nMap COM%2 to this device?").arg(device).arg(port);
}
} // namespace DetectScanTexts

namespace DetectScan {
constexpr int kFirstPort = 1;
constexpr int kLastPort = 4;
} // namespace DetectScan

struct DetectScanOptions
{
    // The program's current port (0 to 4), which a USB device found is mapped to.
    int currentPort = 0;
    // The serial devices present (DescribeSerialDevices unless a test gives others).
    std::function<std::vector<SerialDeviceInfo>()> listDevices;
};

// Tries COM1 to COM4 on the detection dialog's own link (its default
// properties, trace off): opens the port, logs in for a transfer and closes
// the port again. A register is recognised by a successful log-in. A port
// whose device does not exist is shown as "not present" without trying it; a
// port that cannot be opened otherwise (the link has shown its message)
// counts as not found. The first register found ends the scan with the
// question "Port found! Do you want to apply it?"; on Yes, [Comm] Port of
// SYSTEM.CFG becomes that port and the port number is returned for the
// program to use from now on.
//
// When none of the four answers, the USB and ACM devices present that no
// COMn maps to are tried the same way, each in a row of its own; where a
// register answers, the operator is asked whether to map the current port
// (COM1 when it is None) to that device (by its by-id name when it has one);
// on Yes [Ports] and, for None, [Comm] Port are written and the port returned.
//
// Nothing is returned on No, when no register answered, when the dialog was
// closed, or when SYSTEM.CFG refused the write (reported through messages):
// the current port then stays as it was. The link's CommName is left at the
// last port tried.
std::optional<int> DetectPort(TQelmIBusComm& link, IMessageBox& messages, IDetectScanView& view,
                              const DetectScanOptions& options = {});
