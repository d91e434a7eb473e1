// plu-cli report and history readings against the simulator: what the
// report says sold equals what the uploaded rows say, over readings, clears
// and periods, in CSV, XLSX and PDF; readings survive a killed upload whole.

#include "CliFixture.h"

#include "exchange/SheetFiles.h"
#include "files/Document.h"
#include "model/Columns.h"
#include "model/Decimal.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <map>

namespace {

struct Sold
{
    qint64 quantity = 0;  // thousandths
    qint64 total = 0;     // at the register's decimals

    friend bool operator==(const Sold&, const Sold&) = default;
};

qint64 Units(const QString& text, int scale)
{
    const auto number = Decimal::Parse(text, QLatin1Char('.'));
    return number ? number->ExactUnits(scale).value_or(-1) : 0;
}

// A document's rows as a user reads them: each article's figures by PLU, and
// its department.
struct Uploaded
{
    std::map<int, Sold> figures;
    std::map<int, int> department;
    std::map<int, QString> name;
    std::map<int, QString> stocks;
};

Uploaded ReadDocument(const QString& path, int decimals)
{
    TextTable plu(TableKind::PLU);
    TextTable departments(TableKind::Department);
    RecyTable recycling;
    Document document(plu, departments, recycling);
    document.LoadDocument(path);
    Uploaded uploaded;
    for (int row = 1; row < plu.RowCount(); ++row) {
        const Sold sold{Units(plu.Cell(PLUColumn::Quantity, row), 3), Units(plu.Cell(PLUColumn::Total, row), decimals)};
        if (sold.quantity != 0 || sold.total != 0)
            uploaded.figures[row] = sold;
        uploaded.department[row] = plu.Cell(PLUColumn::Department, row).toInt();
        if (!plu.Cell(PLUColumn::Name, row).isEmpty()) {
            uploaded.name[row] = plu.Cell(PLUColumn::Name, row);
            uploaded.stocks[row] = plu.Cell(PLUColumn::Stocks, row);
        }
    }
    return uploaded;
}

// What sold between two uploads, the later one after a clear when `cleared`.
std::map<int, Sold> Between(const Uploaded& before, const Uploaded& after, bool cleared)
{
    std::map<int, Sold> sold = after.figures;
    if (cleared)
        return sold;
    for (const auto& [plu, figures] : before.figures) {
        sold[plu].quantity -= figures.quantity;
        sold[plu].total -= figures.total;
        if (sold[plu] == Sold{})
            sold.erase(plu);
    }
    return sold;
}

std::map<int, Sold> Plus(std::map<int, Sold> a, const std::map<int, Sold>& b)
{
    for (const auto& [plu, figures] : b) {
        a[plu].quantity += figures.quantity;
        a[plu].total += figures.total;
    }
    return a;
}

// Department number -> figures, summed from the articles.
std::map<int, Sold> ByDepartment(const std::map<int, Sold>& sold, const Uploaded& shop)
{
    std::map<int, Sold> departments;
    for (const auto& [plu, figures] : sold) {
        Sold& sum = departments[shop.department.at(plu)];
        sum.quantity += figures.quantity;
        sum.total += figures.total;
    }
    return departments;
}

class PluCliReportTest : public CliFixture
{
protected:
    QString State() const { return Path(QStringLiteral("register.json")); }

    // One business day: the simulator sells (after clearing when asked), the
    // PLU table is uploaded into a copy of the document named `document`.
    void Day(const QStringList& simOptions, const QString& document)
    {
        ASSERT_TRUE(sim.Start(QStringList{"--state", State()} + simOptions)) << qPrintable(sim.ErrorString());
        const CliRun up = OverSim({"upload", Path(document), "--tables", "plu,department", "--new"});
        ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
        ASSERT_TRUE(sim.Stop());
    }

    CliRun Report(const QStringList& arguments) { return Cli(QStringList{"report"} + arguments + QStringList{"--settings", settings}); }

