#include "commands/SeveralRegisters.h"

#include "model/Language.h"
#include "config/AppPaths.h"
#include "serial/PortResolver.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

struct SeveralRegisters::Runner
{
    QThread thread;
    std::unique_ptr<RegisterThreadWork> work;
};

namespace {

// The device a port opens, as one file: two names of one device (a COMn
// mapped onto a link, the link itself) come out alike.
QString DeviceOf(const QString& port)
{
    const QString resolved = ResolvePortName(port);
    const QString canonical = QFileInfo(resolved).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(resolved).absoluteFilePath() : canonical;
}

QString PortKey(const QString& port)
{
    return port.contains(QLatin1Char('/')) ? port : port.toUpper();
}

} // namespace

SeveralRegisters::SeveralRegisters(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<RegisterRunEnd>();
}

SeveralRegisters::~SeveralRegisters()
{
    Cancel();
    StopThreads();
}

QString SeveralRegisters::Problem(RegisterCommandKind kind, const std::vector<RegisterTarget>& targets)
{
    if (targets.empty())
        return Tr("SeveralRegisters", "NoRegisterChosen", "No register was chosen.");
    if (kind == RegisterCommandKind::Upload && targets.size() > 1)
        return Tr("SeveralRegisters", "NoSeveralUploads", "An upload reads one register into the document: it cannot read several at once.");
    QHash<QString, QString> ports;
    QHash<QString, QString> devices;
    for (const RegisterTarget& target : targets) {
        const QString key = PortKey(target.port);
        if (ports.contains(key))
            return Tr("SeveralRegisters", "PortTwice", "The port %1 is named twice.").arg(target.port);
        ports.insert(key, target.port);
        const QString device = DeviceOf(target.port);
        if (const auto other = devices.constFind(device); other != devices.cend())
            return Tr("SeveralRegisters", "SameDevice", "The ports %1 and %2 lead to the same device %3.").arg(*other, target.port, device);
        devices.insert(device, target.port);
    }
    return {};
}

std::vector<QString> SeveralRegisters::TracePathsOf(const std::vector<RegisterTarget>& targets)
{
    static const QRegularExpression kUnsafe(QStringLiteral("[^A-Za-z0-9_-]+"));
    const QString folder = QFileInfo(AppPaths::TracePath()).absolutePath();
    std::vector<QString> paths;
    QSet<QString> taken;
    int number = 0;
    for (const RegisterTarget& target : targets) {
        ++number;
        QString safe = QString(target.name).replace(kUnsafe, QStringLiteral("_"));
        if (safe.isEmpty() || taken.contains(safe.toUpper()))
            safe += QStringLiteral("-%1").arg(number);
        taken.insert(safe.toUpper());
        paths.push_back(folder + QStringLiteral("/DEBUG-") + safe + QStringLiteral(".LOG"));
    }
    return paths;
}

QString SeveralRegisters::Start(const RegisterCommandRequest& request, const std::vector<RegisterTarget>& targets,
                                const TextTable& plu, const TextTable& departments, const QString& settingsPath,
                                const RegisterLinkOptions& link)
{
    if (IsRunning())
        return Tr("SeveralRegisters", "StillBusy", "The registers are still busy.");
    if (QString problem = Problem(request.kind, targets); !problem.isEmpty())
        return problem;
    StopThreads();
    m_targets = targets;
    m_ends.assign(targets.size(), std::nullopt);
    const TableCells pluCells(plu);
    const TableCells departmentCells(departments);
    const std::vector<QString> tracePaths = TracePathsOf(targets);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        auto runner = std::make_unique<Runner>();
        runner->work = std::make_unique<RegisterThreadWork>(RegisterThreadWork::Job{
            int(i), targets[i], request, pluCells, departmentCells, settingsPath, tracePaths[i], link});
        RegisterThreadWork* work = runner->work.get();
        work->moveToThread(&runner->thread);
        connect(&runner->thread, &QThread::started, work, &RegisterThreadWork::Run);
        connect(work, &RegisterThreadWork::StepShown, this, &SeveralRegisters::StepShown, Qt::QueuedConnection);
        connect(work, &RegisterThreadWork::PackageShown, this, &SeveralRegisters::PackageShown,
                Qt::QueuedConnection);
        connect(work, &RegisterThreadWork::NoticeShown, this, &SeveralRegisters::NoticeShown,
                Qt::QueuedConnection);
        connect(work, &RegisterThreadWork::Ended, this, &SeveralRegisters::OnEnded, Qt::QueuedConnection);
        m_runners.push_back(std::move(runner));
    }
    m_running = int(m_runners.size());
    for (const auto& runner : m_runners)
        runner->thread.start();
    return {};
}

void SeveralRegisters::Cancel()
{
    for (const auto& runner : m_runners) {
        if (runner->thread.isRunning())
            QMetaObject::invokeMethod(runner->work.get(), &RegisterThreadWork::Cancel, Qt::QueuedConnection);
    }
}

void SeveralRegisters::WaitFinished()
{
    if (!IsRunning())
        return;
    QEventLoop loop;
    connect(this, &SeveralRegisters::Finished, &loop, &QEventLoop::quit);
    loop.exec();
}

const std::optional<RegisterRunEnd>& SeveralRegisters::EndOf(int index) const
{
    static const std::optional<RegisterRunEnd> kNone;
    return index >= 0 && std::size_t(index) < m_ends.size() ? m_ends[std::size_t(index)] : kNone;
}

void SeveralRegisters::OnEnded(int index, const RegisterRunEnd& end)
{
    if (index < 0 || std::size_t(index) >= m_ends.size() || m_ends[std::size_t(index)])
        return;
    m_ends[std::size_t(index)] = end;
    m_runners[std::size_t(index)]->thread.wait();
    --m_running;
    emit RegisterEnded(index);
    if (m_running == 0)
        emit Finished();
}

// Each register's thread ends once its command has returned (quitting it
// from here would end the link's waits as well).
void SeveralRegisters::StopThreads()
{
    for (const auto& runner : m_runners)
        runner->thread.wait();
    m_runners.clear();
}
