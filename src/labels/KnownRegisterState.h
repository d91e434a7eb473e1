#pragma once

#include "transfer/TableSnapshot.h"

#include <QString>

// What the register on a port was last seen with, as the transfer history
// knows it, read without writing anything.
struct KnownRegisterState
{
    TableSnapshot known;
    QString problem;  // why the history could not be read; empty when it was

    bool KnowsPLUs() const { return !known.plus.empty(); }
    // The decimals a label shows prices with: the register's when known,
    // else the two a price cell has by default.
    int PriceDecimals() const { return KnowsPLUs() ? known.priceDecimals : 2; }
};

KnownRegisterState ReadKnownRegisterState(const QString& portName);

// "Nothing is known yet of what the register at COM1 holds: ..." (or why the
// history could not be read) for a choice of changed articles without a
// known state.
QString UnknownRegisterStateText(const KnownRegisterState& state, const QString& portName);
