#pragma once

#include <QString>

#include <array>

// Shapes and column tables of the three register tables. Columns are numbered
// as the grids show them: the PLU and department tables have a row-number
// column 0 and a title row 0, so their data cells are columns 1.. and rows 1..;
// the recycling table has no row-number column, its data columns are 0..2 and
// its records are rows 1..100.

inline constexpr int kPLURowCount = 3001;
inline constexpr int kPLUColCount = 9;
inline constexpr int kDeptmentRowCount = 10;
inline constexpr int kDeptmentColCount = 4;
inline constexpr int kRecyRecordCount = 100;
inline constexpr int kRecyFieldCount = 3;

namespace PLUColumn {
inline constexpr int Number = 0;
inline constexpr int Barcode = 1;
inline constexpr int Name = 2;
inline constexpr int UnitPrice = 3;
inline constexpr int Department = 4;
inline constexpr int Stocks = 5;
inline constexpr int Flag = 6;
inline constexpr int Quantity = 7;
inline constexpr int Total = 8;
} // namespace PLUColumn

namespace DeptmentColumn {
inline constexpr int Number = 0;
inline constexpr int Name = 1;
inline constexpr int Tax = 2;
inline constexpr int UnitPrice = 3;
} // namespace DeptmentColumn

namespace RecyColumn {
inline constexpr int PluNumber = 0;
inline constexpr int PackagePrice = 1;
inline constexpr int Barcode = 2;
} // namespace RecyColumn

// Maximum lengths, by column.
inline constexpr std::array<int, kPLUColCount> PLUMaxLens{5, 13, 18, 9, 1, 9, 1, 10, 10};
inline constexpr std::array<int, kDeptmentColCount> DeptmentMaxLens{1, 18, 1, 9};
inline constexpr std::array<int, kRecyFieldCount> RecyMaxLens{3, 8, 13};

// Default texts, by column, written with a full stop; the row-number column
// holds nothing. Cells get them through the *Default functions below, which
// put in the current decimal separator.
inline constexpr std::array<const char*, kPLUColCount> PLUDefaults{
    "", "", "", "0.00", "1", "0.000", "0", "0", "0"};
inline constexpr std::array<const char*, kDeptmentColCount> DeptmentDefaults{"", "", "1", "0.00"};
inline constexpr std::array<const char*, kRecyFieldCount> RecyDefaults{"", "0.00", "0"};

// The default text of a column with the current decimal separator; empty for a
// column outside the table.
QString PLUDefault(int col);
QString DeptmentDefault(int col);
QString RecyDefault(int col);
