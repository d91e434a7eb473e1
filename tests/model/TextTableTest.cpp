#include "model/Defs.h"
#include "model/Language.h"
#include "model/TextTable.h"

#include <QLocale>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class TextTableTest : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(u'.'); }
    void TearDown() override
    {
        SetDecimalSeparator(u'.');
        ResetTexts();
    }

    // A text typed into a cell of row 1 and the text the cell holds after it
    // is left; nullptr when leaving is refused (the typed text then stays).
    struct Case
    {
        int col;
        const char* typed;
        const char* left;
    };

    static void Expect(TextTable& table, const Case& c)
    {
        table.SetCell(c.col, 1, c.typed);
        const bool valid = table.ValidateCell(c.col, 1);
        EXPECT_EQ(valid, c.left != nullptr) << c.col << " '" << c.typed << "'";
        EXPECT_EQ(table.Cell(c.col, 1), valid ? c.left : c.typed) << c.col << " '" << c.typed << "'";
    }

    QStringList Names(int first, int last) const
    {
        QStringList names;
        for (int row = first; row <= last; ++row)
            names << plu.Cell(PLUColumn::Name, row);
        return names;
    }

    TextTable plu{TableKind::PLU};
    TextTable dept{TableKind::Department};
};

QModelIndex Corner(const QSignalSpy& spy, int which)
{
    return spy.at(0).at(which).value<QModelIndex>();
}

} // namespace

TEST_F(TextTableTest, PLUCellChecks)
{
    const Case cases[] = {
        {PLUColumn::UnitPrice, "", "0.00"},       {PLUColumn::Department, "", "1"},
        {PLUColumn::Name, "", ""},                {PLUColumn::Barcode, "", ""},
        {PLUColumn::UnitPrice, "5", "5.00"},      {PLUColumn::UnitPrice, "-3", "-3.00"},
        {PLUColumn::UnitPrice, "999999.99", "999999.99"},
        {PLUColumn::UnitPrice, "1000000", nullptr}, {PLUColumn::UnitPrice, "1.5.1", nullptr},
        {PLUColumn::UnitPrice, "-", nullptr},     {PLUColumn::UnitPrice, "1234567890", nullptr},
        {PLUColumn::Stocks, "-79999.999", "-79999.999"},
        {PLUColumn::Stocks, "80000", nullptr},    {PLUColumn::Stocks, "-80000", nullptr},
        {PLUColumn::Stocks, "2.5", "2.500"},
        // What the check wrote passes again, even beyond the typing limit.
        {PLUColumn::Stocks, "-79999.9", "-79999.900"},
        {PLUColumn::Stocks, "-79999.900", "-79999.900"},
        {PLUColumn::Stocks, "-079999.90", nullptr},
        {PLUColumn::Barcode, "000587", "587"},    {PLUColumn::Barcode, "12a", nullptr},
        {PLUColumn::Department, "9", "9"},        {PLUColumn::Department, "0", nullptr},
        {PLUColumn::Flag, "1", "1"},              {PLUColumn::Flag, "2", nullptr},
        {PLUColumn::Quantity, "1-2", "1-2"},      {PLUColumn::Total, "12345678901", nullptr},
        {PLUColumn::Name, "abcdefghijklmnopqr", "abcdefghijklmnopqr"},
        {PLUColumn::Name, "abcdefghijklmnopqrs", nullptr},
    };
    for (const Case& c : cases)
        Expect(plu, c);

    SetDecimalSeparator(u',');
    Expect(plu, {PLUColumn::UnitPrice, "5,5", "5,50"});
    // "." where the separator is "," is taken as the separator.
    Expect(plu, {PLUColumn::UnitPrice, "5.5", "5,50"});
    Expect(plu, {PLUColumn::UnitPrice, "", "0,00"});
}

