#include "exchange/SheetColumns.h"

#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/Texts.h"

#include <cmath>

namespace {

using Value = SheetColumn::Value;

// Whole numbers above this lose digits in a spreadsheet's double.
constexpr double kExactWholeLimit = 1e15;

QString TitleIn(const ProgramTexts& texts, TableKind kind, int column)
{
    if (kind == TableKind::PLU)
        return column >= 0 && column < kPLUColCount ? texts.PLUTitles[column] : QString();
    return column >= 0 && column < kDeptmentColCount ? texts.DeptmentTitles[column] : QString();
}

bool SameTitle(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

QString SheetTableName(TableKind kind, bool capitalised)
{
    if (kind == TableKind::PLU)
        return QStringLiteral("PLU");
    return capitalised ? QStringLiteral("Department") : QStringLiteral("department");
}

QList<SheetColumn> SheetColumnsOf(TableKind kind)
{
    if (kind == TableKind::PLU) {
        return {{PLUColumn::Number, Value::Whole, 0},    {PLUColumn::Barcode, Value::Text, 0},
                {PLUColumn::Name, Value::Text, 0},       {PLUColumn::UnitPrice, Value::Decimal, 2},
                {PLUColumn::Department, Value::Whole, 0}, {PLUColumn::Stocks, Value::Decimal, 3},
                {PLUColumn::Flag, Value::Whole, 0},      {PLUColumn::Quantity, Value::Decimal, 3},
                {PLUColumn::Total, Value::Decimal, 2}};
    }
    return {{DeptmentColumn::Number, Value::Whole, 0}, {DeptmentColumn::Name, Value::Text, 0},
            {DeptmentColumn::Tax, Value::Whole, 0}, {DeptmentColumn::UnitPrice, Value::Decimal, 2}};
}

SheetColumn SheetColumnOf(TableKind kind, int column)
{
    const QList<SheetColumn> columns = SheetColumnsOf(kind);
    for (const SheetColumn& each : columns) {
        if (each.column == column)
            return each;
    }
    return columns.front();
}

QString SheetColumnTitle(TableKind kind, int column)
{
    return TitleIn(Texts(), kind, column);
}

std::optional<int> ColumnOfSheetTitle(TableKind kind, const QString& title)
{
    static const ProgramTexts kBuiltIn = ProgramTexts::BuiltIn();
    for (const SheetColumn& column : SheetColumnsOf(kind)) {
        if (SameTitle(title, SheetColumnTitle(kind, column.column))
            || SameTitle(title, TitleIn(kBuiltIn, kind, column.column)))
            return column.column;
    }
    return std::nullopt;
}

std::optional<double> SheetNumber(const SheetColumn& column, const QString& text)
{
    switch (column.value) {
    case Value::Text:
        return std::nullopt;
    case Value::Whole: {
        const auto value = ParseWhole(text);
        if (!value || QString::number(*value) != text || std::fabs(static_cast<double>(*value)) >= kExactWholeLimit)
            return std::nullopt;
        return static_cast<double>(*value);
    }
    case Value::Decimal:
        return ParseDecimal(text);
    }
    return std::nullopt;
}

QString SheetCellForm(const SheetColumn& column, const QString& text)
{
    if (column.value != Value::Decimal)
        return text;
    const auto value = ParseDecimal(text);
    return value ? FormatFixed(*value, column.decimals) : text;
}

QString SheetColumnLetters(int column)
{
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}
