#pragma once

#include "commands/RegisterCommand.h"
#include "commands/TableCells.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <optional>

// One register of a run on several registers.
struct RegisterTarget
{
    QString name; // the operator's name for it; the port when it has none
    QString port; // COMn or a device path, as the link takes it
    int baudIndex = 0;
};

// How every register's link of a run waits and what the run decided for all
// of them beforehand (no register's thread asks the operator anything).
struct RegisterLinkOptions
{
    std::optional<int> retryInterval; // ms; the link's own default otherwise
    std::optional<int> retryCount;
    bool sendEmptyDepartments = false;
};

// How one register's command ended.
struct RegisterRunEnd
{
    RegisterCommandResult result;
    qint64 elapsedMs = 0;
};
Q_DECLARE_METATYPE(RegisterRunEnd)

class ThreadProgress;

// The command of one register, run on the register's own thread: it makes
// the serial device, the link and its own copy of the document's tables
// there, runs RegisterCommand once and reports through queued signals only.
// Nothing of it is touched by another thread but through Cancel(), which is
// queued onto its thread; the link's waits run that thread's event loop, so
// a Cancel reaches the session's own cancel state at its next wait.
class RegisterThreadWork : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        int index = 0;
        RegisterTarget target;
        RegisterCommandRequest request;
        TableCells plu;
        TableCells departments;
        QString settingsPath;
        QString tracePath;
        RegisterLinkOptions link;
    };

    explicit RegisterThreadWork(Job job);
    ~RegisterThreadWork() override;

    // Both on the work's own thread.
    void Run();
    void Cancel();

signals:
    void StepShown(int index, const QString& text);
    void PackageShown(int index, int current, int total);
    void NoticeShown(int index, const QString& text, bool warning);
    void Ended(int index, const RegisterRunEnd& end);

private:
    RegisterCommandResult RunCommand();

    Job m_job;
    ThreadProgress* m_progress = nullptr;
    bool m_cancelled = false;
};
