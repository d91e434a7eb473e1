#pragma once

#include "model/TextTable.h"

#include <QString>

#include <optional>

// The operator's choice for File > Import... and File > Export...: the table,
// the sheet file (.csv or .xlsx) and, for an export, whether rows without a
// name go too. The main window asks through this interface so tests can
// answer without a modal dialog.
struct SheetChoice
{
    TableKind table = TableKind::PLU;
    QString path;
    bool allRows = false;
};

class ISheetDialogs
{
public:
    virtual ~ISheetDialogs() = default;

    virtual std::optional<SheetChoice> ChooseImport() = 0;
    virtual std::optional<SheetChoice> ChooseExport() = 0;
};
