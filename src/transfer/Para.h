#pragma once

#include "transfer/ParameterBlock.h"

#include <QString>

class ITransferLink;
class IProgress;

// The parameter set's transfers, run by the download and upload drivers as the
// table "parameter" while the register is logged in. SYSTEM.CFG (section
// "Default") is the set's only store. Neither touches the progress counters.

// Sends the block built from the settings file as two packages (command 1).
// Package 1 goes out even when package 0 was not acknowledged, unless the
// operator cancelled. True when both were acknowledged.
bool DownloadParameters(ITransferLink& link, const IProgress& progress, const QString& settingsPath);

// Requests both packages (command 5) and only then writes the set into the
// settings file; a failed request leaves the file untouched. Throws
// SettingsWriteError when the file refuses a write.
bool UploadParameters(ITransferLink& link, const QString& settingsPath);
