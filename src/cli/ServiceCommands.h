#pragma once

#include "cli/CliOptions.h"

// plu-cli's service commands, run as the main window runs them, with the
// operator's choices taken from the command line. Each returns the exit status.

// test: log in and out.
int RunConnectionTest(const CliOptions& options);

// dump: reads a memory area or a run of blocks; the listing, written in the
// program folder, is then moved to options.file and its path printed on
// standard output. Nothing is left at options.file when the dump fails.
int RunMemoryDump(const CliOptions& options);

// program: sends an image from options.firstBlock on, else from [Address]
// Update of the run's settings file.
int RunProgramDownload(const CliOptions& options);

// font: sends a font file.
int RunFontDownload(const CliOptions& options);
