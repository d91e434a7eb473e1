#pragma once

#include "model/Language.h"
#include "transfer/MemoryRange.h"
#include "transfer/ServiceContext.h"

#include <QString>

#include <functional>
#include <optional>

// The memory range dialog as the dump sees it.
class IMemoryRangeDialog
{
public:
    virtual ~IMemoryRangeDialog() = default;
    // Shows the dialog with the given title. Nothing when the operator
    // cancelled, or when the texts did not give a range (the dialog beeped;
    // see MemoryRangeInput::Parse).
    virtual std::optional<MemoryRangeChoice> Run(const QString& title) = 0;
};

// Shows a finished listing: the gui starts the external text viewer without
// waiting for it; plu-cli prints the path.
using ListingViewer = std::function<void(const QString& path)>;

namespace MemoryDumpTexts {
inline QString DialogTitle() { return Tr("DataDlg", "Caption", "Upload data range"); }
inline QString ReceiveData() { return Tr("MemoryDump", "ReceiveData", "Receive Data"); }
} // namespace MemoryDumpTexts

// Reads one of the register's memories block by block into ROM_TEMP.BIN,
// RAM_TEMP.BIN, FISCAL_TEMP.BIN or (a chosen run) TEMP.BIN in the program
// folder, then replaces the file's content with the hexadecimal listing of
// MemoryListing and hands the file to the viewer.
//
// Each block is requested with RequestPacket(14, 16), data bytes 0..1 the
// block number (low byte first), byte 2 the area code x 16, the rest 0.
// The file is emptied first and each block is written to it in binary as it
// arrives; a failed request (or Cancel) leaves the blocks received so far
// there, sends one log-out with the failure flag and shows "Receive
// Data...Error!". The listing replaces the binary only after the final
// log-out, so no listing is ever made of part of a dump.
//
// A choice that is not valid (MemoryRanges::IsValid) is refused with a beep
// and nothing is sent. A dump file that cannot be created or written ends the
// dump like a failed request, with "Unable to create <file>" or "Unable to
// write to <file>" as the error status; a listing that cannot be written
// shows "Unable to write to <file>" after the port was closed and keeps the
// binary blocks in the file.
ServiceResult DumpMemory(const ServiceContext& context, IMemoryRangeDialog& dialog, const ListingViewer& viewer);