    // The report's table as read back: the header, then rows up to the blank line.
    QList<QStringList> Table(const QString& path)
    {
        const SheetRead read = ReadSheetFile(path);
        EXPECT_TRUE(read.Ok()) << read.error.toStdString();
        QList<QStringList> rows;
        for (const SheetRow& row : read.sheet.rows)
            rows << row.cells;
        return rows;
    }

    // Department number -> (quantity, turnover) from a departments report.
    std::map<int, Sold> ReportedDepartments(const QString& path, int decimals)
    {
        std::map<int, Sold> reported;
        for (const QStringList& row : Table(path)) {
            bool ok = false;
            const int department = row.value(0).toInt(&ok);
            if (ok && row.size() >= 4) {
                const Sold sold{Units(row[2], 3), Units(row[3], decimals)};
                if (sold != Sold{})
                    reported[department] = sold;
            }
        }
        return reported;
    }

    QString Notes(const QString& csv) { return QString::fromUtf8(ReadFile(csv)); }
};

TEST_F(PluCliReportTest, DepartmentsAndTopListsAreTheUploadedRowsSummed)
{
    Day({"--fill-demo", "--sell", "60", "--seed", "5"}, QStringLiteral("SHOP.PLU"));
    const Uploaded shop = ReadDocument(Path("SHOP.PLU"), 2);
    ASSERT_GT(shop.figures.size(), 5u);

    // Current figures: the document's own columns, no history needed.
    const CliRun current = Report({Path("SHOP.PLU"), Path("now.csv")});
    ASSERT_EQ(current.exitCode, 0) << current.err.toStdString();
    EXPECT_EQ(ReportedDepartments(Path("now.csv"), 2), ByDepartment(shop.figures, shop));

    // The same from the reading the upload kept.
    const CliRun kept = Report({Path("SHOP.PLU"), Path("kept.csv"), "--from", "1"});
    ASSERT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    EXPECT_EQ(ReportedDepartments(Path("kept.csv"), 2), ByDepartment(shop.figures, shop));
    EXPECT_TRUE(Notes(Path("kept.csv")).contains("first of this register"));

    ASSERT_EQ(Report({Path("SHOP.PLU"), Path("top.csv"), "--view", "articles"}).exitCode, 0);
    std::vector<std::pair<qint64, int>> byTurnover;
    for (const auto& [plu, sold] : shop.figures)
        byTurnover.emplace_back(-sold.total, plu);
    std::sort(byTurnover.begin(), byTurnover.end());
    const QList<QStringList> top = Table(Path("top.csv"));
    ASSERT_GT(top.size(), 1);
    EXPECT_EQ(top[0], (QStringList{"List", "Rank", "PLU", "Name", "Quantity", "Turnover"}));
    std::size_t rank = 0;
    for (const QStringList& row : top.mid(1)) {
        if (row.value(0) != "By turnover")
            continue;
        ASSERT_LT(rank, byTurnover.size());
        EXPECT_EQ(Units(row[5], 2), -byTurnover[rank].first) << "rank " << rank + 1;
        EXPECT_EQ(row[3], shop.name.at(row[2].toInt()));
        ++rank;
    }
    EXPECT_EQ(rank, std::min<std::size_t>(20, byTurnover.size()));

    // Unsold: the named articles the rows show without figures.
    ASSERT_EQ(Report({Path("SHOP.PLU"), Path("unsold.csv"), "--view", "unsold"}).exitCode, 0);
    QStringList expected;
    for (const auto& [plu, name] : shop.name) {
        if (!shop.figures.contains(plu))
            expected << QString::number(plu);
    }
    QStringList listed;
    for (const QStringList& row : Table(Path("unsold.csv")).mid(1)) {
        if (!row.value(0).isEmpty() && row.size() > 1)
            listed << row[0];
    }
    EXPECT_EQ(listed, expected);

    // Low stock: named articles at or below the threshold, lowest first.
    ASSERT_EQ(Report({Path("SHOP.PLU"), Path("stock.csv"), "--view", "stock", "--threshold", "20"}).exitCode, 0);
    int low = 0;
    for (const auto& [plu, stocks] : shop.stocks)
        low += Decimal::Parse(stocks, QLatin1Char('.'))->Compare(Decimal(20, 0)) <= 0 ? 1 : 0;
    const QList<QStringList> stock = Table(Path("stock.csv"));
    int rows = 0;
    for (const QStringList& row : stock.mid(1))
        rows += row.size() > 3 ? 1 : 0;
    EXPECT_EQ(rows, low);
    EXPECT_GT(low, 0);
}

TEST_F(PluCliReportTest, IncrementsClearsAndPeriodsOverSeveralReadings)
{
    Day({"--fill-demo", "--sell", "40", "--seed", "1"}, QStringLiteral("DAY1.PLU"));
    Day({"--sell", "15", "--seed", "2"}, QStringLiteral("DAY2.PLU"));
    Day({"--clear-reports", "--sell", "8", "--seed", "3"}, QStringLiteral("DAY3.PLU"));
    const Uploaded day1 = ReadDocument(Path("DAY1.PLU"), 2);
    const Uploaded day2 = ReadDocument(Path("DAY2.PLU"), 2);
    const Uploaded day3 = ReadDocument(Path("DAY3.PLU"), 2);

    const CliRun list = Cli({"history", "readings", "--settings", settings});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.out.count('\n'), 3) << list.out.toStdString();
    EXPECT_TRUE(list.out.startsWith("3  ")) << "newest first";

