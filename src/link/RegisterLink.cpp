#include "link/RegisterLink.h"

#include "serial/Comm.h"
#include "serial/PortResolver.h"
#include "settings/PortMap.h"

void UsePortMapFromSettings()
{
    SetPortResolver([](const QString& commName) { return PortDevicePath(commName); });
}

std::unique_ptr<TQelmIBusComm> MakeRegisterLink(QObject* parent)
{
    UsePortMapFromSettings();
    return std::make_unique<TQelmIBusComm>(std::make_unique<TComm>(), parent);
}
