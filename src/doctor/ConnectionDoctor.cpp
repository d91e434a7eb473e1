#include "doctor/ConnectionDoctor.h"

#include "doctor/DeviceAccess.h"
#include "doctor/DeviceUsers.h"
#include "link/QelmIBus.h"
#include "model/Language.h"
#include "serial/PortResolver.h"
#include "serial/SerialDeviceList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <exception>

namespace {

using Mark = DoctorLine::Mark;
using Report = std::function<void(const DoctorLine&)>;

constexpr int kFirstCom = 1;
constexpr int kLastCom = 4;
// Log-in frames sent at each rate before the next rate is tried.
constexpr int kTransmissionsPerRate = 2;

QString ComName(int n)
{
    return QStringLiteral("COM%1").arg(n);
}

QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString KindText(SerialDeviceInfo::Kind kind)
{
    switch (kind) {
    case SerialDeviceInfo::Kind::Usb:
        return Tr("ConnectionDoctor", "UsbAdapter", "USB serial adapter");
    case SerialDeviceInfo::Kind::Acm:
        return Tr("ConnectionDoctor", "AcmDevice", "USB modem-class (ACM) device");
    case SerialDeviceInfo::Kind::BuiltIn:
        break;
    }
    return Tr("ConnectionDoctor", "BuiltInPort", "built-in serial port");
}

QStringList ComNamesFor(const QString& device)
{
    QStringList names;
    for (int n = kFirstCom; n <= kLastCom; ++n) {
        if (Canonical(ResolvePortName(ComName(n))) == Canonical(device))
            names << ComName(n);
    }
    return names;
}

void ReportDevicesPresent(const DoctorPaths& paths, const Report& report)
{
    const std::vector<SerialDeviceInfo> devices = DescribeSerialDevices(paths.root);
    if (devices.empty())
        report({Mark::Warn, Tr("ConnectionDoctor", "NoDevices", "No serial devices found."),
                Tr("ConnectionDoctor", "NoDevicesRemedy",
                   "Plug in the register's cable; a USB adapter appears as /dev/ttyUSB0 or /dev/ttyACM0 "
                   "(sudo dmesg shows what the system saw).")});
    for (const SerialDeviceInfo& device : devices) {
        QStringList parts{device.device + QStringLiteral(": ") + KindText(device.kind)};
        const QString maker = QStringList{device.vendor, device.product}.join(u' ').trimmed();
        if (!maker.isEmpty() || !device.usbId.isEmpty())
            parts << (maker + (device.usbId.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(device.usbId))).trimmed();
        if (!device.byId.isEmpty())
            parts << device.byId;
        const QStringList coms = ComNamesFor(QDir(paths.root).filePath(device.device.mid(1)));
        if (!coms.isEmpty())
            parts << Tr("ConnectionDoctor", "UsedAs", "used as %1").arg(coms.join(QStringLiteral(", ")));
        report({Mark::Info, parts.join(QStringLiteral(", ")), {}});
    }
    for (int n = kFirstCom; n <= kLastCom; ++n) {
        const QString device = ResolvePortName(ComName(n));
        const bool present = QFileInfo::exists(device);
        report({Mark::Info,
                (present ? QStringLiteral("%1 = %2") : Tr("ConnectionDoctor", "PortNotPresent", "%1 = %2 (not present)"))
                    .arg(ComName(n), device),
                {}});
    }
}

QString UserText(const DeviceUser& user)
{
    return user.command.isEmpty() ? Tr("ConnectionDoctor", "Process", "process %1").arg(user.pid)
                                  : Tr("ConnectionDoctor", "ProcessNamed", "process %1 (%2)").arg(user.pid).arg(user.command);
}

QString UserRemedy(const DeviceUser& user)
{
    if (user.command.compare(QLatin1String("ModemManager"), Qt::CaseInsensitive) == 0)
        return Tr("ConnectionDoctor", "ModemManagerRemedy",
                  "ModemManager probes new serial devices as modems. Stop it: sudo systemctl stop ModemManager "
                  "(disable it when no modem is used: sudo systemctl disable ModemManager).");
    if (user.command.startsWith(QLatin1String("brltty"), Qt::CaseInsensitive))
        return Tr("ConnectionDoctor", "BrlttyRemedy",
                  "brltty takes many USB serial adapters for braille displays. Without a braille display remove "
                  "it: sudo apt remove brltty, then plug the cable in again.");
    return Tr("ConnectionDoctor", "CloseProgram", "Close that program (or end it: kill %1).").arg(user.pid);
}

void ReportLock(const QString& device, const DoctorPaths& paths, const Report& report)
{
    const std::optional<DeviceLock> lock = FindDeviceLock(device, paths.lockDir, paths.procDir);
    if (!lock) {
        report({Mark::Pass, Tr("ConnectionDoctor", "NoLock", "No lock file for the device."), {}});
        return;
    }
    if (!lock->owner) {
        report({Mark::Warn, Tr("ConnectionDoctor", "LockNoProcess", "Lock file %1 names no process.").arg(lock->path),
                Tr("ConnectionDoctor", "LockNoProcessRemedy", "Remove it when no program uses the port: sudo rm %1").arg(lock->path)});
    } else if (lock->stale) {
        report({Mark::Warn,
                Tr("ConnectionDoctor", "StaleLock", "Stale lock file %1: process %2 no longer runs.").arg(lock->path).arg(lock->owner->pid),
                Tr("ConnectionDoctor", "StaleLockRemedy", "Remove it: sudo rm %1").arg(lock->path)});
    } else {
        report({Mark::Fail, Tr("ConnectionDoctor", "LockHeld", "Lock file %1 is held by %2.").arg(lock->path, UserText(*lock->owner)),
                UserRemedy(*lock->owner)});
    }
}

void ReportUsers(const QString& device, const DoctorPaths& paths, const Report& report)
{
    const std::vector<DeviceUser> users =
        FindDeviceUsers(device, paths.procDir, QCoreApplication::applicationPid());
    if (users.empty())
        report({Mark::Pass, Tr("ConnectionDoctor", "NoUsers", "No other program has the device open."), {}});
    for (const DeviceUser& user : users) {
        if (user.holdsPtyMaster && Canonical(device).startsWith(QLatin1String("/dev/pts/")))
            report({Mark::Info, Tr("ConnectionDoctor", "PtyOtherEnd", "%1 holds the other end of this pseudo-terminal.").arg(UserText(user)), {}});
        else
            report({Mark::Fail, Tr("ConnectionDoctor", "DeviceOpen", "%1 has the device open.").arg(UserText(user)), UserRemedy(user)});
    }
}

// The device exists and the user may use it.
bool ReportDevice(const QString& portName, const QString& device, const Report& report)
{
    const QString named = portName == device ? device : QStringLiteral("%1 (%2)").arg(portName, device);
    if (!QFileInfo::exists(device)) {
        report({Mark::Fail, Tr("ConnectionDoctor", "Missing", "%1 does not exist.").arg(named),
                Tr("ConnectionDoctor", "MissingRemedy",
                   "Plug in the cable, or map the port to a device present (Communication > Setting..., or "
                   "--port PATH).")});
        return false;
    }
    report({Mark::Pass, Tr("ConnectionDoctor", "Exists", "%1 exists.").arg(named), {}});
    const DeviceAccess access = CheckDeviceAccess(device);
    if (!access.mayReadWrite) {
        report({Mark::Fail, Tr("ConnectionDoctor", "NoAccess", "You may not read and write %1.").arg(device), AccessRemedy(access)});
        return false;
    }
    report({Mark::Pass, Tr("ConnectionDoctor", "Access", "You may read and write %1.").arg(device), {}});
    return true;
}

// One log-in at the rate; the register is logged out again when it answered.
TQelmIBusComm::WaitResult LogsInAt(TQelmIBusComm& link, int rateIndex)
{
    const TQelmIBusComm::WaitResult result = link.LogInAt(static_cast<TQelmIBusComm::TBaudRate>(rateIndex),
                                                          TQelmIBusComm::kAccessCode, kTransmissionsPerRate);
    if (result == TQelmIBusComm::WaitResult::Acknowledged)
        link.LogOut(TQelmIBusComm::kAccessCode, 0);
    return result;
}

// The rates one after the other until the register answers; a stop asked
// for ends the search before the next rate.
std::optional<int> ReportLogIns(TQelmIBusComm& link, const Report& report, const StopRequested& stopRequested)
{
    for (int index = 0; index < static_cast<int>(TQelmIBusComm::BaudTable.size()); ++index) {
        if (stopRequested && stopRequested())
            return std::nullopt;
        const QString rate = QString::number(TQelmIBusComm::BaudTable[static_cast<std::size_t>(index)]);
        const TQelmIBusComm::WaitResult result = LogsInAt(link, index);
        if (result == TQelmIBusComm::WaitResult::Acknowledged) {
            report({Mark::Pass, Tr("ConnectionDoctor", "LogInAnswered", "Log-in at %1 bit/s: the register answered.").arg(rate), {}});
            return index;
        }
        if (result == TQelmIBusComm::WaitResult::Aborted || (stopRequested && stopRequested())) {
            report({Mark::Info, Tr("ConnectionDoctor", "LogInStopped", "Log-in at %1 bit/s: stopped.").arg(rate), {}});
            return std::nullopt;
        }
        report({Mark::Info, Tr("ConnectionDoctor", "LogInNoAnswer", "Log-in at %1 bit/s: no answer.").arg(rate), {}});
    }
    return std::nullopt;
}

void CloseQuietly(TQelmIBusComm& link)
{
    try {
        link.SetActive(false);
    } catch (const std::exception&) {
        // Only the trace file could not be written.
    }
}

} // namespace

