#include "transfer/SessionCancel.h"

#include "transfer/Progress.h"

SessionCancel::SessionCancel(IProgress& progress, std::function<void()> abortWait)
    : m_progress(progress), m_abortWait(std::move(abortWait))
{
    m_progress.SetCancelHandler([this] {
        m_requested = true;
        if (m_abortWait)
            m_abortWait();
    });
}

SessionCancel::~SessionCancel()
{
    m_progress.SetCancelHandler({});
}
