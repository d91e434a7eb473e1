#include "transfer/QelmIBusLink.h"

#include "link/QelmIBus.h"

void QelmIBusLink::SetCommName(const QString& name)
{
    comm_.SetCommName(name);
}

void QelmIBusLink::SetBaudRate(int index)
{
    // An index from a hand-edited settings file may lie outside the table.
    if (index >= 0 && std::size_t(index) < TQelmIBusComm::BaudTable.size())
        comm_.SetBaudRate(static_cast<TQelmIBusComm::TBaudRate>(index));
}

void QelmIBusLink::SetActive(bool active)
{
    comm_.SetActive(active);
}

bool QelmIBusLink::LogIn(quint32 accessCode, bool programLoad)
{
    return comm_.LogIn(accessCode, programLoad);
}

bool QelmIBusLink::LogOut(quint32 accessCode, bool failed)
{
    return comm_.LogOut(accessCode, failed ? 1 : 0);
}

bool QelmIBusLink::SendPacket(quint8 command, quint16 parameter)
{
    return comm_.SendPacket(command, parameter);
}

bool QelmIBusLink::RequestPacket(quint8 command, quint16 parameter)
{
    return comm_.RequestPacket(command, parameter);
}

std::span<quint8, ITransferLink::kDataBytes> QelmIBusLink::PacketData()
{
    return std::span<quint8, kDataBytes>(comm_.PacketData().data(), kDataBytes);
}

void QelmIBusLink::Abort()
{
    comm_.Abort();
}

LinkFailure QelmIBusLink::LastFailure() const
{
    return comm_.LastFailure();
}
