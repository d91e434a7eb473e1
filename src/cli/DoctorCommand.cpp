#include "cli/DoctorCommand.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "doctor/ConnectionDoctor.h"

#include <cstdio>

int RunDoctor(const CliOptions& options)
{
    CliSession session(options);
    std::printf("Connection check of %s\n", qPrintable(session.PortName()));
    const DoctorResult result =
        RunConnectionDoctor(session.Link(), session.PortName(), DoctorPaths{}, [](const DoctorLine& line) {
            std::printf("%s\n", DoctorLineText(line).toLocal8Bit().constData());
            std::fflush(stdout);
        });
    return result.answeredRate ? ExitStatus::kDone : ExitStatus::kFailed;
}
