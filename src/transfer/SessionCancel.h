#pragma once

#include <functional>

class IProgress;

// Whether the operator asked the running session to stop. A session is one
// run on the link from opening the port to closing it: a table transfer, a
// compare, a service function. Each has exactly one of these, and both front
// ends set it the same way: through the Cancel of the progress they show (the
// progress window's button, plu-cli's Ctrl+C), which also ends the link's wait
// in progress. The session reads it between its steps; once it is set, nothing
// more goes to the register but the closing the session's failure path sends.
class SessionCancel
{
public:
    // Hooks the progress's Cancel to this session until it ends.
    SessionCancel(IProgress& progress, std::function<void()> abortWait);
    ~SessionCancel();

    SessionCancel(const SessionCancel&) = delete;
    SessionCancel& operator=(const SessionCancel&) = delete;

    bool Requested() const { return m_requested; }

private:
    IProgress& m_progress;
    std::function<void()> m_abortWait;
    bool m_requested = false;
};
