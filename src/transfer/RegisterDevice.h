#pragma once

#include <memory>

class ISerialDevice;

// A serial device (TComm) set up as the register's line needs it: 8 data bits, no
// parity, one stop bit, DTR off, RTS on, no software flow control, and a read
// interval of 1 ms so each received chunk reaches the link at once (the
// log-out waits only 100 ms for its acknowledgement). Hand it to the link
// component: TQelmIBusComm link(MakeRegisterDevice()).
std::unique_ptr<ISerialDevice> MakeRegisterDevice();
