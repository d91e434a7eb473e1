#include "files/FileError.h"
#include "files/TableFiles.h"
#include "support/FullDisk.h"
#include "model/Defs.h"
#include "model/RecyTable.h"
#include "model/TextTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QBuffer>
#include <gtest/gtest.h>

namespace {

class TableFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(u'.');
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { SetDecimalSeparator(u'.'); }

    QString Path(const QString& name) const { return dir.filePath(name); }

    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir dir;
    TextTable plu{TableKind::PLU};
    TextTable dept{TableKind::Department};
    RecyTable recy;
};

} // namespace

TEST_F(TableFiles, NewDocumentFiles)
{
    EXPECT_EQ(TableFileBytes(plu), QByteArray());
    EXPECT_EQ(TableFileBytes(dept), QByteArray());
    WriteRecyFile(recy, Path("new.RCY"));
    EXPECT_EQ(Bytes(Path("new.RCY")), QByteArray("\t0.00\t0\r\n").repeated(100));
}

TEST_F(TableFiles, EveryRowComesBackAtItsNumber)
{
    // Named rows 1-10 and 100, a row whose name was cleared (50), a PLU with a
    // barcode and price but no name after the last named one (200): the rows
    // between are written as they are, up to the last row that is not all
    // defaults.
    for (int row = 1; row <= 10; ++row)
        plu.SetCell(PLUColumn::Name, row, QStringLiteral("Item %1").arg(row));
    plu.SetCell(PLUColumn::Name, 100, "Milk");
    plu.SetCell(PLUColumn::Barcode, 100, "587");
    plu.SetCell(PLUColumn::UnitPrice, 100, "1.20");
    plu.SetCell(PLUColumn::Total, 100, "12");
    plu.SetCell(PLUColumn::Barcode, 50, "999");
    plu.SetCell(PLUColumn::Barcode, 200, "4006381333931");
    plu.SetCell(PLUColumn::UnitPrice, 200, "3.99");
    dept.SetCell(DeptmentColumn::Name, 3, "Bread");
    WriteTableFile(plu, Path("shop.PLU"));

    const QByteArray bytes = Bytes(Path("shop.PLU"));
    EXPECT_EQ(bytes.count("\r\n"), 200);
    EXPECT_TRUE(bytes.startsWith("\tItem 1\t0.00\t1\t0.000\t0\t0\t0\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n\t\t0.00\t1\t0.000\t0\t0\t0\r\n")) << "an empty row between";
    EXPECT_TRUE(bytes.contains("\r\n587\tMilk\t1.20\t1\t0.000\t0\t0\t12\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n4006381333931\t\t3.99\t1\t0.000\t0\t0\t0\r\n"));

    TextTable loaded(TableKind::PLU);
    ReadTableFile(loaded, Path("shop.PLU"));
    for (int row : {1, 10, 50, 100, 200}) {
        for (int col = 1; col < 9; ++col)
            EXPECT_EQ(loaded.Cell(col, row), plu.Cell(col, row)) << row << "/" << col;
    }
    EXPECT_EQ(TableFileBytes(dept), QByteArray("\t1\t0.00\r\n\t1\t0.00\r\nBread\t1\t0.00\r\n"));

    // Without gaps nothing changes: one line per named row, as always.
    TextTable contiguous(TableKind::Department);
    contiguous.SetCell(DeptmentColumn::Name, 1, "Dairy");
    contiguous.SetCell(DeptmentColumn::Name, 2, "Bread");
    EXPECT_EQ(TableFileBytes(contiguous), QByteArray("Dairy\t1\t0.00\r\nBread\t1\t0.00\r\n"));
}

TEST_F(TableFiles, LoadingSaysWhatItIgnoredOrReadDifferently)
{
    QByteArray many;
    for (int line = 1; line <= 12; ++line)
        many += "Dept " + QByteArray::number(line) + "\t1\t0.00\r\n";
    Write(Path("many.DEP"), many);
    ReadNotes notes;
    ReadTableFile(dept, Path("many.DEP"), &notes);
    EXPECT_EQ(dept.Cell(DeptmentColumn::Name, 9), "Dept 9");
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].contains("after line 9 were ignored")) << notes[0].toStdString();

    // Lines ended by CR alone are lines, not one long line.
    notes.clear();
    QByteArray crOnly("1\tTea\t1.00\r2\tMilk\t0.90\r");
    QBuffer buffer(&crOnly);
    buffer.open(QIODevice::ReadOnly);
    ReadTable(plu, buffer, "mac.PLU", &notes);
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1), "Tea");
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 1), "1.00");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2), "Milk");
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].startsWith("mac.PLU: the lines end with CR alone")) << notes[0].toStdString();
}

