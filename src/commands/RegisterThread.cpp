#include "commands/RegisterThread.h"

#include "model/Language.h"
#include "link/QelmIBus.h"
#include "link/RegisterLink.h"
#include "serial/Comm.h"
#include "transfer/Progress.h"
#include "transfer/QelmIBusLink.h"

#include <QElapsedTimer>
#include <QThread>

#include <exception>

// The register's progress as signals to the run's owner. Nobody presses OK
// on a register's thread: an error is reported with the outcome.
class ThreadProgress final : public IProgress
{
public:
    explicit ThreadProgress(RegisterThreadWork& work, int index) : m_work(work), m_index(index) {}

    void Show() override
    {
        if (!m_cancelRequested)
            m_state = State::Running;
        m_total = 0;
    }
    void Close() override {}
    void ShowStatus(Mode mode, const QString& text) override
    {
        if (m_state == State::Dismissed)
            return;
        m_state = mode == Mode::Error ? State::ErrorShown : State::Running;
        if (mode == Mode::Normal)
            emit m_work.StepShown(m_index, text);
    }
    void SetMargin(int total) override
    {
        m_total = qMax(0, total);
        emit m_work.PackageShown(m_index, 0, m_total);
    }
    void SetProgress(int current) override
    {
        if (m_state != State::Dismissed && m_total > 0)
            emit m_work.PackageShown(m_index, current, m_total);
    }
    State ProgressState() const override { return m_state; }
    void WaitDismissed() override { m_state = State::Dismissed; }
    // A Cancel that came between two sessions of the command (a download and
    // its verify) holds for the next one too.
    void SetCancelHandler(std::function<void()> handler) override
    {
        m_cancel = std::move(handler);
        if (m_cancel && m_cancelRequested)
            m_cancel();
    }

    void Cancel()
    {
        m_cancelRequested = true;
        m_state = State::Dismissed;
        if (m_cancel)
            m_cancel();
    }

private:
    RegisterThreadWork& m_work;
    const int m_index;
    State m_state = State::Running;
    int m_total = 0;
    std::function<void()> m_cancel;
    bool m_cancelRequested = false;
};

namespace {

// The register's answers to the command: notices go to the owner; what an
// operator would be asked was decided before the run.
class ThreadFrontEnd final : public IRegisterCommandFrontEnd
{
public:
    ThreadFrontEnd(RegisterThreadWork& work, int index, bool sendEmptyDepartments)
        : m_work(work), m_index(index), m_sendEmptyDepartments(sendEmptyDepartments)
    {
    }

    void Notice(const QString& text) override { emit m_work.NoticeShown(m_index, text, false); }
    void Warning(const QString& text) override { emit m_work.NoticeShown(m_index, text, true); }
    bool SendEmptyDepartments() override { return m_sendEmptyDepartments; }
    // The tables changed are this thread's own copies.
    void ChangeTables(const std::function<void()>& change) override { change(); }

private:
    RegisterThreadWork& m_work;
    const int m_index;
    const bool m_sendEmptyDepartments;
};

} // namespace

RegisterThreadWork::RegisterThreadWork(Job job) : m_job(std::move(job)) {}

RegisterThreadWork::~RegisterThreadWork() = default;

void RegisterThreadWork::Run()
{
    QElapsedTimer clock;
    clock.start();
    RegisterRunEnd end;
    if (m_cancelled) {
        // Cancelled before its turn came: the port was never opened.
        end.result.result.outcome = TransferResult::Outcome::Cancelled;
        end.result.result.message = Tr("SeveralRegisters", "CancelledBeforeOpen", "Cancelled before the port was opened.");
    } else {
        // Nothing may leave this thread's event loop by an exception: what
        // the command could not catch ends the register as a failure.
        try {
            end.result = RunCommand();
        } catch (const std::exception& error) {
            end.result.result.outcome = TransferResult::Outcome::Failed;
            end.result.result.message = QString::fromLocal8Bit(error.what());
        }
    }
    end.elapsedMs = clock.elapsed();
    emit Ended(m_job.index, end);
    // The thread ends by itself, so that its owner can wait for it without
    // running an event loop (when it is being destroyed).
    thread()->quit();
}

RegisterCommandResult RegisterThreadWork::RunCommand()
{
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    m_job.plu.FillIn(plu);
    m_job.departments.FillIn(departments);

    TQelmIBusComm comm(MakeLinkDevice());
    const QString tracePath = m_job.tracePath;
    comm.SetTracePath([tracePath] { return tracePath; });
    comm.SetTraceEnabled(!tracePath.isEmpty());
    if (m_job.link.retryInterval)
        comm.SetRetryInterval(*m_job.link.retryInterval);
    if (m_job.link.retryCount)
        comm.SetRetryCount(*m_job.link.retryCount);
    QelmIBusLink link(comm);

    ThreadProgress progress(*this, m_job.index);
    ThreadFrontEnd frontEnd(*this, m_job.index, m_job.link.sendEmptyDepartments);
    RegisterCommandRequest request = m_job.request;
    request.transfer.port = m_job.target.port;
    request.transfer.baudIndex = m_job.target.baudIndex;

    m_progress = &progress;
    const RegisterCommandResult result = RegisterCommand(link, progress, frontEnd)
                                             .Run(request, TransferTables{plu, departments, m_job.settingsPath});
    m_progress = nullptr;
    return result;
}

void RegisterThreadWork::Cancel()
{
    m_cancelled = true;
    if (m_progress)
        m_progress->Cancel();
}
