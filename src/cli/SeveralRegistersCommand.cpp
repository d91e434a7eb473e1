#include "cli/SeveralRegistersCommand.h"

#include "cli/CliDocument.h"
#include "cli/ConsoleText.h"
#include "cli/ExitStatus.h"
#include "cli/FileArguments.h"
#include "cli/InterruptNotifier.h"
#include "cli/PortSettings.h"
#include "cli/TableCommands.h"

#include "commands/SeveralRegisters.h"
#include "config/RegisterList.h"
#include "transfer/DownloadChanges.h"

#include <cstdio>

namespace {

void PrintLine(std::FILE* to, const QString& text)
{
    std::fprintf(to, "%s\n", ConsoleText::Bytes(text).constData());
    std::fflush(to);
}

bool IsComName(const QString& port)
{
    return !port.contains(QLatin1Char('/'));
}

struct Targets
{
    std::vector<RegisterTarget> list;
    QString problem;
};

// The registers named, in the order: --all-registers, --register, --port.
Targets TargetsOf(const CliOptions& options, const QString& settingsPath)
{
    const RegisterList listed = ReadRegisterList(settingsPath);
    const PortSettings current = ReadPortSettings(settingsPath);
    Targets targets;
    auto add = [&targets](const NamedRegister& entry) {
        for (const RegisterTarget& known : targets.list) {
            if (known.name == entry.name)
                return;
        }
        targets.list.push_back({entry.name, entry.port, entry.baudIndex});
    };
    if (options.allRegisters) {
        if (listed.empty()) {
            targets.problem = QStringLiteral("no registers are listed in [Registers] of %1").arg(settingsPath);
            return targets;
        }
        for (const NamedRegister& entry : listed)
            add(entry);
    }
    for (const QString& name : options.registerNames) {
        const auto entry = FindRegister(listed, name);
        if (!entry) {
            targets.problem = QStringLiteral("no register named \"%1\" in [Registers] of %2").arg(name, settingsPath);
            return targets;
        }
        add(*entry);
    }
    for (const QString& port : options.ports) {
        const QString name = RegisterNameOfPort(listed, port);
        targets.list.push_back({name.isEmpty() ? port : name, port, options.baudIndex.value_or(current.baudIndex)});
    }
    return targets;
}

QString Seconds(qint64 ms)
{
    return QStringLiteral("%1 s").arg(double(ms) / 1000.0, 0, 'f', 1);
}

bool Differs(const RegisterCommandRequest& request, const RegisterRunEnd& end)
{
    return request.kind == RegisterCommandKind::Compare && end.result.Succeeded()
           && !end.result.differences.empty();
}

// "Till 2 (COM4): failed in 8.1 s: Download:PLU...Error!"
QString EndLine(const RegisterTarget& target, const RegisterCommandRequest& request, const RegisterRunEnd& end)
{
    using Outcome = TransferResult::Outcome;
    const TransferResult& result = end.result.result;
    QString outcome;
    switch (result.outcome) {
    case Outcome::Done:
        outcome = Differs(request, end)
                      ? QStringLiteral("differs (%1 differences)").arg(end.result.differences.size())
                      : QStringLiteral("done");
        break;
    case Outcome::PortNotOpened:
        outcome = QStringLiteral("port not opened");
        break;
    case Outcome::Failed:
        outcome = QStringLiteral("failed");
        break;
    case Outcome::Cancelled:
        outcome = QStringLiteral("cancelled");
        break;
    case Outcome::Refused:
        outcome = QStringLiteral("refused");
        break;
    }
    QString line = QStringLiteral("%1 (%2): %3 in %4").arg(target.name, target.port, outcome, Seconds(end.elapsedMs));
    if (!result.Succeeded() && !result.message.isEmpty())
        line += QStringLiteral(": ") + result.message;
    return line;
}

// Progress of each register on standard error, a line per tenth of a step.
class SeveralProgress
{
public:
    explicit SeveralProgress(const SeveralRegisters& run) : m_run(run) {}

    void Step(int index, const QString& text) { PrintLine(stderr, Prefix(index) + text); }
    void Package(int index, int current, int total)
    {
        if (total <= 0 || current <= 0)
            return;
        const int tenth = int(qint64(current) * 10 / total);
        m_tenths.resize(m_run.Targets().size(), -1);
        int& last = m_tenths[std::size_t(index)];
        if (tenth == last && current != 1)
            return;
        last = tenth;
        PrintLine(stderr, Prefix(index) + QStringLiteral("package %1 of %2").arg(current).arg(total));
    }
    void Notice(int index, const QString& text, bool warning)
    {
        if (warning)
            ExitStatus::PrintError(QStringLiteral("warning: ") + Prefix(index) + text);
        else
            PrintLine(stderr, Prefix(index) + text);
    }

private:
    QString Prefix(int index) const
    {
        return QStringLiteral("[%1] ").arg(m_run.Targets()[std::size_t(index)].name);
    }

