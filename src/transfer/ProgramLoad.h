#pragma once

#include "model/Language.h"
#include "transfer/ServiceContext.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// The operator's choice of a file to send. The gui shows an open dialog
// (starting in the working directory, the file must exist); plu-cli takes the
// name from its command line; tests answer directly.
struct OpenFileFilter
{
    QString description;   // "Binary Files"
    QString pattern;       // "*.hex"
    QString defaultSuffix; // "hex"
};

class IOpenFileChooser
{
public:
    virtual ~IOpenFileChooser() = default;
    // The full path of the chosen file; empty when cancelled.
    virtual QString ChooseOpenFile(const OpenFileFilter& filter) = 0;
};

namespace ProgramLoadTexts {
inline QString NotValidFile() { return Tr("ProgramLoad", "NotValidFile", "Not a valid file!"); }
inline QString WaitOneSecond() { return Tr("ProgramLoad", "WaitOneSecond", "Wait 1 second"); }
inline QString DownloadProgram() { return Tr("ProgramLoad", "DownloadProgram", "Download Program"); }
inline QString DownloadFont() { return Tr("ProgramLoad", "DownloadFont", "Download font"); }
} // namespace ProgramLoadTexts

// A program image: raw bytes in whole 256-byte blocks, sent unchanged.
struct ProgramImage
{
    static constexpr int kBlockBytes = 256;
    // Block numbers travel as 16-bit values.
    static constexpr int kMaxBlocks = 65536;

    QByteArray bytes;

    int Blocks() const { return int(bytes.size() / kBlockBytes); }
    // The value the start command carries: bytes size-4 and size-3, low first.
    quint16 StartValue() const;
    // The sum of all bytes modulo 65536, carried by the end command.
    quint16 Checksum() const;

    // Nothing unless the size is a whole, non-zero number of blocks and at
    // most kMaxBlocks of them.
    static std::optional<ProgramImage> FromBytes(QByteArray bytes);
};

OpenFileFilter ProgramImageFiles();
OpenFileFilter FontFiles();

// Replaces the register's program with an image file. firstBlock is the
// number of the first block sent ([Address] Update, 16 by default; below 0
// counts as 0): the blocks before it stay out.
//
// An image without a block at or after firstBlock, an image that is empty, not a whole number of 256-byte blocks, or beyond
// 65536 blocks is refused with a beep and "Not a valid file!" before the port
// is touched. The sequence: "Wait 1 second..." and the wake-up pattern twice,
// Connect... and a log-in for a program load, the start command with the
// image's start value, the wake-up pattern once, "Download Program..." and the
// blocks as SendPacket(15, block number), Disconnect... and the end command
// with the checksum. No path sends a log-out, and only a load whose every
// block was acknowledged gets the end command. Cancel ends silently; every
// failure shows its step's error status and waits for OK; the port is closed
// on every way out.
ServiceResult DownloadProgram(const ServiceContext& context, IOpenFileChooser& chooser, qint32 firstBlock);

// Loads a font file of any length: log-in, the file in 256-byte packages as
// SendPacket(2, i) ("Download font..."), log-out. The last package carries
// only the remaining bytes; the rest of its data area keeps what the package
// before left there. A failed log-in or package shows its error status and
// sends no log-out. Empty files and files beyond 65536 packages are refused
// with "Not a valid file!".
ServiceResult DownloadFont(const ServiceContext& context, IOpenFileChooser& chooser);