    // Reading 2 alone: what sold between the first two uploads.
    ASSERT_EQ(Report({Path("DAY3.PLU"), Path("two.csv"), "--from", "2", "--to", "2"}).exitCode, 0);
    EXPECT_EQ(ReportedDepartments(Path("two.csv"), 2), ByDepartment(Between(day1, day2, false), day3));
    EXPECT_FALSE(Notes(Path("two.csv")).contains("not read"));

    // Reading 3 after the clear: the figures since the clear, with the warning.
    ASSERT_EQ(Report({Path("DAY3.PLU"), Path("three.csv"), "--from", "3"}).exitCode, 0);
    EXPECT_EQ(ReportedDepartments(Path("three.csv"), 2), ByDepartment(day3.figures, day3));
    EXPECT_TRUE(Notes(Path("three.csv")).contains("sales between reading 2 and the clear were not read"));

    // Readings 2 and 3: the steps added up.
    ASSERT_EQ(Report({Path("DAY3.PLU"), Path("both.csv"), "--from", "2", "--to", "3"}).exitCode, 0);
    EXPECT_EQ(ReportedDepartments(Path("both.csv"), 2),
              ByDepartment(Plus(Between(day1, day2, false), day3.figures), day3));

    // Everything, by date: today's three readings, the first counted from its clear.
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    ASSERT_EQ(Report({Path("DAY3.PLU"), Path("all.csv"), "--from", today, "--to", today}).exitCode, 0);
    EXPECT_EQ(ReportedDepartments(Path("all.csv"), 2), ByDepartment(Plus(day2.figures, day3.figures), day3));

    // The turnover of the day is that of all three steps.
    ASSERT_EQ(Report({Path("DAY3.PLU"), Path("daily.csv"), "--from", "1", "--view", "daily"}).exitCode, 0);
    const QList<QStringList> daily = Table(Path("daily.csv"));
    ASSERT_GE(daily.size(), 2);
    qint64 turnover = 0;
    for (const auto& [plu, sold] : Plus(day2.figures, day3.figures))
        turnover += sold.total;
    EXPECT_EQ(daily[1], (QStringList{today, Decimal(turnover, 2).Text(2, QLatin1Char('.'))}));
}

