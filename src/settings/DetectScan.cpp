#include "settings/DetectScan.h"

#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "serial/CommsError.h"
#include "settings/AppPaths.h"
#include "settings/SettingsFile.h"

#include <exception>

namespace {

const QString kCommSection = QStringLiteral("Comm");
const QString kPortKey = QStringLiteral("Port");

// True when a register logged in on the port.
bool RegisterAnswers(TQelmIBusComm& link, int port)
{
    link.SetCommName(QStringLiteral("COM") + QString::number(port));
    try {
        link.SetActive(true);
    } catch (const ECommsError&) {
        return false;
    }
    const bool found = link.LogIn(TQelmIBusComm::kAccessCode, false);
    try {
        link.SetActive(false);
    } catch (const std::exception&) {
        // The port is closed; only the trace file could not be written, which
        // says nothing about the register.
    }
    return found;
}

void ApplyPort(IMessageBox& messages, int port)
{
    try {
        SettingsFile(AppPaths::SettingsPath()).WriteInteger(kCommSection, kPortKey, port);
    } catch (const SettingsWriteError& error) {
        messages.Error(error.Message());
    }
}

} // namespace

std::optional<int> DetectPort(TQelmIBusComm& link, IMessageBox& messages, IDetectScanView& view)
{
    for (int port = DetectScan::kFirstPort; port <= DetectScan::kLastPort; ++port)
        view.ShowPortResult(port, QString());

    for (int port = DetectScan::kFirstPort; port <= DetectScan::kLastPort; ++port) {
        view.ShowPortResult(port, DetectScanTexts::Testing());
        if (RegisterAnswers(link, port)) {
            view.ShowPortResult(port, DetectScanTexts::Found());
            if (!messages.AskYesNo(DetectScanTexts::ApplyQuestion()))
                return std::nullopt;
            ApplyPort(messages, port);
            return port;
        }
        if (!view.ScanWanted())
            return std::nullopt;
        view.ShowPortResult(port, DetectScanTexts::NotFound());
    }
    return std::nullopt;
}
