// The demo data set: a small corner shop, recognisable in every table.
#include "sim/SimContents.h"

#include "sim/SimBytes.h"

#include <algorithm>
#include <limits>

using namespace SimRecords;

namespace {

struct DemoArticle {
    const char* name;        // Latin-1
    qint64 priceCents;
    int department;          // 1..9
    qint32 stocksMilli;
};

// Articles get in-store barcodes 2000000000nn with their check digit.
const DemoArticle kArticles[] = {
    {"Milk 1l", 119, 1, 48000},
    {"Butter 250g", 229, 1, 20000},
    {"Cheese Gouda", 1490, 1, 7250},
    {"Yoghurt natural", 65, 1, 36000},
    {"Eggs x10", 289, 1, 15000},
    {"Rye bread", 345, 2, 12000},
    {"Croissant", 95, 2, 30000},
    {"Apples", 249, 3, 52500},
    {"Bananas", 189, 3, 40750},
    {"Potatoes 2.5kg", 399, 3, 18000},
    {"Flour 1kg", 99, 4, 25000},
    {"Sugar 1kg", 139, 4, 22000},
    {"Pasta 500g", 129, 4, 60000},
    {"Caf\xe9 cr\xe8me", 550, 4, 14000},
    {"Orange juice 1l", 219, 5, 24000},
    {"Mineral water", 59, 5, 96000},
    {"Chocolate bar", 149, 6, 45000},
    {"Daily paper", 250, 7, 10000},
    {"Dish soap", 179, 8, 16000},
    {"Bottle deposit", 25, 9, 0},
};

struct DemoDepartment {
    const char* name;
    int tax;                 // 1..9
};

const DemoDepartment kDepartments[] = {
    {"Dairy", 2},       {"Bakery", 2},      {"Fruit & veg", 2},
    {"Groceries", 2},   {"Drinks", 1},      {"Sweets", 1},
    {"Newspapers", 3},  {"Household", 1},   {"Deposit", 9},
};

const char* const kDemoHeader[] = {"CORNER SHOP", "1 Market Street", "Open 7-22 daily", "Tel. 555 0100"};
const char* const kDemoTail[] = {"Thank you!", "See you soon"};
const char* const kDemoClerks[] = {"Anna", "Ben", "Clara", "David"};
const quint16 kDemoPasswords[] = {1111, 2222, 3333, 4444};
// Percent x 100; 10001 marks a rate that is not in use.
const quint16 kDemoVatRates[] = {2000, 1000, 550, 10001, 10001, 10001, 10001, 10001, 0};

// (article, quantity x 1000) sold since the last report.
const std::pair<int, qint32> kSales[] = {{0, 12000}, {5, 4000}, {7, 3250}, {13, 2000}, {15, 24000}, {17, 7000}};

quint64 Ean13(quint64 twelveDigits)
{
    int sum = 0;
    quint64 v = twelveDigits;
    for (int position = 0; position < 12; ++position, v /= 10)
        sum += int(v % 10) * (position % 2 == 0 ? 3 : 1);
    return twelveDigits * 10 + quint64((10 - sum % 10) % 10);
}

quint64 ArticleBarcode(int article)
{
    return Ean13(200000000000ULL + quint64(article + 1));
}

// Demo prices are given in hundredths; the register keeps them in units of
// 10^-decimals, kept within its 32-bit field.
qint32 ScaledPrice(qint64 cents, quint8 decimals)
{
    qint64 value = cents;
    for (int d = 2; d < decimals && value <= std::numeric_limits<qint32>::max(); ++d)
        value *= 10;
    if (decimals < 2) {
        const qint64 divisor = decimals == 1 ? 10 : 100;
        value = (cents + divisor / 2) / divisor;
    }
    return static_cast<qint32>(std::min<qint64>(value, std::numeric_limits<qint32>::max()));
}

} // namespace

void TSimContents::FillDemo()
{
    const quint8 decimals = m_priceDecimals;
    const quint8 reportState = m_reportState;
    *this = TSimContents{};
    m_priceDecimals = decimals;
    m_reportState = reportState;
    for (int i = 0; i < int(std::size(kArticles)); ++i) {
        const DemoArticle& a = kArticles[i];
        PluFields f;
        f.barcode = ArticleBarcode(i);
        f.name = QByteArray(a.name);
        f.price = ScaledPrice(a.priceCents, m_priceDecimals);
        f.department = static_cast<quint8>(a.department - 1);
        f.stocksMilli = a.stocksMilli;
        SetPlu(i, EncodePlu(f));
    }
    for (int i = 0; i < kDepartmentCount; ++i) {
        DepartmentFields f;
        f.name = QByteArray(kDepartments[i].name);
        f.tax = static_cast<quint8>(kDepartments[i].tax - 1);
        SetDepartment(i, EncodeDepartment(f));
    }

    using namespace SimRecords::Parameters;
    quint8* p = m_parameters.data();
    for (int n = 0; n < int(std::size(kDemoHeader)); ++n)
        WriteText(p + kHeaderLines + n * kLineBytes, kLineBytes, kDemoHeader[n]);
    for (int n = 0; n < int(std::size(kDemoTail)); ++n)
        WriteText(p + kTailLines + n * kLineBytes, kLineBytes, kDemoTail[n]);
    for (int n = 0; n < 4; ++n) {
        WriteText(p + kClerkNames + n * kClerkNameBytes, kClerkNameBytes, kDemoClerks[n]);
        SimBytes::WriteBe16(p + kClerkPasswords + 2 * n, kDemoPasswords[n]);
    }
    for (int n = 0; n < 9; ++n)
        SimBytes::WriteBe16(p + kVatRates + 2 * n, kDemoVatRates[n]);
    p[kPrintSpeed] = 5;

    for (const auto& [article, quantityMilli] : kSales) {
        TotalsFields t;
        t.barcode = ArticleBarcode(article);
        t.quantityMilli = quantityMilli;
        t.total = quint64(qint64(ScaledPrice(kArticles[article].priceCents, m_priceDecimals))
                          * quantityMilli / 1000);
        m_totals.push_back(t);
    }
}
