#pragma once

#include "link/QelmIBus.h"

#include <memory>

// The production link: a TQelmIBusComm on a real serial device whose port
// names ("COM1".."COM4") resolve through section "Ports" of SYSTEM.CFG.
std::unique_ptr<TQelmIBusComm> MakeRegisterLink(QObject* parent = nullptr);

// Makes every TComm of the run resolve "COMn" through SYSTEM.CFG. Called once
// at start-up by the programs; MakeRegisterLink calls it too.
void UsePortMapFromSettings();
