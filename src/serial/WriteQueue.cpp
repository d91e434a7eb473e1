#include "serial/WriteQueue.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

TWriteQueue::TWriteQueue() : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_wakeFd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TWriteQueue::~TWriteQueue()
{
    ::close(m_wakeFd);
}

bool TWriteQueue::Push(QByteArray block)
{
    const std::lock_guard lock(m_mutex);
    if (m_closed)
        return false;
    m_blocks.push_back(std::move(block));
    const std::uint64_t one = 1;
    return ::write(m_wakeFd, &one, sizeof one) == sizeof one;
}

std::optional<QByteArray> TWriteQueue::TryPop()
{
    const std::lock_guard lock(m_mutex);
    if (m_blocks.empty()) {
        // Under the lock, so a block pushed meanwhile cannot lose its wake-up.
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(m_wakeFd, &count, sizeof count);
        m_lineBusy = false;
        return std::nullopt;
    }
    m_lineBusy = true;
    QByteArray block = std::move(m_blocks.front());
    m_blocks.pop_front();
    return block;
}

bool TWriteQueue::ClaimIdleLine()
{
    const std::lock_guard lock(m_mutex);
    if (m_closed || m_lineBusy || !m_blocks.empty())
        return false;
    m_lineBusy = true;
    return true;
}

void TWriteQueue::Close()
{
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    m_blocks.clear();
}
