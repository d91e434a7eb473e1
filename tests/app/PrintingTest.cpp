#include "app/Printing.h"

#include "model/TextTable.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The text of a PDF file, or nothing when the converter is not installed.
std::optional<QString> PdfText(const QString& path)
{
    const QString converter = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (converter.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(converter, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(PrintingTest, OnlyNamedRowsAreListedInRowOrder)
{
    TextTable plu(TableKind::PLU);
    EXPECT_TRUE(PluListingLines(plu).isEmpty());

    plu.SetCell(1, 7, QStringLiteral("587"));
    plu.SetCell(2, 7, QStringLiteral("Bread"));
    plu.SetCell(3, 7, QStringLiteral("1.50"));
    plu.SetCell(1, 3, QStringLiteral("123"));
    plu.SetCell(3, 3, QStringLiteral("9.99"));
    plu.SetCell(2, 3000, QStringLiteral("Last"));
    plu.SetCell(6, 3000, QStringLiteral("1"));

    EXPECT_EQ(PluListingLines(plu),
              QStringList({"587\tBread\t1.50\t1\t0.000\t0\t0\t0", "\tLast\t0.00\t1\t0.000\t1\t0\t0"}));
}

TEST(PrintingTest, TheListingReachesThePrinterPageByPage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("listing.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);

    TextTable plu(TableKind::PLU);
    for (int row = 1; row <= 150; ++row)
        plu.SetCell(2, row, QStringLiteral("Item-%1").arg(row));
    plu.SetCell(1, 200, QStringLiteral("999"));
    ASSERT_EQ(PrintPluListing(plu, printer), QString());

    const auto text = PdfText(path);
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text->contains(QStringLiteral("Item-1 ")));
    EXPECT_TRUE(text->contains(QStringLiteral("Item-150")));
    EXPECT_FALSE(text->contains(QStringLiteral("999")));
    // 150 lines do not fit on one page.
    EXPECT_GE(text->count(QLatin1Char('\f')), 2);
    // TABs become column stops: the price column lines up.
    EXPECT_TRUE(text->contains(QRegularExpression(QStringLiteral("Item-9 +0\\.00 +1 +0\\.000"))));
}

TEST(PrintingTest, AJobThatCannotStartIsReported)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/listing.pdf"));
    TextTable plu(TableKind::PLU);
    plu.SetCell(2, 1, QStringLiteral("Bread"));
    EXPECT_FALSE(PrintPluListing(plu, printer).isEmpty());
}

} // namespace
