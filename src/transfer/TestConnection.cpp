#include "transfer/TestConnection.h"

#include "link/QelmIBus.h"
#include "transfer/ServiceSession.h"

ServiceResult TestConnection(const ServiceContext& context)
{
    ServiceSession session(context);
    if (!session.Open())
        return session.Result();

    session.Step(context.texts.connect);
    if (session.Cancelled() || !context.link.LogIn(TQelmIBusComm::kAccessCode, false))
        return session.Fail(context.texts.connect);

    session.Step(context.texts.disconnect);
    if (!context.link.LogOut(TQelmIBusComm::kAccessCode, 0))
        return session.Fail(context.texts.disconnect);
    return session.Finish();
}
