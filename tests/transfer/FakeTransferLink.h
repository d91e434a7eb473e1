#pragma once

#include "serial/CommsError.h"
#include "transfer/TransferLink.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

// A register scripted in the test: records every call in order, keeps a copy
// of each package sent, answers requests through a handler and fails the
// exchanges a test asks it to fail.
class FakeTransferLink final : public ITransferLink
{
public:
    using Data = std::array<quint8, kDataBytes>;
    struct Exchange
    {
        bool request = false;
        quint8 command = 0;
        quint16 parameter = 0;
        Data data{};   // what went out
    };
    // Fills the reply of a request; false makes the request fail.
    using Answer = std::function<bool(quint8 command, quint16 parameter, Data& data)>;
    // Called before each exchange with its number (from 1); a test may press
    // Cancel here, which fails that exchange like the real link's wait.
    using Hook = std::function<void(int exchange)>;

    bool openFails = false;
    bool logInFails = false;
    int failExchange = 0;       // exchange number that fails (0: none)
    Answer answer;
    Hook beforeExchange;
    // What the link says of its last failure.
    LinkFailure failure;

    QStringList calls;
    std::vector<Exchange> exchanges;
    int logOutsFailed = 0;
    int logOutsNormal = 0;
    bool active = false;

    void SetCommName(const QString& name) override { calls << QStringLiteral("CommName ") + name; }
    void SetBaudRate(int index) override { calls << QStringLiteral("BaudRate %1").arg(index); }
    void SetActive(bool on) override
    {
        calls << QStringLiteral("Active %1").arg(on);
        if (on && openFails)
            throw ECommsError("Error opening serial port");
        active = on;
    }
    bool LogIn(quint32 code, bool programLoad) override
    {
        calls << QStringLiteral("LogIn %1 %2").arg(code).arg(programLoad);
        return !logInFails;
    }
    bool LogOut(quint32 code, bool failed) override
    {
        calls << QStringLiteral("LogOut %1 %2").arg(code).arg(failed);
        ++(failed ? logOutsFailed : logOutsNormal);
        return true;
    }
    bool SendPacket(quint8 command, quint16 parameter) override
    {
        return Run(false, command, parameter);
    }
    bool RequestPacket(quint8 command, quint16 parameter) override
    {
        return Run(true, command, parameter);
    }
    std::span<quint8, kDataBytes> PacketData() override { return packetData_; }
    LinkFailure LastFailure() const override { return failure; }
    void Abort() override
    {
        calls << QStringLiteral("Abort");
        aborted_ = true;
    }

    std::vector<Exchange> Sent(quint8 command) const { return Filter(false, command); }
    std::vector<Exchange> Requested(quint8 command) const { return Filter(true, command); }

private:
    bool Run(bool request, quint8 command, quint16 parameter)
    {
        calls << QStringLiteral("%1 %2 %3").arg(request ? "Request" : "Send").arg(command).arg(parameter);
        exchanges.push_back({request, command, parameter, packetData_});
        aborted_ = false;
        if (beforeExchange)
            beforeExchange(int(exchanges.size()));
        if (aborted_ || int(exchanges.size()) == failExchange)
            return false;
        if (request && answer)
            return answer(command, parameter, packetData_);
        return true;
    }

    std::vector<Exchange> Filter(bool request, quint8 command) const
    {
        std::vector<Exchange> found;
        for (const Exchange& e : exchanges) {
            if (e.request == request && e.command == command)
                found.push_back(e);
        }
        return found;
    }

    Data packetData_{};
    bool aborted_ = false;
};
