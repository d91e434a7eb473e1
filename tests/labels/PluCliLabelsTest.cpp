// Shelf labels from the command line, checked as a user sees them: the PDF's
// pages and texts, and the barcodes a scanner reads off a 300 dpi rendering.

#include "CliFixture.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <algorithm>

namespace {

class PluCliLabelsTest : public CliFixture
{
protected:
    struct Article
    {
        QByteArray barcode;
        QByteArray name;
        QByteArray price;
        int department = 1;
    };

    void WriteShop(const std::vector<Article>& articles)
    {
        QByteArray plu;
        for (const Article& article : articles)
            plu += article.barcode + "\t" + article.name + "\t" + article.price + "\t"
                   + QByteArray::number(article.department) + "\t0.000\t0\t0\t0\r\n";
        WriteFile(Path("SHOP.PLU"), plu);
        QByteArray dep;
        for (int d = 1; d <= 9; ++d)
            dep += "Aisle " + QByteArray::number(d) + "\t1\t0.00\r\n";
        WriteFile(Path("SHOP.DEP"), dep);
    }

    // PLUs 1..count named "Item n" at n.25 without barcodes.
    void WriteItems(int count)
    {
        std::vector<Article> articles;
        for (int n = 1; n <= count; ++n)
            articles.push_back({"", "Item " + QByteArray::number(n), QByteArray::number(n) + ".25", n % 9 + 1});
        WriteShop(articles);
    }

    CliRun Labels(const QStringList& options, const QString& pdf = QStringLiteral("out.pdf"))
    {
        return Cli(QStringList{"labels", Path("SHOP.PLU"), Path(pdf), "--settings", settings} + options);
    }

    QString Tool(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    int Pages(const QString& pdf)
    {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Tool("pdfinfo", {Path(pdf)}));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    QString PageSize(const QString& pdf)
    {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+) pts")).match(Tool("pdfinfo", {Path(pdf)}));
        return match.captured(1);
    }

    QString Text(const QString& pdf) { return Tool("pdftotext", {"-enc", "UTF-8", Path(pdf), "-"}); }

    // What a scanner reads off the first page printed at 300 dpi.
    QStringList Scanned(const QString& pdf)
    {
        Tool("pdftoppm", {"-r", "300", "-png", "-f", "1", "-l", "1", "-singlefile", Path(pdf), Path("scan")});
        QStringList codes = Tool("zbarimg", {"-q", "--raw", Path("scan.png")}).split('\n', Qt::SkipEmptyParts);
        codes.sort();
        return codes;
    }

    // Files in the folder besides the document and the settings.
    QStringList Leftovers()
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files);
        names.removeAll(QStringLiteral("SHOP.PLU"));
        names.removeAll(QStringLiteral("SHOP.DEP"));
        names.removeAll(QStringLiteral("SYSTEM.CFG"));
        return names;
    }
};

