#pragma once

#include "link/QelmIBus.h"

#include <memory>

class TComm;

// The production link: a TQelmIBusComm on a real serial device whose port
// names ("COM1".."COM4") resolve through section "Ports" of SYSTEM.CFG.
std::unique_ptr<TQelmIBusComm> MakeRegisterLink(QObject* parent = nullptr);

// The serial device set up the way the link uses the line: 8 data bits, no
// parity, one stop bit, no XON/XOFF on output, DTR off, RTS on, null bytes
// kept, and received bytes handed on as soon as no more are waiting (so an
// answer reaches the link the moment it is complete).
std::unique_ptr<TComm> MakeLinkDevice();

// Makes the link write its trace to DEBUG.LOG beside the run's settings file.
void TraceBesideSettings(TQelmIBusComm& link);

// Makes every TComm of the run resolve "COMn" through SYSTEM.CFG, unless the
// program has already put its own resolver in place (the main window's
// --port-map, a test): that one stays. MakeRegisterLink calls it too.
void UsePortMapFromSettings();
