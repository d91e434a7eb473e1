#include "transfer/Compare.h"

#include "model/CountWords.h"
#include "model/Language.h"
#include "model/Columns.h"
#include "model/Decimal.h"
#include "model/TextTable.h"
#include "model/Texts.h"
#include "model/ByteOrder.h"
#include "transfer/CapturingLink.h"
#include "model/FieldCodec.h"
#include "transfer/Upload.h"

#include <algorithm>
#include <functional>

namespace {

constexpr int kStockDecimals = 3;
constexpr int kPriceMinDecimals = 2;

using FieldText = std::function<QString(const quint8* record, quint8 priceDecimals)>;

struct Field
{
    int column;
    FieldText text;
};

QString Text(const quint8* field, std::size_t width)
{
    return FieldCodec::TakeBytes(field, width);
}

// Without the zeros at the end beyond two decimals, so that 1.50 held at two
// decimals and 1.500 held at three read alike.
QString Price(const quint8* field, quint8 priceDecimals)
{
    return Decimal(ByteOrder::ReadBigSigned32(field), priceDecimals)
        .Trimmed()
        .Text(kPriceMinDecimals, FieldCodec::DecimalSeparator());
}

QString PlusOne(quint8 byte)
{
    return QString::number(int(byte) + 1);
}

const std::vector<Field>& PLUFields()
{
    using namespace PLURecordLayout;
    static const std::vector<Field> kFields{
        {PLUColumn::Barcode, [](const quint8* r, quint8) { return QString::number(FieldCodec::UnpackBarcode(r + kBarcode)); }},
        {PLUColumn::Name, [](const quint8* r, quint8) { return Text(r + kName, kNameBytes); }},
        {PLUColumn::UnitPrice, [](const quint8* r, quint8 d) { return Price(r + kPrice, d); }},
        {PLUColumn::Department, [](const quint8* r, quint8) { return PlusOne(r[kDepartment]); }},
        {PLUColumn::Stocks, [](const quint8* r, quint8) {
             return FieldCodec::ScaledText(ByteOrder::ReadBigSigned32(r + kStocks), kStockDecimals, kStockDecimals);
         }},
    };
    return kFields;
}

const std::vector<Field>& DeptmentFields()
{
    using namespace DeptmentRecordLayout;
    static const std::vector<Field> kFields{
        {DeptmentColumn::Name, [](const quint8* r, quint8) { return Text(r + kName, kNameBytes); }},
        {DeptmentColumn::Tax, [](const quint8* r, quint8) { return PlusOne(r[kTax]); }},
        {DeptmentColumn::UnitPrice, [](const quint8* r, quint8 d) { return Price(r + kPrice, d); }},
    };
    return kFields;
}

void CompareRecords(TransferTable table, int number, const quint8* left, quint8 leftDecimals, const quint8* right,
                    quint8 rightDecimals, Differences& out)
{
    const bool plu = table == TransferTable::PLU;
    for (const Field& field : plu ? PLUFields() : DeptmentFields()) {
        const QString leftText = field.text(left, leftDecimals);
        const QString rightText = field.text(right, rightDecimals);
        if (leftText == rightText)
            continue;
        const QString title = plu ? Texts().PLUTitles[std::size_t(field.column)]
                                  : Texts().DeptmentTitles[std::size_t(field.column)];
        out.push_back({table, number, title, leftText, rightText});
    }
}

QString TableName(TransferTable table)
{
    return Texts().DownloadItemTips[std::size_t(table)];
}

// A price the register's decimals cannot hold would be sent rounded, so its
// record can agree with the register's where the document does not: such a
// price differs, shown with the document's own text.
void AddUnstoredPrice(TransferTable table, int number, const TextTable& document, int column,
                      const QString& held, quint8 priceDecimals, Differences& differences)
{
    if (document.JudgeCell(column, number, priceDecimals).Taken())
        return;
    const CellJudgement own = document.JudgeCell(column, number);
    const QString documentValue = own.Taken() ? own.text : document.Cell(column, number);
    const QString title = table == TransferTable::PLU ? Texts().PLUTitles[std::size_t(column)]
                                                      : Texts().DeptmentTitles[std::size_t(column)];
    const auto found = std::find_if(differences.begin(), differences.end(), [&](const FieldDifference& d) {
        return d.table == table && d.number == number && d.field == title;
    });
    if (found != differences.end())
        found->documentValue = documentValue;
    else
        differences.push_back({table, number, title, documentValue, held});
}

void AddUnstoredPrices(const TextTable& plu, const TextTable& departments, const TableSnapshot& held,
                       Differences& differences)
{
    for (const auto& [number, record] : held.plus)
        AddUnstoredPrice(TransferTable::PLU, number, plu, PLUColumn::UnitPrice,
                         Price(record.data() + PLURecordLayout::kPrice, held.priceDecimals), held.priceDecimals,
                         differences);
    if (held.departments) {
        for (int d = 1; d <= TableSnapshot::kDepartments; ++d)
            AddUnstoredPrice(TransferTable::Department, d, departments, DeptmentColumn::UnitPrice,
                             Price((*held.departments)[std::size_t(d - 1)].data() + DeptmentRecordLayout::kPrice,
                                   held.priceDecimals),
                             held.priceDecimals, differences);
    }
    std::stable_sort(differences.begin(), differences.end(), [](const FieldDifference& a, const FieldDifference& b) {
        return std::pair(int(a.table), a.number) < std::pair(int(b.table), b.number);
    });
}

} // namespace

