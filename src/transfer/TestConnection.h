#pragma once

#include "transfer/ServiceContext.h"

// Checks that a register answers on the configured port and rate: logs in and
// out and transfers nothing else. A working register shows the progress
// window briefly and closes it; a silent one leaves Connect...Error! until the
// operator presses OK, and gets no log-out. The port is closed in every
// outcome, which also writes the link trace.
ServiceResult TestConnection(const ServiceContext& context);
