#include "cli/CliSession.h"

#include "cli/PortSettings.h"
#include "link/RegisterLink.h"
#include "serial/Comm.h"
#include "transfer/TransferRequest.h"

#include <unistd.h>

CliSession::CliSession(const CliOptions& options)
    : settingsPath_(UseSettingsFile(options.settings)),
      link_(MakeLinkDevice()),
      progress_(stderr, ::isatty(STDERR_FILENO) == 1),
      interrupt_([this] { progress_.Cancel(); })
{
    const PortSettings port = ReadPortSettings(settingsPath_);
    portName_ = options.port.value_or(PortNameFor(port.number));
    baudIndex_ = options.baudIndex.value_or(port.baudIndex);

    link_.SetMessageBox(&messages_);
    TraceBesideSettings(link_);
    link_.SetTraceEnabled(true);
    link_.SetRetryInterval(options.retryInterval);
    link_.SetRetryCount(options.retryCount);
    clock_.start();
}
