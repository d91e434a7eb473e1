#pragma once

#include "transfer/ServiceContext.h"
#include "transfer/SessionCancel.h"

#include <QString>

#include <optional>

// One run of a service function on the link, from opening the port to
// closing it. It opens the port, shows the progress window with its Cancel
// setting the session's cancel state (which aborts the link's wait), and
// closes the port on every way out, exceptions included.
class ServiceSession
{
public:
    explicit ServiceSession(const ServiceContext& context);
    ~ServiceSession();

    ServiceSession(const ServiceSession&) = delete;
    ServiceSession& operator=(const ServiceSession&) = delete;

    // Sets the port name and rate and opens the port. On failure the link has
    // shown its message and Result() says PortNotOpened. On success the
    // progress window is shown.
    bool Open();

    // A status in normal mode, "..." appended.
    void Step(const QString& text);
    // True once the operator pressed Cancel: no further step may run, since
    // the link starts every operation with a cleared abort flag.
    bool Cancelled() const;
    // The Connect step: logs in (for a program load, or for a transfer).
    // False after Cancel or a failed log-in; the caller then fails the step.
    bool Connect(bool programLoad = false);

    // Ends with text + "...Error!" in error mode (dropped after Cancel),
    // waits for the operator, closes the port.
    ServiceResult Fail(const QString& stepText);
    // The same with a text shown as it is ("Unable to create ...").
    ServiceResult FailWith(const QString& errorText);
    // Closes the progress window and the port.
    ServiceResult Finish();
    // Closes the port, keeping the window up (the caller has a last step
    // that needs no link).
    void ClosePort();

    // The outcome so far: PortNotOpened after a failed Open, otherwise what
    // the closing of the port added (a trace that could not be written).
    const ServiceResult& Result() const { return m_result; }

    static QString ErrorText(const QString& stepText);

private:
    const ServiceContext& m_context;
    ServiceResult m_result;
    bool m_open = false;
    std::optional<SessionCancel> m_cancel;
};
