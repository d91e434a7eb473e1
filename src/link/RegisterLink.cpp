#include "link/RegisterLink.h"

#include "serial/Comm.h"
#include "serial/PortResolver.h"
#include "config/AppPaths.h"
#include "config/PortMap.h"

namespace {

// The gap of quiet, in ms, that ends a received chunk: none. The link
// assembles frames from pieces itself, and any gap delays every
// acknowledgement by that much (1 ms costs a 1000-package download about 4 %
// over the time of the line itself).
constexpr quint32 kReceiveGap = 0;

} // namespace

void UsePortMapFromSettings()
{
    if (HasPortResolver())
        return;
    SetPortResolver([](const QString& commName) { return PortDevicePath(commName); });
}

std::unique_ptr<TComm> MakeLinkDevice()
{
    auto comm = std::make_unique<TComm>();
    comm->SetDtrControl(TComm::TDtrControl::DtrDisable);
    comm->SetTxContinueOnXoff(false);
    comm->SetOutx_XonXoffFlow(false);
    comm->SetIgnoreNullChar(false);
    comm->SetRtsControl(TComm::TRtsControl::RtsEnable);
    comm->SetByteSize(TComm::TByteSize::_8);
    comm->SetParity(TComm::TParity::None);
    comm->SetStopBits(TComm::TStopBits::_1);
    comm->SetReadIntervalTimeout(kReceiveGap);
    return comm;
}

void TraceBesideSettings(TQelmIBusComm& link)
{
    link.SetTracePath([] { return AppPaths::TracePath(); });
}

std::unique_ptr<TQelmIBusComm> MakeRegisterLink(QObject* parent)
{
    UsePortMapFromSettings();
    auto link = std::make_unique<TQelmIBusComm>(MakeLinkDevice(), parent);
    TraceBesideSettings(*link);
    return link;
}
