#include "transfer/TestConnection.h"

#include "link/QelmIBus.h"
#include "model/Texts.h"
#include "transfer/ServiceSession.h"

ServiceResult TestConnection(const ServiceContext& context)
{
    ServiceSession session(context);
    if (!session.Open())
        return session.Result();

    if (!session.Connect())
        return session.Fail(Texts().ConnectText);

    session.Step(Texts().DisconnectText);
    if (!context.link.LogOut(TQelmIBusComm::kAccessCode, 0))
        return session.Fail(Texts().DisconnectText);
    return session.Finish();
}
