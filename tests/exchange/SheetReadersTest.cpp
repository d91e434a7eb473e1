#include "exchange/CsvSheet.h"
#include "exchange/XlsxReader.h"

#include "ZipParts.h"

#include <gtest/gtest.h>

namespace {

QList<QStringList> Cells(const Sheet& sheet)
{
    QList<QStringList> cells;
    for (const SheetRow& row : sheet.rows)
        cells.append(row.cells);
    return cells;
}

QList<int> Lines(const Sheet& sheet)
{
    QList<int> lines;
    for (const SheetRow& row : sheet.rows)
        lines.append(row.line);
    return lines;
}

TEST(CsvSheet, QuotedFieldsBlankLinesAndDelimitersAsSpreadsheetsWriteThem)
{
    const SheetRead read = ReadCsvSheet("\xEF\xBB\xBFNO.,Name\r\n"
                                        "1,\"Milk, 1 l\"\r\n"
                                        "\r\n"
                                        "2,\"5\"\" nails\"\r\n"
                                        "3,\"two\nlines\"\r\n"
                                        "4, kept blanks \r\n"
                                        ",\r\n"
                                        "5,last");
    ASSERT_TRUE(read.Ok()) << read.error.toStdString();
    EXPECT_EQ(Cells(read.sheet),
              (QList<QStringList>{{"NO.", "Name"}, {"1", "Milk, 1 l"}, {"2", "5\" nails"}, {"3", "two\nlines"},
                                  {"4", " kept blanks "}, {"5", "last"}}));
    // Lines as a spreadsheet numbers them: blank lines count, a quoted line break does not.
    EXPECT_EQ(Lines(read.sheet), (QList<int>{1, 2, 4, 5, 6, 8}));

    EXPECT_EQ(Cells(ReadCsvSheet("NO.;Unit price\n7;1,50\n").sheet),
              (QList<QStringList>{{"NO.", "Unit price"}, {"7", "1,50"}}));
    EXPECT_EQ(Cells(ReadCsvSheet("NO.\tName\n8\ta;b,c\n").sheet),
              (QList<QStringList>{{"NO.", "Name"}, {"8", "a;b,c"}}));
}

TEST(CsvSheet, TextIsUtf8OrElseWindows1252)
{
    EXPECT_EQ(Cells(ReadCsvSheet("NO.,Name\n1,Caf\xC3\xA9\n").sheet).back().back(), QString::fromUtf8("Café"));
    EXPECT_EQ(Cells(ReadCsvSheet("NO.,Name\n1,Caf\xE9 \x80\n").sheet).back().back(), QString::fromUtf8("Café €"));
}

TEST(CsvSheet, Utf16WithItsByteOrderMarkIsReadAndOtherWideTextRefusedByName)
{
    const QString text = QString::fromUtf8("NO.\tName\r\n1\tCaf\u00e9 \u20ac\r\n");
    QByteArray little("\xFF\xFE");
    QByteArray big("\xFE\xFF");
    for (const QChar ch : text) {
        little += char(ch.unicode() & 0xFF);
        little += char(ch.unicode() >> 8);
        big += char(ch.unicode() >> 8);
        big += char(ch.unicode() & 0xFF);
    }
    const QList<QStringList> expected{{"NO.", "Name"}, {"1", QString::fromUtf8("Caf\u00e9 \u20ac")}};
    EXPECT_EQ(Cells(ReadCsvSheet(little).sheet), expected) << ReadCsvSheet(little).error.toStdString();
    EXPECT_EQ(Cells(ReadCsvSheet(big).sheet), expected) << ReadCsvSheet(big).error.toStdString();

    const SheetRead noMark = ReadCsvSheet(little.mid(2));
    EXPECT_EQ(noMark.error, "The file holds zero bytes: it is not CSV text, or it is UTF-16 text without a byte-order "
                            "mark; save the sheet as CSV in UTF-8.");
    EXPECT_EQ(ReadCsvSheet(QByteArray("\xFF\xFE\0\0N\0\0\0", 8)).error,
              "The file is UTF-32 text; save the sheet as CSV in UTF-8.");
    // Not read as "?x", nor with its last byte dropped.
    EXPECT_EQ(ReadCsvSheet(QByteArray("\xFF\xFEN\0\n\0\x00\xDCx\0", 10)).error,
              "The file starts as UTF-16 text but is not valid UTF-16.");
    EXPECT_FALSE(ReadCsvSheet(QByteArray("\xFF\xFEN\0,", 5)).Ok());
}

TEST(CsvSheet, BrokenOrOversizedFilesAreRefused)
{
    const SheetRead broken = ReadCsvSheet("NO.,Name\n1,\"open quote\n2,x\n");
    EXPECT_FALSE(broken.Ok());

    QByteArray many = "NO.\n";
    for (int i = 0; i <= SheetLimits::kMaxDataRows; ++i)
        many += "1\n";
    EXPECT_EQ(ReadCsvSheet(many).error, TooManyRowsError());

    EXPECT_FALSE(ReadCsvSheet(QByteArray(SheetLimits::kMaxBytes + 1, 'x')).Ok());
}

TEST(CsvSheet, WritesBomCrLfAndQuotesOnlyWhereNeeded)
{
    EXPECT_EQ(CsvSheetBytes({{"NO.", "Name"}, {"1", "a,b"}, {"2", "say \"hi\""}, {"3", " x"}, {"4", "plain;"}}, ','),
              QByteArray("\xEF\xBB\xBFNO.,Name\r\n1,\"a,b\"\r\n2,\"say \"\"hi\"\"\"\r\n3,\" x\"\r\n4,plain;\r\n"));
    EXPECT_EQ(CsvSheetBytes({{"1", "plain;"}}, ';'), QByteArray("\xEF\xBB\xBF" "1;\"plain;\"\r\n"));
}

TEST(XlsxReader, HandMadeWorkbookWithInlineAndSharedStringsAndNumbers)
{
    const QByteArray workbook =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"Prices\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>";
    const QByteArray rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/prices.xml\"/>"
        "<Relationship Id=\"rId8\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"strings.xml\"/>"
        "</Relationships>";
    const QByteArray strings =
        "<sst><si><t>Name</t></si><si><r><t>Bread </t></r><r><t>rolls</t></r><rPh><t>x</t></rPh></si></sst>";
    const QByteArray sheet = WorksheetXml(
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>NO.</t></is></c><c r=\"B1\" t=\"s\"><v>0</v></c>"
        "<c r=\"D1\" t=\"inlineStr\"><is><t>Unit price</t></is></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>12</v></c><c r=\"B3\" t=\"s\"><v>1</v></c><c r=\"D3\"><v>2.2999999999999998</v></c></row>"
        "<row r=\"4\"><c r=\"A4\"><v>4.006381333931E12</v></c><c r=\"B4\" t=\"str\"><f>A1</f><v>f</v></c></row>");
    const SheetRead read = ReadXlsxSheet(ZipOf({{"xl/workbook.xml", workbook},
                                                {"xl/_rels/workbook.xml.rels", rels},
                                                {"xl/strings.xml", strings},
                                                {"xl/worksheets/prices.xml", sheet}}));
    ASSERT_TRUE(read.Ok()) << read.error.toStdString();
    EXPECT_EQ(Cells(read.sheet), (QList<QStringList>{{"NO.", "Name", "", "Unit price"},
                                                     {"12", "Bread rolls", "", "2.3"},
                                                     {"4006381333931", "f"}}));
    EXPECT_EQ(Lines(read.sheet), (QList<int>{1, 3, 4}));

    // Empty cells far to the right are left out; values there are refused.
    const auto farRight = [](const QByteArray& value) {
        return ReadXlsxSheet(ZipOf({{"xl/worksheets/sheet1.xml", WorksheetXml(
            "<row><c r=\"A1\"><v>1</v></c><c r=\"XFD1\" s=\"3\">" + value + "</c></row>")}}));
    };
    EXPECT_EQ(Cells(farRight("").sheet), (QList<QStringList>{{"1"}}));
    EXPECT_FALSE(farRight("<v>2</v>").Ok());

    // Without workbook relations the first sheet is read from its usual place.
    const SheetRead bare = ReadXlsxSheet(ZipOf({{"xl/worksheets/sheet1.xml", WorksheetXml(
        "<row><c t=\"inlineStr\"><is><t>NO.</t></is></c></row>")}}));
    EXPECT_EQ(Cells(bare.sheet), (QList<QStringList>{{"NO."}}));
}

TEST(XlsxReader, RefusesBrokenWorkbooksAndZipBombs)
{
    EXPECT_FALSE(ReadXlsxSheet("not a zip").Ok());
    EXPECT_FALSE(ReadXlsxSheet(ZipOf({{"xl/other.xml", "x"}})).Ok());
    EXPECT_FALSE(ReadXlsxSheet(ZipOf({{"xl/worksheets/sheet1.xml", WorksheetXml("<row><c t=\"s\"><v>3</v></c></row>")}})).Ok());
    EXPECT_FALSE(ReadXlsxSheet(ZipOf({{"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row>"}})).Ok());

    // Zeros inflate a thousandfold: a small file that would fill the memory.
    const SheetRead bomb = ReadXlsxSheet(
        ZipOf({{"xl/worksheets/sheet1.xml", WorksheetXml("")}, {"xl/media/pad.bin", QByteArray(SheetLimits::kMaxBytes, '\0')}}));
    EXPECT_NE(bomb.error.indexOf("inflate"), -1) << bomb.error.toStdString();

    QByteArray rows;
    for (int i = 0; i <= SheetLimits::kMaxDataRows + 1; ++i)
        rows += "<row><c><v>1</v></c></row>";
    EXPECT_EQ(ReadXlsxSheet(ZipOf({{"xl/worksheets/sheet1.xml", WorksheetXml(rows)}})).error, TooManyRowsError());
}

} // namespace
