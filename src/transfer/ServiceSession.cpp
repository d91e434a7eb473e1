#include "transfer/ServiceSession.h"

#include "link/QelmIBus.h"
#include "model/Texts.h"
#include "serial/CommsError.h"
#include "transfer/Progress.h"
#include "transfer/StepStatus.h"

#include <exception>

ServicePort ServicePort::FromNumber(int portNumber, int baudIndex)
{
    return {QStringLiteral("COM") + QString::number(portNumber), baudIndex};
}

ServiceSession::ServiceSession(const ServiceContext& context) : m_context(context) {}

ServiceSession::~ServiceSession()
{
    try {
        ClosePort();
    } catch (const std::exception&) {
    }
}

bool ServiceSession::Open()
{
    TQelmIBusComm& link = m_context.link;
    link.SetCommName(m_context.port.name);
    // A hand-edited settings file may hold an index outside the table.
    if (m_context.port.baudIndex >= 0
        && std::size_t(m_context.port.baudIndex) < TQelmIBusComm::BaudTable.size())
        link.SetBaudRate(static_cast<TQelmIBusComm::TBaudRate>(m_context.port.baudIndex));
    try {
        link.SetActive(true);
    } catch (const ECommsError& error) {
        m_result.outcome = ServiceResult::Outcome::PortNotOpened;
        m_result.message = QString::fromLocal8Bit(error.what());
        m_result.cause.kind = FailureCause::Kind::PortUnavailable;
        m_result.cause.reason = QString::fromStdString(error.Reason());
        return false;
    }
    m_open = true;
    m_cancel.emplace(m_context.progress, [&link] { link.Abort(); });
    m_context.progress.Show();
    m_context.progress.SetLineRate(int(TQelmIBusComm::BaudTable[std::size_t(link.BaudRate())]));
    return true;
}

void ServiceSession::Step(const QString& text)
{
    m_context.progress.ShowStatus(IProgress::Mode::Normal, StepRunningText(text));
}

bool ServiceSession::Connect(bool programLoad)
{
    Step(Texts().ConnectText);
    return !Cancelled() && m_context.link.LogIn(TQelmIBusComm::kAccessCode, programLoad);
}

bool ServiceSession::Cancelled() const
{
    return m_cancel && m_cancel->Requested();
}

QString ServiceSession::ErrorText(const QString& stepText)
{
    return StepErrorText(stepText);
}

ServiceResult ServiceSession::Fail(const QString& stepText)
{
    return FailWith(ErrorText(stepText));
}

ServiceResult ServiceSession::FailWith(const QString& errorText)
{
    const bool cancelled = Cancelled();
    const FailureCause cause = cancelled ? FailureCause() : FailureCause::FromLink(m_context.link.LastFailure());
    m_context.progress.ShowStatus(IProgress::Mode::Error, errorText);
    if (!CauseText(cause).isEmpty())
        m_context.progress.ShowCause(CauseText(cause));
    m_context.progress.WaitDismissed();
    ClosePort();
    m_result.outcome = cancelled ? ServiceResult::Outcome::Cancelled : ServiceResult::Outcome::Failed;
    m_result.message = errorText;
    m_result.cause = cause;
    return m_result;
}

ServiceResult ServiceSession::Finish()
{
    m_context.progress.Close();
    ClosePort();
    m_result.outcome = ServiceResult::Outcome::Done;
    return m_result;
}

void ServiceSession::ClosePort()
{
    if (!m_open)
        return;
    m_open = false;
    try {
        // Closing also writes the link trace, which may fail.
        m_context.link.SetActive(false);
    } catch (const std::exception& error) {
        m_result.detail = QString::fromLocal8Bit(error.what());
    }
}
