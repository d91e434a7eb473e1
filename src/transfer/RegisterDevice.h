#pragma once

#include <memory>

class ISerialDevice;

// A serial device (TComm) set up as the register's line needs it: 8 data bits, no
// parity, one stop bit, DTR off, RTS on, no software flow control, and no read
// interval: received bytes reach the link as soon as no more are waiting. The
// device's default interval (100 ms) would hold back every acknowledgement
// past the log-out's 100 ms wait, and even 1 ms per acknowledgement costs a
// 1000-package download about 4 % over the time the line itself needs. Hand
// it to the link component: TQelmIBusComm link(MakeRegisterDevice()).
std::unique_ptr<ISerialDevice> MakeRegisterDevice();
