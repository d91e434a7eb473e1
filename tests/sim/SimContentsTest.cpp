#include "sim/SimBytes.h"
#include "sim/SimContents.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace SimRecords;

namespace {

void ExpectSameContents(const TSimContents& a, const TSimContents& b)
{
    for (int i = 0; i < TSimContents::kPluCount; ++i)
        ASSERT_EQ(a.Plu(i), b.Plu(i)) << "PLU " << i + 1;
    for (int i = 0; i < TSimContents::kDepartmentCount; ++i)
        EXPECT_EQ(a.Department(i), b.Department(i)) << "department " << i + 1;
    EXPECT_EQ(a.Parameters(), b.Parameters());
    ASSERT_EQ(a.Totals().size(), b.Totals().size());
    for (std::size_t i = 0; i < a.Totals().size(); ++i) {
        EXPECT_EQ(a.Totals()[i].barcode, b.Totals()[i].barcode);
        EXPECT_EQ(a.Totals()[i].quantityMilli, b.Totals()[i].quantityMilli);
        EXPECT_EQ(a.Totals()[i].total, b.Totals()[i].total);
    }
    EXPECT_EQ(a.PriceDecimals(), b.PriceDecimals());
    EXPECT_EQ(a.ReportState(), b.ReportState());
}

QJsonObject ValidState()
{
    TSimContents c;
    c.FillDemo();
    return c.ToJson();
}

TEST(SimContents, StateFileRoundTripKeepsEveryByte)
{
    TSimContents original;
    original.SetPriceDecimals(3);
    original.FillDemo();
    original.SetReportState(1);
    // Records the decoded fields alone cannot describe.
    PluBytes odd = original.Plu(0);
    odd[30] = 0x5A;  // a reserved byte in use
    original.SetPlu(2999, odd);
    PluBytes badDigits{};
    badDigits[0] = 0xAB;
    original.SetPlu(1500, badDigits);
    DepartmentBytes dept = original.Department(8);
    dept[19] = 1;
    original.SetDepartment(8, dept);
    original.SetTotals({{99999999999999ULL, -5, 0xFFFFFFFFFFFFULL}, {0, 0, 0}});

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state.json"));
    QString error;
    ASSERT_TRUE(original.SaveFile(path, &error)) << qPrintable(error);
    TSimContents loaded;
    ASSERT_TRUE(loaded.LoadFile(path, &error)) << qPrintable(error);
    ExpectSameContents(original, loaded);

    // Saving again over the existing file gives the same text.
    QFile first(path);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray text = first.readAll();
    first.close();
    ASSERT_TRUE(loaded.SaveFile(path, &error));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), text);
}

TEST(SimContents, StateFileIsReadable)
{
    TSimContents c;
    c.FillDemo();
    const QJsonObject json = c.ToJson();
    EXPECT_EQ(json.value("format").toString(), "ecr-sim-state");
    EXPECT_EQ(json.value("price_decimals").toInt(), 2);
    const QJsonArray plus = json.value("plus").toArray();
    ASSERT_EQ(plus.size(), 20) << "only PLUs in use are listed";
    QJsonObject cafe;
    for (const QJsonValue& v : plus) {
        if (v.toObject().value("name").toString().startsWith(QStringLiteral("Caf")))
            cafe = v.toObject();
    }
    EXPECT_EQ(cafe.value("name").toString(), QStringLiteral("Caf\u00e9 cr\u00e8me")) << "names are Latin-1";
    EXPECT_EQ(cafe.value("price").toInt(), 550);
    EXPECT_EQ(cafe.value("department").toInt(), 4);
    EXPECT_EQ(cafe.value("barcode").toString().size(), 13);
    EXPECT_FALSE(cafe.contains("raw"));
    EXPECT_EQ(json.value("departments").toArray().at(4).toObject().value("name").toString(), "Drinks");
    EXPECT_EQ(json.value("parameters").toArray().size(), 16);
    EXPECT_FALSE(json.value("totals").toArray().isEmpty());
}

