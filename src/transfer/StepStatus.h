#pragma once

#include "model/Language.h"

#include <QString>

// The status line of the progress window: a step while it runs ("Connect...")
// and the step that failed ("Connect...Error!"). Both transfers and service
// commands word it here.
inline QString StepRunningText(const QString& step)
{
    return Tr("StepStatus", "Running", "%1...").arg(step);
}

inline QString StepErrorText(const QString& step)
{
    return Tr("StepStatus", "Failed", "%1...Error!").arg(step);
}
