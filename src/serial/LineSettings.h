#pragma once

#include <QObject>

// The line parameters and time-outs that the serial device publishes. The
// platform binding turns them into the host's own line-settings record.
namespace SerialLine {
Q_NAMESPACE

enum class TDtrControl
{
    DtrEnable,
    DtrDisable,
    DtrHandshake
};
Q_ENUM_NS(TDtrControl)

enum class TRtsControl
{
    RtsEnable,
    RtsDisable,
    RtsHandshake,
    RtsTransmissionAvailable
};
Q_ENUM_NS(TRtsControl)

// Data bits: position + 5.
enum class TByteSize
{
    _5,
    _6,
    _7,
    _8
};
Q_ENUM_NS(TByteSize)

enum class TParity
{
    None,
    Odd,
    Even,
    Mark,
    Space
};
Q_ENUM_NS(TParity)

enum class TStopBits
{
    _1,
    _1_5,
    _2
};
Q_ENUM_NS(TStopBits)

struct TLineSettings
{
    quint32 baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    TDtrControl dtrControl = TDtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    TRtsControl rtsControl = TRtsControl::RtsEnable;
    quint16 xonLimit = 500;
    quint16 xoffLimit = 500;
    TByteSize byteSize = TByteSize::_8;
    TParity parity = TParity::None;
    TStopBits stopBits = TStopBits::_1;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char replacedChar = 0x00;
};

// Milliseconds. The read interval is the quiet gap that ends a received
// chunk; a total limit of 0 means none.
struct TTimeouts
{
    quint32 readIntervalTimeout = 100;
    quint32 readTotalTimeoutMultiplier = 0;
    quint32 readTotalTimeoutConstant = 0;
    quint32 writeTotalTimeoutMultiplier = 0;
    quint32 writeTotalTimeoutConstant = 0;
};

} // namespace SerialLine