QString DoctorLineText(const DoctorLine& line)
{
    // The marks make a column as wide as the longest one.
    const QString marks[] = {Tr("ConnectionDoctor", "MarkPass", "OK"), Tr("ConnectionDoctor", "MarkFail", "FAIL"),
                             Tr("ConnectionDoctor", "MarkWarn", "WARN"), QString()};
    qsizetype width = 0;
    for (const QString& mark : marks)
        width = std::max(width, mark.size());
    QString text = marks[static_cast<int>(line.mark)].leftJustified(width + 1) + line.text;
    if (!line.remedy.isEmpty())
        text += QChar(u'\n') + QString(width + 3, u' ') + QStringLiteral("-> ") + line.remedy;
    return text;
}

QString PortRemedy(const QString& portName, const DoctorPaths& paths)
{
    QString remedy;
    const Report firstFailure = [&remedy](const DoctorLine& line) {
        if (line.mark == Mark::Fail && remedy.isEmpty())
            remedy = line.remedy.isEmpty() ? line.text : line.text + QLatin1Char(' ') + line.remedy;
    };
    const QString device = ResolvePortName(portName);
    if (ReportDevice(portName, device, firstFailure)) {
        ReportLock(device, paths, firstFailure);
        ReportUsers(device, paths, firstFailure);
    }
    return remedy;
}