TEST_F(TextTableTest, OneJudgementGivesTheWrittenFormOrTheReason)
{
    const auto judged = [this](int col, const char* text, std::optional<int> decimals = std::nullopt) {
        const CellJudgement j = plu.JudgeText(col, QString::fromLatin1(text), decimals);
        return j.Taken() ? j.text : "refused: " + j.refusal;
    };
    // What passes is what is sent: "1,50" is 1.50, not 0.
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1,50"), "1.50");
    EXPECT_EQ(judged(PLUColumn::Stocks, " 2,5 "), "2.500");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1e-7"),
              "refused: 1e-7 is not a plain number: write it with digits and at most one \".\"");
    EXPECT_EQ(judged(PLUColumn::Department, "01"), "refused: it is longer than 1 character");
    EXPECT_EQ(judged(PLUColumn::Department, "12"), "refused: a whole number from 1 to 9");
    EXPECT_EQ(judged(PLUColumn::Name, "abcdefghijklmnopqrs"), "refused: it is longer than 18 characters");
    EXPECT_EQ(judged(PLUColumn::Flag, "2"), "refused: a whole number from 0 to 1");
    EXPECT_EQ(judged(PLUColumn::Name, "a\x1b"), "refused: it holds a control character (code 27)");
    EXPECT_EQ(judged(PLUColumn::Stocks, "2.5555"), "refused: it has more than 3 decimals");
    EXPECT_EQ(judged(PLUColumn::Stocks, "80000"), "refused: from -79999.999 to 79999.999");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1.2.3"), "refused: \".\" cannot be typed there: it takes a number: "
                                                     "digits, one \"-\" and one \".\"");

    // A price keeps its decimals until the register's are known; then it must
    // be stored exactly.
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1.555"), "1.555");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1.230", 2), "1.230");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1.19", 0), "refused: the register keeps 0 decimals: 1.19 cannot be stored");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1.555", 2), "refused: the register keeps 2 decimals: 1.555 cannot be stored");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "1.234", 1), "refused: the register keeps 1 decimal: 1.234 cannot be stored");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "15", 0), "15.00");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "-99999999", 2), "refused: -99999999.00 is beyond what the register can store");
    EXPECT_EQ(judged(PLUColumn::UnitPrice, "999999.99", 4),
              "refused: 999999.99 is beyond what the register can store");
    EXPECT_EQ(judged(PLUColumn::Stocks, "1.5", 0), "1.500") << "stocks always travel in thousandths";

    // The status bar says why the cell it stands on is refused.
    plu.SetCell(PLUColumn::Department, 4, QStringLiteral("0"));
    EXPECT_EQ(plu.RefusalReason(PLUColumn::Department, 4), "Department: a whole number from 1 to 9");
    EXPECT_EQ(plu.RefusalReason(PLUColumn::Department, 5), QString());
}

TEST_F(TextTableTest, RefusalsAreWordedByTheLanguageTableWithPlainNumbers)
{
    const auto slot = [](const char* key) { return Language::Slot(u"CellRules", QString::fromLatin1(key)); };
    Language::Install({{slot("TooLongOne"), QStringLiteral("länger als ein Zeichen")},
                       {slot("TooLong"), QStringLiteral("länger als %1 Zeichen")},
                       {slot("WholeRange"), QStringLiteral("eine ganze Zahl von %1 bis %2")},
                       {slot("DecimalAtMost"), QStringLiteral("höchstens %1")},
                       {slot("RegisterDecimals"), QStringLiteral("%2 braucht mehr als %1 Nachkommastellen")},
                       {slot("ColumnRefusal"), QStringLiteral("%1 — %2")},
                       // Drops the count: refused, the English sentence is kept.
                       {slot("TooManyDecimals"), QStringLiteral("zu viele Nachkommastellen")}});
    // The windows' numbers follow the operator's locale; a cell's reason
    // stays in the register's way of writing them.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto refusal = [this](int col, const char* text, std::optional<int> decimals = std::nullopt) {
        return plu.JudgeText(col, QString::fromLatin1(text), decimals).refusal;
    };
    EXPECT_EQ(refusal(PLUColumn::Department, "01"), QStringLiteral("länger als ein Zeichen"));
    EXPECT_EQ(refusal(PLUColumn::Name, "abcdefghijklmnopqrs"), QStringLiteral("länger als 18 Zeichen"));
    EXPECT_EQ(refusal(PLUColumn::UnitPrice, "1000000"), QStringLiteral("höchstens 999999.99"));
    EXPECT_EQ(refusal(PLUColumn::UnitPrice, "1.555", 2), "1.555 braucht mehr als 2 Nachkommastellen");
    EXPECT_EQ(refusal(PLUColumn::Stocks, "2.5555"), "it has more than 3 decimals");
    plu.SetCell(PLUColumn::Department, 4, QStringLiteral("0"));
    EXPECT_EQ(plu.RefusalReason(PLUColumn::Department, 4), "Department — eine ganze Zahl von 1 bis 9");
    EXPECT_TRUE(Language::Problems().join(u'\n').contains(QStringLiteral("TooManyDecimals")));
    QLocale::setDefault(before);
    Language::Install({});
}

