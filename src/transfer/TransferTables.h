#pragma once

#include <QString>

class TextTable;

// Where a transfer reads and writes: the two table models of the document and
// the settings file that holds the parameter set.
struct TransferTables
{
    TextTable& plu;
    TextTable& departments;
    QString settingsPath;
};