DoctorResult RunConnectionDoctor(TQelmIBusComm& link, const QString& portName, const DoctorPaths& paths,
                                 const Report& report, const StopRequested& stopRequested)
{
    DoctorResult result;
    ReportDevicesPresent(paths, report);
    const QString device = ResolvePortName(portName);
    if (!ReportDevice(portName, device, report))
        return result;
    ReportLock(device, paths, report);
    ReportUsers(device, paths, report);

    link.SetMessageBox(nullptr);
    // Its exchanges go after the trace already in DEBUG.LOG, which is the
    // record of the transfer the check may be run to understand.
    link.SetTraceEnabled(true);
    link.SetTraceAppends(true);
    link.SetCommName(portName);
    try {
        link.SetActive(true);
        result.deviceUsable = true;
        result.answeredRate = ReportLogIns(link, report, stopRequested);
        result.stopped = !result.answeredRate && stopRequested && stopRequested();
    } catch (const std::exception& error) {
        report({Mark::Fail, Tr("ConnectionDoctor", "Unusable", "%1 could not be used: %2").arg(device, QString::fromLocal8Bit(error.what())),
                {}});
    }
    CloseQuietly(link);
    if (result.answeredRate) {
        report({Mark::Pass,
                Tr("ConnectionDoctor", "Answers", "The register answers on %1 at %2 bit/s.")
                    .arg(device)
                    .arg(TQelmIBusComm::BaudTable[static_cast<std::size_t>(*result.answeredRate)]),
                {}});
    } else if (result.deviceUsable && !result.stopped) {
        report({Mark::Fail, Tr("ConnectionDoctor", "NoAnswer", "No register answered on %1 at any rate.").arg(device),
                Tr("ConnectionDoctor", "NoAnswerRemedy",
                   "Check that the register is switched on and the cable sits firmly at both ends; a built-in "
                   "port may need a null-modem cable.")});
    }
    return result;
}
