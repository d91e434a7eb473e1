#pragma once

#include "commands/RegisterThread.h"

#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class QThread;

// One table command on several registers at once: each register runs
// RegisterCommand on a thread of its own, with its own event loop, serial
// device, link, progress and cancel state, so a register that fails or falls
// silent holds up none of the others. The owner's thread only hears of them
// through queued signals. The history store is the one thing they share;
// each transfer goes into it under its own device, so a changes-only
// download keeps a baseline per register.
class SeveralRegisters : public QObject
{
    Q_OBJECT

public:
    explicit SeveralRegisters(QObject* parent = nullptr);
    // A run still going is cancelled and its threads are waited for.
    ~SeveralRegisters() override;

    // Why these registers cannot take the command together: none chosen, an
    // upload of more than one, a port named twice, or two ports that lead to
    // the same device. Empty when they can. Nothing is sent in any case.
    static QString Problem(RegisterCommandKind kind, const std::vector<RegisterTarget>& targets);

    // Starts the command (port and rate of each target replace the
    // request's) on copies of the tables; returns Problem() and starts
    // nothing when there is one. The link trace of each register goes to
    // its own file beside the settings file (TracePathOf).
    QString Start(const RegisterCommandRequest& request, const std::vector<RegisterTarget>& targets,
                  const TextTable& plu, const TextTable& departments, const QString& settingsPath,
                  const RegisterLinkOptions& link);

    // Every register still running ends through its normal log-out.
    void Cancel();
    bool IsRunning() const { return m_running > 0; }
    // Runs the event loop until every register has ended.
    void WaitFinished();

    const std::vector<RegisterTarget>& Targets() const { return m_targets; }
    // How the register ended; nothing while it runs.
    const std::optional<RegisterRunEnd>& EndOf(int index) const;

    // DEBUG-<name>.LOG beside DEBUG.LOG, the name made safe for a file name
    // and unique among the targets.
    static std::vector<QString> TracePathsOf(const std::vector<RegisterTarget>& targets);

signals:
    void StepShown(int index, const QString& text);
    void PackageShown(int index, int current, int total);
    void NoticeShown(int index, const QString& text, bool warning);
    // The register's end is in EndOf(index).
    void RegisterEnded(int index);
    void Finished();

private:
    void OnEnded(int index, const RegisterRunEnd& end);
    void StopThreads();

    struct Runner;
    std::vector<RegisterTarget> m_targets;
    std::vector<std::unique_ptr<Runner>> m_runners;
    std::vector<std::optional<RegisterRunEnd>> m_ends;
    int m_running = 0;
};
