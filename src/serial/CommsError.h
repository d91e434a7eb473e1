#pragma once

#include <stdexcept>
#include <string>
#include <utility>

// Raised by opening a serial port; carries one of the fixed texts
// ("Error opening serial port", "File handle is not a comm handle ", ...)
// and, when the system said why, the reason in words for the operator
// ("/dev/ttyS2 does not exist.").
class ECommsError : public std::runtime_error
{
public:
    explicit ECommsError(const std::string& message, std::string reason = {})
        : std::runtime_error(message), m_reason(std::move(reason))
    {
    }

    const std::string& Reason() const { return m_reason; }

private:
    std::string m_reason;
};