TEST(SimContents, DemoShopIsConsistent)
{
    TSimContents c;
    c.FillDemo();
    int named = 0;
    for (int i = 0; i < TSimContents::kPluCount; ++i) {
        const PluFields f = DecodePlu(c.Plu(i));
        if (f.name.isEmpty())
            continue;
        ++named;
        // In-store barcodes with a correct check digit.
        quint64 v = f.barcode / 10;
        int sum = 0;
        for (int position = 0; position < 12; ++position, v /= 10)
            sum += int(v % 10) * (position % 2 == 0 ? 3 : 1);
        EXPECT_EQ(f.barcode % 10, quint64((10 - sum % 10) % 10)) << f.name.constData();
        EXPECT_LT(f.department, 9);
    }
    EXPECT_EQ(named, 20);
    for (int d = 0; d < 9; ++d)
        EXPECT_FALSE(DecodeDepartment(c.Department(d)).name.isEmpty());
    EXPECT_EQ(ReadText(c.Parameters().data() + Parameters::kHeaderLines, 24), "CORNER SHOP");
    c.SetPriceDecimals(0);
    c.FillDemo();
    EXPECT_EQ(DecodePlu(c.Plu(0)).price, 1) << "demo prices follow the decimals: 1.19 rounds to 1";
    // Every sales record belongs to a demo article.
    for (const TotalsFields& t : c.Totals()) {
        bool found = false;
        for (int i = 0; i < 20; ++i)
            found = found || DecodePlu(c.Plu(i)).barcode == t.barcode;
        EXPECT_TRUE(found);
    }
}

TEST(SimContents, BadStateFilesAreRefusedWholly)
{
    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> spoil;
    };
    auto setPlu = [](const char* key, QJsonValue value) {
        return [key, value](QJsonObject& j) {
            QJsonArray plus = j.value("plus").toArray();
            QJsonObject first = plus.at(0).toObject();
            first[QLatin1String(key)] = value;
            plus[0] = first;
            j["plus"] = plus;
        };
    };
    const std::vector<Case> cases = {
        {"wrong format", [](QJsonObject& j) { j["format"] = "something else"; }},
        {"newer version", [](QJsonObject& j) { j["version"] = 2; }},
        {"PLU number 3001", setPlu("number", 3001)},
        {"PLU number 0", setPlu("number", 0)},
        {"name too long", setPlu("name", "Nineteen characters")},
        {"name beyond Latin-1", setPlu("name", QStringLiteral("\u20ac"))},
        {"price not whole", setPlu("price", 1.5)},
        {"price beyond 32 bits", setPlu("price", 4294967296.0)},
        {"barcode with letters", setPlu("barcode", "12AB")},
        {"barcode of 15 digits", setPlu("barcode", "123456789012345")},
        {"department 0", setPlu("department", 0)},
        {"raw of wrong length", setPlu("raw", "00 11")},
        {"parameters too short", [](QJsonObject& j) { j["parameters"] = "00"; }},
        {"price decimals 12", [](QJsonObject& j) { j["price_decimals"] = 12; }},
        {"negative total", [](QJsonObject& j) {
             QJsonArray t = j.value("totals").toArray();
             QJsonObject r = t.at(0).toObject();
             r["total"] = -1;
             t[0] = r;
             j["totals"] = t;
         }},
        {"plus not a list", [](QJsonObject& j) { j["plus"] = 5; }},
        {"department not an object", [](QJsonObject& j) { j["departments"] = QJsonArray{1}; }},
    };
    for (const Case& c : cases) {
        QJsonObject json = ValidState();
        c.spoil(json);
        TSimContents contents;
        contents.SetReportState(7);
        QString error;
        EXPECT_FALSE(contents.FromJson(json, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(contents.ReportState(), 7) << c.what << ": nothing taken over";
        EXPECT_EQ(contents.Plu(0), PluBytes{}) << c.what;
    }
}

TEST(SimContents, UnreadableFilesReportTheirPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ \"format\": ");
    file.close();
    TSimContents c;
    QString error;
    EXPECT_FALSE(c.LoadFile(path, &error));
    EXPECT_TRUE(error.contains(path));
    EXPECT_FALSE(c.SaveFile(dir.filePath(QStringLiteral("missing/dir/state.json")), &error));
}

TEST(SimContents, TotalsSlicesCutTheListWithoutGaps)
{
    TSimContents c;
    std::vector<TotalsFields> totals;
    for (int i = 0; i < 16; ++i)
        totals.push_back({quint64(i + 1), i, quint64(i)});
    ASSERT_TRUE(c.SetTotals(totals));
    const TSimContents::Block first = c.TotalsSlice(0);
    const TSimContents::Block second = c.TotalsSlice(1);
    // Record 16 starts at byte 255: its first barcode byte ends slice 0.
    quint8 record[17];
    EncodeTotals(totals[15], record);
    EXPECT_EQ(first[255], record[0]);
    EXPECT_TRUE(std::equal(record + 1, record + 17, second.begin()));
    EXPECT_TRUE(std::all_of(second.begin() + 16, second.end(), [](quint8 b) { return b == 0; }));
    EXPECT_EQ(c.TotalsSlice(2), TSimContents::Block{});
    EXPECT_EQ(c.TotalsSlice(-1), TSimContents::Block{});
    EXPECT_FALSE(c.SetTotals(std::vector<TotalsFields>(TSimContents::kMaxTotals + 1)));
}

} // namespace
