#pragma once

#include "link/LinkFailure.h"

#include <QString>
#include <QtGlobal>

#include <span>

// The register link as the transfer procedures and drivers use it. The real
// one forwards to the link component (TQelmIBusComm); tests may script it.
class ITransferLink
{
public:
    static constexpr std::size_t kDataBytes = 256;
    // Sent with every log-in and log-out of a table transfer.
    static constexpr quint32 kAccessCode = 7350;

    virtual ~ITransferLink() = default;

    virtual void SetCommName(const QString& name) = 0;
    // Index into the line rates 9600, 19200, 38400, 57600, 115200.
    virtual void SetBaudRate(int index) = 0;
    // Opening throws ECommsError after the link has told the operator.
    virtual void SetActive(bool active) = 0;

    virtual bool LogIn(quint32 accessCode, bool programLoad) = 0;
    virtual bool LogOut(quint32 accessCode, bool failed) = 0;

    // Both exchange the 256-byte data area: SendPacket sends what it holds,
    // RequestPacket sends it as it is and leaves the reply's data in it.
    virtual bool SendPacket(quint8 command, quint16 parameter) = 0;
    virtual bool RequestPacket(quint8 command, quint16 parameter) = 0;
    virtual std::span<quint8, kDataBytes> PacketData() = 0;

    // Ends the wait in progress as failed (the operator's Cancel).
    virtual void Abort() = 0;

    // Why the last log-in, package or request failed (see TQelmIBusComm);
    // a link that cannot tell says nothing.
    virtual LinkFailure LastFailure() const { return {}; }
};
