#pragma once

#include <stdexcept>
#include <string>

// Raised by opening a serial port; carries one of the fixed texts
// ("Error opening serial port", "File handle is not a comm handle ", ...).
class ECommsError : public std::runtime_error
{
public:
    explicit ECommsError(const std::string& message) : std::runtime_error(message) {}
};
