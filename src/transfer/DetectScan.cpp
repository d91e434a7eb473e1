#include "transfer/DetectScan.h"

#include "link/QelmIBus.h"
#include "model/MessageBox.h"
#include "serial/CommsError.h"
#include "serial/PortResolver.h"
#include "config/AppPaths.h"
#include "config/PortMap.h"
#include "config/SettingsFile.h"

#include <QFileInfo>

#include <exception>

namespace {

const QString kCommSection = QStringLiteral("Comm");
const QString kPortKey = QStringLiteral("Port");

QString ComName(int port)
{
    return QStringLiteral("COM") + QString::number(port);
}

// True when a register logged in on the port (a COMn or a device path).
bool RegisterAnswers(TQelmIBusComm& link, const QString& commName)
{
    link.SetCommName(commName);
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

bool ApplyPort(IMessageBox& messages, int port)
{
    try {
        SettingsFile(AppPaths::SettingsPath()).WriteInteger(kCommSection, kPortKey, port);
        return true;
    } catch (const SettingsWriteError& error) {
        messages.Error(error.Message());
        return false;
    }
}

QString CanonicalDevice(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// USB and ACM devices present that none of COM1..COM4 stands for.
std::vector<SerialDeviceInfo> UnmappedAdapters(const DetectScanOptions& options)
{
    QStringList mapped;
    for (int port = DetectScan::kFirstPort; port <= DetectScan::kLastPort; ++port)
        mapped << CanonicalDevice(ResolvePortName(ComName(port)));
    const std::vector<SerialDeviceInfo> present =
        options.listDevices ? options.listDevices() : DescribeSerialDevices();
    std::vector<SerialDeviceInfo> unmapped;
    for (const SerialDeviceInfo& device : present) {
        if (device.kind != SerialDeviceInfo::Kind::BuiltIn && !mapped.contains(CanonicalDevice(device.device)))
            unmapped.push_back(device);
    }
    return unmapped;
}

// The port a device found is mapped to: the current one, COM1 for None.
int PortToMap(int currentPort)
{
    const bool hasPort = currentPort >= DetectScan::kFirstPort && currentPort <= DetectScan::kLastPort;
    return hasPort ? currentPort : DetectScan::kFirstPort;
}

// Maps the port to the device (and makes it the current port when it was
// not); the port number, or nothing when the settings file refused.
std::optional<int> MapToDevice(IMessageBox& messages, int currentPort, const QString& device)
{
    const int port = PortToMap(currentPort);
    try {
        SetPortDevicePath(ComName(port), device);
    } catch (const SettingsWriteError& error) {
        messages.Error(error.Message());
        return std::nullopt;
    }
    if (port != currentPort && !ApplyPort(messages, port))
        return std::nullopt;
    return port;
}

std::optional<int> TryAdapters(TQelmIBusComm& link, IMessageBox& messages, IDetectScanView& view,
                               const DetectScanOptions& options)
{
    const std::vector<SerialDeviceInfo> adapters = UnmappedAdapters(options);
    for (std::size_t row = 0; row < adapters.size(); ++row) {
        const SerialDeviceInfo& adapter = adapters[row];
        const QString mapTo = adapter.byId.isEmpty() ? adapter.device : adapter.byId;
        const QString name = QFileInfo(adapter.device).fileName();
        const int index = static_cast<int>(row);
        view.ShowDeviceResult(index, name, DetectScanTexts::Testing());
        if (RegisterAnswers(link, adapter.device)) {
            view.ShowDeviceResult(index, name, DetectScanTexts::Found());
            if (!messages.AskYesNo(DetectScanTexts::MapQuestion(mapTo, PortToMap(options.currentPort))))
                return std::nullopt;
            return MapToDevice(messages, options.currentPort, mapTo);
        }
        if (!view.ScanWanted())
            return std::nullopt;
        view.ShowDeviceResult(index, name, DetectScanTexts::NotFound());
    }
    return std::nullopt;
}

} // namespace

std::optional<int> DetectPort(TQelmIBusComm& link, IMessageBox& messages, IDetectScanView& view,
                              const DetectScanOptions& options)
{
    for (int port = DetectScan::kFirstPort; port <= DetectScan::kLastPort; ++port)
        view.ShowPortResult(port, QString());

    for (int port = DetectScan::kFirstPort; port <= DetectScan::kLastPort; ++port) {
        if (!QFileInfo::exists(ResolvePortName(ComName(port)))) {
            view.ShowPortResult(port, DetectScanTexts::NotPresent());
            continue;
        }
        view.ShowPortResult(port, DetectScanTexts::Testing());
        if (RegisterAnswers(link, ComName(port))) {
            view.ShowPortResult(port, DetectScanTexts::Found());
            if (!messages.AskYesNo(DetectScanTexts::ApplyQuestion()) || !ApplyPort(messages, port))
                return std::nullopt;
            return port;
        }
        if (!view.ScanWanted())
            return std::nullopt;
        view.ShowPortResult(port, DetectScanTexts::NotFound());
    }
    return TryAdapters(link, messages, view, options);
}
