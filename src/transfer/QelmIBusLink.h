#pragma once

#include "transfer/TransferLink.h"

class TQelmIBusComm;

// The link component seen through ITransferLink, so the gui's link and the
// command-line front end's link run the same drivers.
class QelmIBusLink final : public ITransferLink
{
public:
    explicit QelmIBusLink(TQelmIBusComm& comm) : comm_(comm) {}

    void SetCommName(const QString& name) override;
    void SetBaudRate(int index) override;
    void SetActive(bool active) override;
    bool LogIn(quint32 accessCode, bool programLoad) override;
    bool LogOut(quint32 accessCode, bool failed) override;
    bool SendPacket(quint8 command, quint16 parameter) override;
    bool RequestPacket(quint8 command, quint16 parameter) override;
    std::span<quint8, kDataBytes> PacketData() override;
    void Abort() override;
    LinkFailure LastFailure() const override;

private:
    TQelmIBusComm& comm_;
};