Differences CompareSnapshots(const TableSnapshot& document, const TableSnapshot& held)
{
    Differences differences;
    for (const auto& [number, record] : held.plus) {
        const auto mine = document.plus.find(number);
        if (mine != document.plus.cend())
            CompareRecords(TransferTable::PLU, number, mine->second.data(), document.priceDecimals, record.data(),
                           held.priceDecimals, differences);
    }
    if (document.departments && held.departments) {
        for (int d = 1; d <= TableSnapshot::kDepartments; ++d)
            CompareRecords(TransferTable::Department, d, (*document.departments)[std::size_t(d - 1)].data(),
                           document.priceDecimals, (*held.departments)[std::size_t(d - 1)].data(),
                           held.priceDecimals, differences);
    }
    return differences;
}

QString DifferenceLine(const FieldDifference& difference, const QString& leftName, const QString& rightName)
{
    return QStringLiteral("%1 %2 %3: %4 \"%5\", %6 \"%7\"")
        .arg(TableName(difference.table))
        .arg(difference.number)
        .arg(difference.field, leftName, difference.documentValue, rightName, difference.registerValue);
}

QString DifferenceCounts(const Differences& differences, unsigned tables)
{
    QStringList counts;
    for (const TransferTable table : {TransferTable::PLU, TransferTable::Department}) {
        if ((tables & TableBit(table)) == 0)
            continue;
        const auto count = std::count_if(differences.cbegin(), differences.cend(),
                                         [table](const FieldDifference& d) { return d.table == table; });
        counts << Tr("Compare", "TableCount", "%1: %2")
                      .arg(TableName(table),
                           CountWords("Compare", "Differences", std::size_t(count), "1 difference", "%1 differences"));
    }
    return counts.join(QStringLiteral(", "));
}

QString VerifyFailureText(std::size_t differences)
{
    return Tr("Compare", "VerifyFailed", "Verify after download: the register does not hold what was sent (%1).")
        .arg(CountWords("Compare", "DifferingFields", differences, "1 differing field", "%1 differing fields"));
}

CompareOutcome CompareWithRegister(ITransferLink& link, IProgress& progress, TransferRequest request,
                                   const TextTable& plu, const TextTable& departments)
{
    request.selection &= TableBit(TransferTable::PLU) | TableBit(TransferTable::Department);
    TextTable scratchPlu(TableKind::PLU);
    TextTable scratchDepartments(TableKind::Department);
    CapturingLink capture(link);
    CompareOutcome outcome;
    outcome.result = UploadTables(capture, progress, request, {scratchPlu, scratchDepartments, QString()});
    outcome.held = capture.Captured(request.range);
    if (outcome.result.Succeeded()) {
        const TableSnapshot document =
            SnapshotOfDocument(plu, departments, request.selection, request.range, outcome.held.priceDecimals);
        outcome.differences = CompareSnapshots(document, outcome.held);
        AddUnstoredPrices(plu, departments, outcome.held, outcome.differences);
    }
    return outcome;
}