TEST_F(TextTableTest, LastUsedRowIsTheLastRowThatDiffersFromTheDefaults)
{
    EXPECT_EQ(plu.LastUsedRow(), 0);
    plu.SetCell(PLUColumn::Name, 1, QStringLiteral("Milk 1l"));
    plu.SetCell(PLUColumn::Barcode, 50, QStringLiteral("4006381333931"));
    EXPECT_EQ(plu.LastUsedRow(), 50) << "a row without a name counts";
    EXPECT_FALSE(plu.HoldsOnlyDefaults(50));
    EXPECT_TRUE(plu.HoldsOnlyDefaults(49));
    // An unused PLU as an upload from a three-decimal register writes it.
    for (const auto& [col, text] : {std::pair{PLUColumn::Barcode, "0"}, {PLUColumn::UnitPrice, "0.000"},
                                    {PLUColumn::Stocks, "0.000"}})
        plu.SetCell(col, 60, QString::fromLatin1(text));
    EXPECT_TRUE(plu.HoldsOnlyDefaults(60));
    EXPECT_EQ(plu.LastUsedRow(), 50);
    plu.SetCell(PLUColumn::Barcode, 50, QString());
    plu.SetCell(PLUColumn::Stocks, 3000, QStringLiteral("1.000"));
    EXPECT_EQ(plu.LastUsedRow(), 3000);
}

TEST_F(TextTableTest, DepartmentCellChecks)
{
    for (const Case& c : {Case{DeptmentColumn::Tax, "", "1"}, Case{DeptmentColumn::Tax, "0", nullptr},
                          Case{DeptmentColumn::UnitPrice, "7.1", "7.10"},
                          Case{DeptmentColumn::UnitPrice, "1000000", nullptr}})
        Expect(dept, c);
}

TEST_F(TextTableTest, AcceptKey)
{
    const QString full(18, u'n');
    EXPECT_FALSE(plu.AcceptKey(PLUColumn::Name, full, u'x', false));
    EXPECT_TRUE(plu.AcceptKey(PLUColumn::Name, full, u'x', true));
    EXPECT_TRUE(plu.AcceptKey(PLUColumn::Name, full, QChar(8), false));  // Backspace
    EXPECT_FALSE(plu.AcceptKey(PLUColumn::Name, "", QChar(0x20AC), false));
    EXPECT_FALSE(plu.AcceptKey(PLUColumn::UnitPrice, "12.5", u'.', false));
    EXPECT_FALSE(plu.AcceptKey(PLUColumn::Stocks, "-3", u'-', false));
    EXPECT_FALSE(plu.AcceptKey(PLUColumn::Barcode, "", u'-', false));
    EXPECT_TRUE(plu.AcceptKey(PLUColumn::Department, "5", u'6', true));
    EXPECT_FALSE(dept.AcceptKey(DeptmentColumn::Tax, "", u'a', false));
    EXPECT_TRUE(dept.AcceptKey(DeptmentColumn::UnitPrice, "1", u'.', false));
}

TEST_F(TextTableTest, ClearSelectionSetsColumnDefaultsInOneSignal)
{
    for (int row = 9; row <= 13; ++row)
        for (int col = 1; col < 9; ++col)
            plu.SetCell(col, row, "x");
    QSignalSpy spy(&plu, &QAbstractItemModel::dataChanged);
    plu.ClearSelection(3, 10, 5, 12);
    for (int row = 10; row <= 12; ++row) {
        const QStringList now{plu.Cell(2, row), plu.Cell(3, row), plu.Cell(4, row),
                              plu.Cell(5, row), plu.Cell(6, row)};
        EXPECT_EQ(now, QStringList({"x", "0.00", "1", "0.000", "x"}));
    }
    EXPECT_EQ(plu.Cell(4, 9), "x");
    EXPECT_EQ(plu.Cell(4, 13), "x");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(Corner(spy, 0), plu.index(9, 2));
    EXPECT_EQ(Corner(spy, 1), plu.index(11, 4));

    dept.SetCell(1, 9, "x");
    dept.ClearSelection(0, 0, 99, 99);  // cut to the data cells
    EXPECT_EQ(dept.Cell(1, 9), "");
}

