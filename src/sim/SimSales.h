#pragma once

#include <QtGlobal>

class TSimContents;

// Sales made at the simulated register between uploads, so its figures move
// the way a shop's do.
namespace SimSales {

// `count` sales, each of 1 to 5 pieces of one named article with a barcode
// and a price of 0 or more, picked at random from `seed` (the same seed sells
// the same). Each adds its quantity and its price times the quantity to the
// article's figures, as the register keeps them; a new article gets a new
// record while the list has room. Returns the number of sales made (0 when no
// article can be sold).
int Sell(TSimContents& contents, int count, quint32 seed);

// Zeroes the figures as the register's report clear does: the list is
// emptied and the reports read as cleared.
void ClearReports(TSimContents& contents);

} // namespace SimSales
