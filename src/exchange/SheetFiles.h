#pragma once

#include "exchange/Sheet.h"
#include "exchange/TableExport.h"

#include <QString>

#include <optional>

// Sheet files, told apart by their extension (.csv or .xlsx, either case).
enum class SheetFormat { Csv, Xlsx };

std::optional<SheetFormat> SheetFormatOf(const QString& path);

// Reads a sheet file; a file over SheetLimits::kMaxBytes is refused before it
// is read. The error names the file.
SheetRead ReadSheetFile(const QString& path);

// Writes the table to a .csv or .xlsx file, replacing it as a whole; failures
// throw FileError. Returns the number of table rows written.
int ExportTableFile(const TextTable& table, const QString& path, const ExportOptions& options);

// What an export or an import did, for the status bar: "Exported 20 PLUs to
// shop.xlsx", "Imported shop.xlsx: 3 PLUs changed".
QString ExportDoneText(TableKind kind, int rows, const QString& path);
QString ImportDoneText(TableKind kind, int changedRows, const QString& path);