TEST_F(PluCliLabelsTest, BarcodesScanAsTheirCellsAndTextsAreOnThePage)
{
    WriteShop({{"4006381333931", "Whole milk", "1.29", 2},
               {"96385074", "Rye bread", "2.49", 3},
               {"36000291452", "Towels", "4.99"},          // 11 digits: Code 128
               {"725272730706", "Batteries", "7.95"},      // UPC-A
               {"4006381333932", "Wrong check", "1.00"},   // Code 128 with a warning
               {"", "Cr\xE8me br\xFBl\xE9" "e", "2.20"},   // Latin-1 name, no barcode
               {"123456", "Apples", "0.89"}});
    const CliRun run = Labels({"--currency", "EUR"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Saved 7 labels on 1 page to")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("warning: PLU 5: the check digit of EAN-13 4006381333932 should be 1"))
        << run.err.toStdString();
    EXPECT_EQ(Pages("out.pdf"), 1);

    const QString text = Text("out.pdf");
    for (const char* shown : {"Whole milk", "Rye bread", "Towels", "Batteries", "Wrong check",
                              "Crème brûlée", "Apples", "1.29", "2.49", "4.99", "7.95", "1.00", "2.20", "0.89",
                              "EUR", "PLU 3", "Aisle 2"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown << "\n" << text.toStdString();

    // zbarimg reads a UPC-A as 13 digits with a leading 0.
    const QStringList expected{"0725272730706", "123456", "36000291452", "4006381333931", "4006381333932",
                               "96385074"};
    EXPECT_EQ(Scanned("out.pdf"), expected);
}

TEST_F(PluCliLabelsTest, EveryLayoutGivesItsPageAndSmallLabelsStillScan)
{
    WriteShop({{"4006381333931", "Whole milk", "1.29"}, {"96385074", "Rye bread", "2.49"}});
    const std::vector<std::pair<QString, QString>> sizes{{"a4-3x8", "595 x 842"},
                                                         {"a4-4x10", "595 x 842"},
                                                         {"letter-3x10", "612 x 792"},
                                                         {"roll-58x40", "164 x 113"}};
    for (const auto& [layout, size] : sizes) {
        const CliRun run = Labels({"--layout", layout}, layout + ".pdf");
        ASSERT_EQ(run.exitCode, 0) << layout.toStdString() << run.err.toStdString();
        EXPECT_EQ(PageSize(layout + ".pdf"), size) << layout.toStdString();
        EXPECT_EQ(Pages(layout + ".pdf"), layout.startsWith("roll") ? 2 : 1) << layout.toStdString();
        EXPECT_TRUE(Scanned(layout + ".pdf").contains("4006381333931")) << layout.toStdString();
    }
    const CliRun custom = Labels({"--page", "100x60", "--grid", "2x2", "--label", "45x25", "--margins", "4,3",
                                  "--gaps", "2,2"}, "custom.pdf");
    ASSERT_EQ(custom.exitCode, 0) << custom.err.toStdString();
    EXPECT_EQ(PageSize("custom.pdf"), "283 x 170");

    const CliRun list = Cli({"labels", "--list-layouts"});
    EXPECT_EQ(list.exitCode, 0);
    for (const char* name : {"a4-3x8", "a4-3x7", "a4-2x8", "a4-4x10", "letter-3x10", "roll-58x40", "custom"})
        EXPECT_TRUE(list.out.contains(QString::fromLatin1(name) + "\t")) << name;
}

TEST_F(PluCliLabelsTest, CopiesSkipRowsAndDepartmentChooseTheLabels)
{
    WriteItems(40);
    // 3 articles (PLUs 10..12) x 3 copies after 20 used labels: 29 places, two sheets of 24.
    CliRun run = Labels({"--rows", "10-12", "--copies", "3", "--skip", "20"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Saved 9 labels on 2 pages")) << run.out.toStdString();
    EXPECT_EQ(Pages("out.pdf"), 2);
    const QString text = Text("out.pdf");
    EXPECT_EQ(text.count("Item 10"), 3);
    EXPECT_EQ(text.count("Item 12"), 3);
    EXPECT_FALSE(text.contains("Item 13"));

    // Department 2 holds PLUs 1, 10, 19, 28, 37.
    run = Labels({"--department", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Saved 5 labels on 1 page")) << run.out.toStdString();
    EXPECT_TRUE(Text("out.pdf").contains("Item 37"));
    EXPECT_FALSE(Text("out.pdf").contains("Item 2\n"));
}

TEST_F(PluCliLabelsTest, BadRequestsAreRefusedWithTheirReasonAndLeaveNoFile)
{
    WriteItems(3);
    WriteFile(Path("old.pdf"), "old");
    const std::vector<std::pair<QStringList, const char*>> refused{
        {{"--page", "58x40", "--grid", "1x1", "--label", "70x37"}, "is larger than the page"},
        {{"--grid", "3x8", "--label", "70x37", "--margins", "1,1"}, "with its margins needs 211.0 x 297.0 mm"},
        {{"--grid", "0x8", "--label", "70x37"}, "at least 1 column and 1 row"},
        {{"--copies", "0"}, "copies must be 1 to 100"},
        {{"--copies", "101"}, "copies must be 1 to 100"},
        {{"--skip", "24"}, "skip must be 0 to 23"},
        {{"--layout", "a5"}, "no layout \"a5\""},
        {{"--rows", "5-2"}, "--rows takes all, changed or FROM-TO"},
        {{"--department", "10"}, "--department takes 1 to 9"},
        {{"--layout", "a4-3x8", "--grid", "2x2"}, "exclude each other"},
        {{"--frobnicate"}, "does not apply to labels"},
    };
    for (const auto& [options, reason] : refused) {
        const CliRun run = Labels(options, "old.pdf");
        EXPECT_EQ(run.exitCode, 2) << options.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(reason))) << run.err.toStdString();
    }
    EXPECT_EQ(ReadFile(Path("old.pdf")), "old");

    // Nothing known of the register: --rows changed fails and says so.
    const CliRun changed = Labels({"--rows", "changed", "--port", "COM2"}, "new.pdf");
    EXPECT_EQ(changed.exitCode, 1);
    EXPECT_TRUE(changed.err.contains("Nothing is known yet of what the register at COM2 holds"))
        << changed.err.toStdString();
    // No article chosen, or a folder that does not exist: no file either.
    EXPECT_EQ(Labels({"--rows", "100-200"}, "new.pdf").exitCode, 1);
    EXPECT_EQ(Labels({}, "missing/new.pdf").exitCode, 1);
    EXPECT_EQ(Leftovers(), QStringList{"old.pdf"});

    EXPECT_EQ(Cli({"labels", Path("SHOP.PLU")}).exitCode, 2);
    EXPECT_EQ(Cli({"labels", Path("SHOP.PLU"), Path("out.txt")}).exitCode, 2);
}

TEST_F(PluCliLabelsTest, ChangedRowsFollowWhatTheRegisterWasLastGiven)
{
    ASSERT_TRUE(sim.Start());
    WriteItems(6);
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-6"}).exitCode, 0);
    const QStringList changed{"labels", Path("SHOP.PLU"), Path("changed.pdf"), "--rows", "changed",
                              "--port", sim.LinkPath(), "--settings", settings};

    CliRun run = Cli(changed);
    EXPECT_EQ(run.exitCode, 1) << "nothing changed: no article to label";

    // A new price for PLU 2 and a new name for PLU 5; PLU 4's stock is no change for a label.
    WriteShop({{"", "Item 1", "1.25"}, {"", "Item 2", "2.75"}, {"", "Item 3", "3.25"},
               {"", "Item 4", "4.25"}, {"", "Fresh name", "5.25"}, {"", "Item 6", "6.25"}});
    run = Cli(changed);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Saved 2 labels")) << run.out.toStdString();
    const QString text = Text("changed.pdf");
    EXPECT_TRUE(text.contains("Item 2")) << text.toStdString();
    EXPECT_TRUE(text.contains("2.75"));
    EXPECT_TRUE(text.contains("Fresh name"));
    EXPECT_FALSE(text.contains("Item 1"));
    EXPECT_FALSE(text.contains("Item 4"));

    // Once the register has them, nothing is changed any more.
    ASSERT_EQ(OverSim({"download", Path("SHOP.PLU"), "--range", "1-6"}).exitCode, 0);
    EXPECT_EQ(Cli(changed).exitCode, 1);
}

TEST_F(PluCliLabelsTest, ThreeThousandArticlesMakeOneHundredTwentyFivePages)
{
    WriteItems(3000);
    const CliRun run = Labels({"--layout", "a4-3x8"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Saved 3000 labels on 125 pages")) << run.out.toStdString();
    EXPECT_EQ(Pages("out.pdf"), 125);
}

} // namespace
