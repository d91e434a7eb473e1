#pragma once

#include "exchange/Sheet.h"

#include <QByteArray>

// Reads the first worksheet of an XLSX workbook held in memory: shared strings,
// inline strings, formula results and numbers (written as a spreadsheet shows
// them with 15 significant digits, "." as decimal point). Dates and times,
// truth values, error values and formulas without a stored result are cells
// the row refuses (SheetRow::refusals). Refused when its
// parts would inflate beyond SheetLimits::kMaxBytes or it holds more than
// SheetLimits::kMaxDataRows rows of data.
SheetRead ReadXlsxSheet(const QByteArray& bytes);

// The shared strings and worksheet parts on their own, without the zip.
SheetRead ReadXlsxParts(const QByteArray& sharedStringsXml, const QByteArray& worksheetXml);