    const SeveralRegisters& m_run;
    std::vector<int> m_tenths;
};

RegisterCommandKind KindOf(const CliOptions& options)
{
    return options.command == CliOptions::Command::Compare ? RegisterCommandKind::Compare
                                                           : RegisterCommandKind::Download;
}

} // namespace

bool PortNamedBefore(const QStringList& ports, const QString& port)
{
    for (const QString& named : ports) {
        const bool comNames = IsComName(named) && IsComName(port);
        if (named.compare(port, comNames ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0)
            return true;
    }
    return false;
}

bool NamesSeveralRegisters(const CliOptions& options)
{
    return options.ports.size() > 1 || !options.registerNames.isEmpty() || options.allRegisters;
}

QString RegistersProblem(const CliOptions& options)
{
    using Command = CliOptions::Command;
    if (!NamesSeveralRegisters(options))
        return {};
    if (options.command == Command::Upload)
        return QStringLiteral("upload reads one register into the document: give it one --port, "
                              "not several registers");
    if (options.command != Command::Download && options.command != Command::Compare)
        return QStringLiteral("only download and compare take several ports");
    return {};
}

int RunOnSeveralRegisters(const CliOptions& options)
{
    const QString settingsPath = UseSettingsFile(options.settings);
    const Targets targets = TargetsOf(options, settingsPath);
    RegisterCommandRequest request;
    request.kind = KindOf(options);
    if (QString problem = targets.problem.isEmpty() ? SeveralRegisters::Problem(request.kind, targets.list)
                                                    : targets.problem;
        !problem.isEmpty()) {
        ExitStatus::PrintError(problem);
        return ExitStatus::kUsage;
    }

    const QString documentPath = FileArguments::AbsolutePath(options.file);
    CliDocument shop;
    if (const QString problem = shop.Prepare(request.kind, options, documentPath, settingsPath); !problem.isEmpty()) {
        ExitStatus::PrintError(problem);
        return ExitStatus::kFailed;
    }
    request.transfer.selection = options.tables;
    request.transfer.range = options.range;
    request.changesOnly = options.changesOnly;
    request.verify = options.verify;
    if (request.changesOnly)
        PrintLine(stderr, KeyboardChangesNotice());

    RegisterLinkOptions link;
    link.retryInterval = options.retryInterval;
    link.retryCount = options.retryCount;
    link.sendEmptyDepartments = options.tablesGiven && (options.tables & TableBit(TransferTable::Department)) != 0;

    SeveralRegisters run;
    SeveralProgress progress(run);
    QObject::connect(&run, &SeveralRegisters::StepShown, [&progress](int i, const QString& text) {
        progress.Step(i, text);
    });
    QObject::connect(&run, &SeveralRegisters::PackageShown, [&progress](int i, int current, int total) {
        progress.Package(i, current, total);
    });
    QObject::connect(&run, &SeveralRegisters::NoticeShown, [&progress](int i, const QString& text, bool warning) {
        progress.Notice(i, text, warning);
    });
    QObject::connect(&run, &SeveralRegisters::RegisterEnded, [&run, &request](int i) {
        const RegisterTarget& target = run.Targets()[std::size_t(i)];
        const RegisterRunEnd& end = *run.EndOf(i);
        PrintLine(stdout, EndLine(target, request, end));
        if (!end.result.changesSummary.isEmpty())
            PrintLine(stderr, QStringLiteral("[%1] %2").arg(target.name, end.result.changesSummary));
        for (const FieldDifference& difference : end.result.differences)
            PrintLine(stdout, QStringLiteral("  ") + DifferenceLine(difference));
        if (!end.result.Succeeded() && !end.result.result.detail.isEmpty())
            ExitStatus::PrintError(QStringLiteral("%1 (%2): %3").arg(target.name, target.port, end.result.result.detail));
    });
    const InterruptNotifier interrupt([&run] { run.Cancel(); });
    if (const QString problem = run.Start(request, targets.list, shop.plu, shop.departments, settingsPath, link);
        !problem.isEmpty()) {
        ExitStatus::PrintError(problem);
        return ExitStatus::kUsage;
    }
    run.WaitFinished();

    QStringList failed;
    bool anyDiffers = false;
    for (std::size_t i = 0; i < targets.list.size(); ++i) {
        const RegisterRunEnd& end = *run.EndOf(int(i));
        if (!end.result.Succeeded())
            failed << QStringLiteral("%1 (%2)").arg(targets.list[i].name, targets.list[i].port);
        anyDiffers = anyDiffers || Differs(request, end);
    }
    if (!failed.isEmpty()) {
        ExitStatus::PrintError(QStringLiteral("%1 of %2 registers failed: %3")
                                   .arg(failed.size())
                                   .arg(targets.list.size())
                                   .arg(failed.join(QStringLiteral(", "))));
        return ExitStatus::kFailed;
    }
    return anyDiffers ? TableCommands::kDiffer : ExitStatus::kDone;
}