TEST_F(TextTableTest, ResetRows)
{
    for (int row = 4; row <= 6; ++row)
        plu.SetCell(PLUColumn::Name, row, "n");
    plu.SetCell(PLUColumn::UnitPrice, 6, "9.99");
    plu.ResetRows(5, 4);
    plu.ResetRows(5, 6);
    EXPECT_EQ(Names(4, 6), QStringList({"n", "", ""}));
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 6), "0.00");
    EXPECT_FALSE(plu.SetCell(0, 5, "x"));  // the row-number column holds nothing
    EXPECT_FALSE(plu.SetCell(2, 3001, "x"));

    QSignalSpy spy(&plu, &QAbstractItemModel::dataChanged);
    plu.ResetGrid();
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 4), "");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(Corner(spy, 0), plu.index(0, 0));
    EXPECT_EQ(Corner(spy, 1), plu.index(2999, 7));
}

TEST_F(TextTableTest, MoveRowMovesDataNotNumbers)
{
    const QStringList names{"A", "B", "C", "D", "E"};
    for (int row = 1; row <= 5; ++row)
        plu.SetCell(PLUColumn::Name, row, names[row - 1]);
    plu.SetCell(PLUColumn::UnitPrice, 2, "2.00");

    QSignalSpy spy(&plu, &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(plu.MoveRow(2, 4));
    EXPECT_EQ(Names(1, 5), QStringList({"A", "C", "D", "B", "E"}));
    EXPECT_EQ(plu.Cell(PLUColumn::UnitPrice, 4), "2.00");
    EXPECT_EQ(plu.headerData(3, Qt::Vertical), 4);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(Corner(spy, 0).row(), 1);
    EXPECT_EQ(Corner(spy, 1).row(), 3);

    ASSERT_TRUE(plu.MoveRow(4, 2));
    EXPECT_EQ(Names(1, 5), names);
    EXPECT_FALSE(plu.MoveRow(0, 3));
    EXPECT_FALSE(plu.MoveRow(3, 3001));
}

TEST_F(TextTableTest, QtModelShowsDataCellsOnly)
{
    plu.SetCell(PLUColumn::Barcode, 1, "42");
    EXPECT_EQ(plu.data(plu.index(0, 0)), "42");

    QSignalSpy spy(&plu, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(plu.setData(plu.index(2, 3), "007"));  // stored as typed
    EXPECT_EQ(plu.Cell(PLUColumn::Department, 3), "007");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(Corner(spy, 0), plu.index(2, 3));

    EXPECT_FALSE(plu.setData(plu.index(0, 1), QString(QChar(0x0100))));
    EXPECT_FALSE(plu.setData(plu.index(0, 1), "x", Qt::DisplayRole));
    EXPECT_EQ(plu.Cell(PLUColumn::Name, 1), "");

    EXPECT_EQ(plu.rowCount(), 3000);
    EXPECT_EQ(dept.columnCount(), 3);
    EXPECT_EQ(dept.headerData(1, Qt::Horizontal), "Tax");
    EXPECT_EQ(plu.headerData(2999, Qt::Vertical), 3000);

    for (int col = 1; col < 9; ++col) {
        const bool editable = plu.flags(plu.index(5, col - 1)) & Qt::ItemIsEditable;
        EXPECT_EQ(editable, col != PLUColumn::Flag) << col;
    }
    EXPECT_FALSE(dept.flags(dept.index(0, DeptmentColumn::UnitPrice - 1)) & Qt::ItemIsEditable);

    QSignalSpy titles(&plu, &QAbstractItemModel::headerDataChanged);
    Texts().PLUTitles[PLUColumn::Name] = "Bezeichnung";
    plu.RefreshTitles();
    EXPECT_EQ(plu.headerData(PLUColumn::Name - 1, Qt::Horizontal), "Bezeichnung");
    EXPECT_EQ(titles.count(), 1);
}

TEST_F(TextTableTest, BatchEmitsOneRangeAndValidateSignalsRewrites)
{
    QSignalSpy spy(&plu, &QAbstractItemModel::dataChanged);
    {
        const TextTable::Batch outer(plu);
        plu.SetCell(2, 10, "a");
        {
            const TextTable::Batch inner(plu);
            plu.SetCell(5, 3, "b");
        }
        plu.SetCell(7, 20, "c");
        EXPECT_EQ(spy.count(), 0);
    }
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(Corner(spy, 0), plu.index(2, 1));
    EXPECT_EQ(Corner(spy, 1), plu.index(19, 6));

    plu.SetCell(PLUColumn::Barcode, 8, "0042");
    spy.clear();
    EXPECT_TRUE(plu.ValidateCell(PLUColumn::Barcode, 8));
    EXPECT_TRUE(plu.ValidateCell(PLUColumn::Barcode, 8));
    EXPECT_EQ(spy.count(), 1);  // only the rewrite is signalled
}