TEST_F(TableFiles, ReadingStopsAtTheLastRow)
{
    QByteArray bytes;
    for (int line = 1; line <= 3100; ++line)
        bytes += QByteArray::number(line) + "\tN" + QByteArray::number(line) + "\r\n";
    Write(Path("long.PLU"), bytes);
    ReadTableFile(plu, Path("long.PLU"));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 3000), "N3000");
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 1), "1");
    EXPECT_EQ(TableFileBytes(plu).count("\r\n"), 3000) << "a name in the last row saves every row";
}

TEST_F(TableFiles, FieldsAreTakenAsTheyAre)
{
    plu.SetCell(PLUColumn::Stocks, 2, "7.000");
    plu.SetCell(PLUColumn::Barcode, 3, "123");
    // Extra fields are cut; missing fields leave cells alone; an empty line
    // empties column 1 of its row; nothing is checked; LF alone ends a line.
    Write(Path("odd.PLU"), "1\ta\t2\t3\t4\t5\t6\t7\textra\tmore\r\n"
                           "2\tb\r\n"
                           "\n"
                           "00042\ta name far longer than eighteen\tabc\n"
                           "5\tcr\rinside\r\r\n"
                           "last\twithout end");
    ReadTableFile(plu, Path("odd.PLU"));
    EXPECT_EQ(plu.Cell(PLUColumn::Total, 1), "7");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2), "b");
    EXPECT_EQ(plu.Cell(PLUColumn::Stocks, 2), "7.000");
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 3), "");
    EXPECT_EQ(plu.Cell(PLUColumn::Barcode, 4), "00042");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), "a name far longer than eighteen");
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 4), "abc");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 5), "cr\rinside\r");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 6), "without end");
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 7), "");
}

TEST_F(TableFiles, SingleByteTextsRoundTrip)
{
    QByteArray name;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        name += static_cast<char>(byte);
    const QByteArray line = "1\t" + name.left(64) + "\t0.00\t1\t0.000\t0\t0\t0\r\n"
                            "2\t" + name.mid(64) + "\t0.00\t1\t0.000\t0\t0\t0\r\n";
    Write(Path("latin.PLU"), line);
    ReadTableFile(plu, Path("latin.PLU"));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1).at(0), QChar(0x80));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 2).back(), QChar(0xFF));
    WriteTableFile(plu, Path("again.PLU"));
    EXPECT_EQ(Bytes(Path("again.PLU")), line);
}

TEST_F(TableFiles, RecyclingLinesNeedThreeFields)
{
    recy.SetCell(RecyColumn::Barcode, 3, "kept");
    Write(Path("r.RCY"), "1\t2.00\r\n"
                         "5\t3.00\t42\textra\r\n"
                         "\r\n"
                         "6\t4.00\t43\n");
    ReadRecyFile(recy, Path("r.RCY"));
    EXPECT_EQ(recy.Cell(RecyColumn::PluNumber, 1), "5");
    EXPECT_EQ(recy.Cell(RecyColumn::Barcode, 1), "42");
    EXPECT_EQ(recy.Cell(RecyColumn::PackagePrice, 2), "4.00");
    EXPECT_EQ(recy.Cell(RecyColumn::Barcode, 3), "kept");
}

TEST_F(TableFiles, MissingAndUnreadableFiles)
{
    plu.SetCell(PLUColumn::Name, 1, "stays");
    ReadTableFile(plu, Path("none.PLU"));
    ReadRecyFile(recy, Path("none.RCY"));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1), "stays");
    EXPECT_EQ(recy, RecyTable());

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.PLU"));
    EXPECT_THROW(ReadTableFile(plu, Path("folder.PLU")), FileError);
    try {
        WriteTableFile(plu, Path("missing/shop.PLU"));
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).contains(Path("missing/shop.PLU")));
    }
}

TEST_F(TableFiles, AFullDiskKeepsTheOldFileAndSaysWhy)
{
    FullDisk disk;
    ASSERT_TRUE(disk.IsReady()) << disk.Problem().toStdString();
    const QByteArray old("1\told\t0.00\t1\t0.000\t0\t0\t0\r\n");
    Write(disk.Path("shop.PLU"), old);
    // Small enough for any write buffer: only a checked flush sees the failure.
    plu.SetCell(PLUColumn::Name, 1, "new");
    disk.Fill();
    try {
        WriteTableFile(plu, disk.Path("shop.PLU"));
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_TRUE(error.Reason().contains(disk.Reason())) << error.Message().toStdString();
    }
    EXPECT_EQ(Bytes(disk.Path("shop.PLU")), old);
    QStringList left{"shop.PLU"};
    if (disk.IsTmpfs())
        left.prepend("filler");
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden), left) << "no temporary file stays";
}
