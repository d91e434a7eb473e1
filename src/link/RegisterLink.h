#pragma once

#include "link/QelmIBus.h"

#include <memory>

class TComm;

// The production link: a TQelmIBusComm on a real serial device whose port
// names ("COM1".."COM4") resolve through section "Ports" of SYSTEM.CFG.
std::unique_ptr<TQelmIBusComm> MakeRegisterLink(QObject* parent = nullptr);

// The serial device set up the way the link uses the line: 8 data bits, no
// parity, one stop bit, no XON/XOFF on output, DTR off, RTS on, null bytes
// kept, and a received chunk ends after 1 ms without a byte (so an answer
// reaches the link as soon as it is complete).
std::unique_ptr<TComm> MakeLinkDevice();

// Makes every TComm of the run resolve "COMn" through SYSTEM.CFG. Called once
// at start-up by the programs; MakeRegisterLink calls it too.
void UsePortMapFromSettings();
