#include "model/TestData.h"

#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

namespace {

// Zero-padded to at least width digits, as "%5.5d" writes it.
QString Padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QChar(u'0'));
}

void FillPLU(TextTable& plu)
{
    const TextTable::Batch batch(plu);
    for (int r = 1; r < plu.RowCount(); ++r) {
        plu.SetCell(PLUColumn::Name, r, QStringLiteral("PLU-%1").arg(r));
        plu.SetCell(PLUColumn::Department, r, QString::number(r % 8 + 1));
        plu.SetCell(PLUColumn::UnitPrice, r, FormatFixed(r * 10.0, 2));
        plu.SetCell(PLUColumn::Barcode, r, QStringLiteral("12345678") + Padded(r, 5));
        plu.SetCell(PLUColumn::Flag, r, QStringLiteral("0"));
    }
}

void FillDeptment(TextTable& dept)
{
    const TextTable::Batch batch(dept);
    for (int r = 1; r < dept.RowCount(); ++r) {
        dept.SetCell(DeptmentColumn::Name, r, QStringLiteral("Deptment-%1").arg(r));
        dept.SetCell(DeptmentColumn::Tax, r, QString::number(r % 9 + 1));
        dept.SetCell(DeptmentColumn::UnitPrice, r, FormatFixed(r * 10.0, 2));
    }
}

void FillRecy(RecyTable& recy)
{
    for (int n = 1; n <= RecyTable::RecordCount; ++n) {
        recy.SetCell(RecyColumn::PluNumber, n, QString::number(n));
        recy.SetCell(RecyColumn::PackagePrice, n, FormatFixed(n * 9.0, 2));
        recy.SetCell(RecyColumn::Barcode, n, QStringLiteral("1234567890") + Padded(n, 3));
    }
}

} // namespace

void FillTestData(TextTable& plu, TextTable& dept, RecyTable& recy)
{
    FillPLU(plu);
    FillDeptment(dept);
    FillRecy(recy);
}