TEST_F(PluCliReportTest, SheetsAndPagesShowTheRegistersDecimals)
{
    Day({"--fill-demo", "--price-decimals", "3", "--sell", "30"}, QStringLiteral("SHOP.PLU"));
    const Uploaded shop = ReadDocument(Path("SHOP.PLU"), 3);
    const std::map<int, Sold> expected = ByDepartment(shop.figures, shop);
    for (const char* name : {"r.csv", "r.xlsx"}) {
        const CliRun run = Report({Path("SHOP.PLU"), Path(name), "--from", "1"});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(ReportedDepartments(Path(name), 3), expected) << name;
    }
    // The CSV writes every total with the register's three decimals.
    const QList<QStringList> csv = Table(Path("r.csv"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d{3}$")).match(csv[1][3]).hasMatch()) << csv[1][3].toStdString();

    const CliRun pdf = Report({Path("SHOP.PLU"), Path("r.pdf"), "--from", "1"});
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {"-layout", Path("r.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(page.contains("Turnover per department")) << page.toStdString();
    EXPECT_TRUE(page.contains(csv[1][1])) << "the first department's name";
    EXPECT_TRUE(page.contains(csv[1][3])) << "its turnover as the sheet has it";
}

TEST_F(PluCliReportTest, RefusalsWriteNothing)
{
    // Usage: no output, an unknown view, current figures without a document.
    EXPECT_EQ(Report({}).exitCode, 2);
    EXPECT_EQ(Report({Path("SHOP.PLU"), Path("r.txt")}).exitCode, 2);
    EXPECT_EQ(Report({Path("SHOP.PLU"), Path("r.csv"), "--view", "weekly"}).exitCode, 2);
    EXPECT_EQ(Report({Path("r.csv")}).exitCode, 2);
    EXPECT_EQ(Report({Path("r.csv"), "--to", "3"}).exitCode, 2);
    EXPECT_EQ(Report({Path("r.csv"), "--from", "yesterday"}).exitCode, 2);
    // Failures: no history yet, no such document.
    const CliRun none = Report({Path("r.csv"), "--from", "1"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("no sales reading")) << none.err.toStdString();
    EXPECT_EQ(Report({Path("NONE.PLU"), Path("r.csv")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(Path("r.csv")));
}

// Every reading in the file is whole and belongs to a transfer entry.
void ExpectWholeReadings(const QString& db)
{
    {
        QSqlDatabase sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        sql.setDatabaseName(db);
        ASSERT_TRUE(sql.open());
        QSqlQuery query(sql);
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next());
        EXPECT_EQ(query.value(0).toString(), "ok");
        ASSERT_TRUE(query.exec(QStringLiteral(
            "SELECT r.id, r.articles, length(r.figures), (SELECT count(*) FROM transfers t WHERE t.id = r.transfer_id)"
            " FROM readings r")));
        while (query.next()) {
            EXPECT_EQ(query.value(2).toLongLong(), 1 + 18 * query.value(1).toLongLong()) << query.value(0).toInt();
            EXPECT_EQ(query.value(3).toInt(), 1) << "reading " << query.value(0).toInt() << " has its entry";
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

TEST_F(PluCliReportTest, AKilledUploadLeavesWholeReadingsOrNone)
{
    const QString db = Path("HISTORY.DB");
    // Killed while reading the table, while reading the department table
    // (the totals are read, the entry not yet written), and as it logs out
    // (the entry and its reading are being written). Each time a fresh
    // register, not one left in the killed session.
    for (const QByteArray shown : {QByteArray("Upload:PLU"), QByteArray("Upload:department"), QByteArray("Disconnect")}) {
        ASSERT_TRUE(sim.Start({"--fill-demo", "--sell", "50"})) << qPrintable(sim.ErrorString());
        QProcess process;
        process.setProgram(CliProgram());
        process.setArguments(QStringList{"upload", Path("SHOP.PLU"), "--port", sim.LinkPath(), "--settings",
                                         settings});
        SignalWhenShown(process, shown, SIGKILL);
        ASSERT_TRUE(sim.Stop());
        if (QFile::exists(db))
            ExpectWholeReadings(db);
    }
    ASSERT_TRUE(sim.Start({"--fill-demo", "--sell", "50"})) << qPrintable(sim.ErrorString());
    const CliRun whole = OverSim({"upload", Path("SHOP.PLU")});
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    ExpectWholeReadings(db);
    const CliRun list = Cli({"history", "readings", "--settings", settings});
    EXPECT_TRUE(list.out.contains(" articles")) << list.out.toStdString();
    ASSERT_EQ(Report({Path("SHOP.PLU"), Path("r.csv"), "--from", "2000-01-01"}).exitCode, 0);
}

} // namespace
