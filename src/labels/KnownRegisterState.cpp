#include "labels/KnownRegisterState.h"
#include "model/Language.h"

#include "history/HistoryDevice.h"
#include "history/HistoryStore.h"

KnownRegisterState ReadKnownRegisterState(const QString& portName)
{
    HistoryStore store(HistoryDatabasePath(), HistoryLimits(), HistoryStore::Access::ReadOnly);
    KnownRegisterState state;
    state.known = store.KnownState(HistoryDevice(portName));
    state.problem = store.Error();
    return state;
}

QString UnknownRegisterStateText(const KnownRegisterState& state, const QString& portName)
{
    if (!state.problem.isEmpty())
        return Tr("KnownRegisterState", "Unreadable",
                  "The transfer history cannot be read (%1), so what the register at %2 holds is "
                  "not "
                  "known: choose other articles, or all.")
            .arg(state.problem, portName);
    return Tr("KnownRegisterState", "Unknown",
              "Nothing is known yet of what the register at %1 holds: download the document to it "
              "first, or choose other articles, or all.")
        .arg(portName);
}
