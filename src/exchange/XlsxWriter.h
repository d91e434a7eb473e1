#pragma once

#include "exchange/SheetColumns.h"

#include <QList>
#include <QString>
#include <QStringList>

// Writes one worksheet named sheetName: a bold, frozen title row, then the
// rows. Cells of number columns holding a number are numbers (whole numbers
// only in their own form) shown with the column's decimals; every other cell
// is text, and text
// columns are formatted as text, so a spreadsheet keeps a barcode's digits.
// Columns are as wide as their texts. The file at path is replaced as a whole
// or not at all; failures throw FileError.
void WriteXlsxSheet(const QString& path, const QString& sheetName, const QList<SheetColumn>& columns,
                    const QStringList& titles, const QList<QStringList>& rows);
