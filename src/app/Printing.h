#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class TextTable;

// The PLU listing: one line per PLU row whose Name is not empty, in row order;
// the barcode, then a TAB and the cell for each of the columns Name to Total.
QStringList PluListingLines(const TextTable& plu);

// Prints `lines` on `printer` in a fixed-pitch font, one below the other from
// the top of the first page, starting a new page when one is full. TABs move
// to the next column stop, the stops lying at the widths of the PLU columns, so
// the fields line up as a table. An empty list prints an empty job. Returns an
// error text, empty on success.
QString PrintLines(const QStringList& lines, QPrinter& printer);

// Prints the PLU listing of `plu` on `printer`; an error text, empty on success.
QString PrintPluListing(const TextTable& plu, QPrinter& printer);

// Prints the PLU listing on the default printer without any dialog; an error
// text, empty on success.
QString PrintPluListingOnDefaultPrinter(const TextTable& plu);
