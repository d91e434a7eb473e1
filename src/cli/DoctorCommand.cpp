#include "cli/DoctorCommand.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "doctor/ConnectionDoctor.h"
#include "transfer/SessionCancel.h"

#include <cstdio>

int RunDoctor(const CliOptions& options)
{
    CliSession session(options);
    // Ctrl+C ends the check as it ends a transfer.
    const SessionCancel cancel(session.Progress(), [&session] { session.Link().Abort(); });
    std::printf("Connection check of %s\n", qPrintable(session.PortName()));
    const DoctorResult result = RunConnectionDoctor(
        session.Link(), session.PortName(), DoctorPaths{},
        [](const DoctorLine& line) {
            std::printf("%s\n", DoctorLineText(line).toLocal8Bit().constData());
            std::fflush(stdout);
        },
        [&cancel] { return cancel.Requested(); });
    return result.answeredRate ? ExitStatus::kDone : ExitStatus::kFailed;
}
