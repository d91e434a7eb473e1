// The document tools (Change prices, Import and its preview, compare results,
// History, Sales, Print labels) in the operator's language: the shipped German
// file reaches every text they show, counts keep their numbers, and figures
// follow the language's locale while the values the model gets stay exact.

#include "AppTestSupport.h"

#include "app/CompareResultDlg.h"
#include "app/HistoryDlg.h"
#include "app/ImportConfirmDlg.h"
#include "app/LanguageFile.h"
#include "app/PriceChangeDlg.h"
#include "app/SalesReportDlg.h"
#include "dialogs/LabelsDlg.h"
#include "exchange/TableImport.h"
#include "history/HistoryStore.h"
#include "model/Columns.h"
#include "model/Language.h"
#include "model/Numbers.h"
#include "model/TextTable.h"
#include "model/Texts.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

namespace {

using namespace PLUColumn;

QString GermanFile()
{
    return QStringLiteral(PLU_SOURCE_DIR "/packaging/lang/de.LNG");
}

class DocumentToolsLanguageTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        m_savedTexts = Texts();
        m_savedLocale = QLocale();
        SetDecimalSeparator(QLatin1Char('.'));
    }
    void TearDown() override
    {
        Language::Install({});
        Texts() = m_savedTexts;
        QLocale::setDefault(m_savedLocale);
        ResetDecimalSeparator();
        ProgramDirFixture::TearDown();
    }

    // The shipped German texts with German numbers.
    static void German()
    {
        LoadLanguage(GermanFile());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void Article(int row, const char* name, const char* price)
    {
        plu.SetCell(Name, row, QString::fromUtf8(name));
        plu.SetCell(UnitPrice, row, QString::fromLatin1(price));
    }

    template <typename T> static T& Child(QWidget& window, const char* name)
    {
        auto* child = window.findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr)
            throw std::runtime_error(name);
        return *child;
    }

    static QString Header(const QTableWidget& grid, int column)
    {
        return grid.horizontalHeaderItem(column)->text();
    }

    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};

private:
    ProgramTexts m_savedTexts;
    QLocale m_savedLocale;
};

TEST_F(DocumentToolsLanguageTest, TheShippedFilesPassTheCheckOfTheirPlaceholders)
{
    for (const QString& file :
         {GermanFile(), QStringLiteral(PLU_SOURCE_DIR "/packaging/lang/fr.LNG")}) {
        LoadLanguage(file);
        EXPECT_TRUE(Language::Problems().isEmpty())
            << Language::Problems().join(u'\n').toStdString();
    }
}

// Counts are whole sentences of the file with their numbers in place; the
// reasons a row is left out come from the model's own section.
TEST_F(DocumentToolsLanguageTest, ChangePricesCountsTitlesAndReasonsAreGerman)
{
    Article(1, "Apples", "1.00");
    Article(2, "Gold", "999000.00");
    Article(3, "Silver", "999500.00");
    Article(4, "Deposit", "-1.50");
    German();
    TPriceChangeDlg dialog(plu, {}, std::nullopt);
    dialog.SetChange(
        {PriceChange::Operation::AddPercent, Hundredths(1000), PriceChange::Rounding::None});

    EXPECT_EQ(Child<QLabel>(dialog, "SummaryLBL").text(),
              "1 Preis ändert sich; 2 neue Preise können nicht gespeichert werden; "
              "1 negativer Preis bleibt außen vor.");
    EXPECT_EQ(dialog.windowTitle(), "Preise ändern");
    EXPECT_EQ(Child<QGroupBox>(dialog, "RowsGroup").title(), "Zeilen");
    EXPECT_EQ(Child<QRadioButton>(dialog, "AllRowsBtn").text(), "Alle PLU mit &Namen");
    EXPECT_EQ(Child<QPushButton>(dialog, "CancelBtn").text(), "Abbrechen");
    EXPECT_EQ(Child<QComboBox>(dialog, "OperationBox").itemText(0), "Um Prozent erhöhen");
    EXPECT_EQ(Child<QComboBox>(dialog, "RoundingBox").itemText(1), "Auf 0,05");
    auto& preview = Child<QTableWidget>(dialog, "PreviewGrid");
    EXPECT_EQ(Header(preview, 3), "Neuer Preis");
    ASSERT_EQ(preview.rowCount(), 4);
    EXPECT_EQ(preview.item(3, 4)->text(),
              "ein negativer Preis, etwa für eine Pfandrückgabe, bleibt außen vor");
    EXPECT_TRUE(
        preview.item(1, 4)->text().startsWith("der neue Preis kann nicht gespeichert werden ("));

    // One of each: the singular sentences.
    plu.SetCell(UnitPrice, 3, QStringLiteral("1.00"));
    dialog.SetChange(
        {PriceChange::Operation::AddPercent, Hundredths(1000), PriceChange::Rounding::None});
    EXPECT_EQ(Child<QLabel>(dialog, "SummaryLBL").text(),
              "2 Preise ändern sich; 1 neuer Preis kann nicht gespeichert werden; "
              "1 negativer Preis bleibt außen vor.");
}

// The longer German reasons are shown whole when the window opens.
TEST_F(DocumentToolsLanguageTest, ChangePricesOpensWideEnoughForItsReasons)
{
    Article(1, "Apples", "1.00");
    Article(2, "Deposit", "-1.50");
    German();
    TPriceChangeDlg dialog(plu, {}, std::nullopt);
    dialog.show();
    QApplication::processEvents();
    auto& preview = Child<QTableWidget>(dialog, "PreviewGrid");
    const QAbstractItemView& view = preview;
    EXPECT_GE(preview.columnWidth(4), view.sizeHintForColumn(4))
        << preview.columnWidth(4) << " " << view.sizeHintForColumn(4) << " " << dialog.width();
    EXPECT_EQ(preview.item(0, 4)->toolTip(), preview.item(0, 4)->text());
}

// With German numbers the value box shows and takes "2,50"; the model gets
// 250 hundredths, and the cells keep the table files' own separator.
TEST_F(DocumentToolsLanguageTest, ChangePricesTakesAGermanValueAndComputesExactPrices)
{
    Article(1, "Apples", "1.00");
    Article(2, "Pears", "0.10");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        TPriceChangeDlg dialog(plu, {}, std::nullopt);
        dialog.SetChange(
            {PriceChange::Operation::AddAmount, Hundredths(500), PriceChange::Rounding::None});
        auto& value = Child<QDoubleSpinBox>(dialog, "ValueEdit");
        EXPECT_EQ(value.text(), "5,00");

        value.setFocus();
        value.selectAll();
        QTest::keyClicks(&value, QStringLiteral("2,5"));
        ASSERT_EQ(dialog.Plan().size(), 2u);
        EXPECT_EQ(dialog.Plan()[0].after, "3.50");
        EXPECT_EQ(dialog.Plan()[1].after, "2.60");
        dialog.accept();
    }
    // The choice comes back exactly.
    TPriceChangeDlg again(plu, {}, std::nullopt);
    EXPECT_EQ(Child<QDoubleSpinBox>(again, "ValueEdit").text(), "2,50");
    ASSERT_EQ(again.Plan().size(), 2u);
    EXPECT_EQ(again.Plan()[1].after, "2.60");
}

// The sales window's view names, headings and buttons are German and its
// figures use the German comma, while the report itself (which plu-cli and
// the files share) keeps the table files' separator.
TEST_F(DocumentToolsLanguageTest, SalesViewsHeadingsAndFiguresFollowTheLanguage)
{
    departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("Dairy"));
    Article(1, "Milk", "1.00");
    plu.SetCell(Department, 1, QStringLiteral("1"));
    plu.SetCell(Quantity, 1, QStringLiteral("3.000"));
    plu.SetCell(Total, 1, QStringLiteral("1234.50"));
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("HISTORY.DB")));
    German();
    TSalesReportDlg dialog(store, plu, departments, {}, nullptr);

    EXPECT_EQ(dialog.windowTitle(), "Umsätze");
    EXPECT_EQ(Child<QComboBox>(dialog, "RegisterBox").itemText(0), "Aktuelle Zahlen des Dokuments");
    EXPECT_EQ(Child<QComboBox>(dialog, "ViewBox").itemText(0), "Umsatz je Warengruppe");
    EXPECT_EQ(Child<QComboBox>(dialog, "PeriodBox").itemText(0), "Letzte Auslesung");
    EXPECT_EQ(Child<QPushButton>(dialog, "PrintBtn").text(), "&Drucken...");
    EXPECT_EQ(Child<QLabel>(dialog, "ViewLabel").text(), "&Ansicht:");
    auto& table = Child<QTableWidget>(dialog, "ReportTable");
    EXPECT_EQ(Header(table, 0), "Warengruppe");
    EXPECT_EQ(Header(table, 3), "Umsatz");
    ASSERT_GE(table.rowCount(), 1);
    EXPECT_EQ(table.item(0, 1)->text(), "Dairy");
    EXPECT_EQ(table.item(0, 2)->text(), "3,000");
    EXPECT_EQ(table.item(0, 3)->text(), "1234,50");
    EXPECT_TRUE(Child<QLabel>(dialog, "DescriptionLabel").text().startsWith("Aktuelle Zahlen: "));
}

// Refusals, counts and the barcode warning of the labels window are German;
// its named controls are set through the table without TranslateWindow.
TEST_F(DocumentToolsLanguageTest, LabelRefusalsCountsAndWarningsAreGerman)
{
    Article(1, "Milk", "1.00");
    Article(2, "Bread", "2.00");
    plu.SetCell(Barcode, 1, QStringLiteral("4006381333932")); // the check digit should be 1
    German();
    LabelOptions options;
    options.layout = NamedLayouts().front();
    TLabelsDlg dialog(plu, departments, LabelSources{}, options, nullptr);

    EXPECT_EQ(dialog.windowTitle(), "Regaletiketten drucken");
    EXPECT_EQ(Child<QPushButton>(dialog, "CloseBtn").text(), "S&chließen");
    EXPECT_EQ(Child<QLabel>(dialog, "CurrencyLabel").text(), "Wä&hrung:");
    EXPECT_EQ(Child<QComboBox>(dialog, "LayoutBox").itemText(0),
              "A4, 3 x 8 Etiketten zu 70 x 37 mm");
    EXPECT_EQ(Child<QLabel>(dialog, "StatusLabel").text(), "2 Etiketten auf 1 Seite.");
    EXPECT_EQ(Child<QPlainTextEdit>(dialog, "WarningsText").toPlainText(),
              "PLU 1: die Prüfziffer von EAN-13 4006381333932 müsste 1 sein: er wird als Code 128 "
              "gedruckt");

    auto& layouts = Child<QComboBox>(dialog, "LayoutBox");
    layouts.setCurrentIndex(layouts.count() - 1);
    Child<QDoubleSpinBox>(dialog, "LabelWidthEdit").setValue(300.0);
    EXPECT_TRUE(Child<QLabel>(dialog, "StatusLabel").text().startsWith("das Etikett (300.0 x "))
        << Child<QLabel>(dialog, "StatusLabel").text().toStdString();
    EXPECT_FALSE(Child<QPushButton>(dialog, "PrintBtn").isEnabled());
}

// The import preview's counts use German numbers; the compare result names
// its sides as a German sentence does (no small letters for nouns).
TEST_F(DocumentToolsLanguageTest, ImportPreviewCompareResultAndHistoryAreGerman)
{
    Article(1, "Milk", "1.00");
    German();
    ImportPlan plan;
    plan.sheetRows = 1300;
    plan.changedRows = 1200;
    plan.changes = {{UnitPrice, 1, QStringLiteral("1.20")}};
    TImportConfirmDlg confirm(QStringLiteral("plu.csv"), plu, plan, nullptr);
    EXPECT_EQ(
        Child<QLabel>(confirm, "SummaryLBL").text(),
        "plu.csv: 1.300 Zeilen gelesen; in der Tabelle PLU: 1200 Zeilen und 1 Zelle ändern sich.");
    EXPECT_EQ(Child<QLabel>(confirm, "ShownLBL").text(),
              "Die ersten 10 von 1.200 geänderten Zeilen:");
    EXPECT_EQ(Child<QLabel>(confirm, "QuestionLBL").text(), "Diese Änderungen importieren?");
    EXPECT_EQ(Header(Child<QTableWidget>(confirm, "ChangesGrid"), 2), "Vorher");

    TCompareResultDlg agree(QStringLiteral("title"), {}, 3u, {}, QString(), nullptr);
    EXPECT_EQ(Child<QLabel>(agree, "CountsLabel").text(), "Dokument und Kasse stimmen überein.");
    EXPECT_EQ(Header(Child<QTableWidget>(agree, "DifferencesGrid"), 2), "Feld");
    EXPECT_EQ(Header(Child<QTableWidget>(agree, "DifferencesGrid"), 4), "Kasse");

    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("HISTORY.DB")));
    THistoryDlg history(store, {}, {}, nullptr);
    EXPECT_EQ(history.windowTitle(), "Verlauf");
    EXPECT_EQ(Header(Child<QTableWidget>(history, "HistoryList"), 5), "Ergebnis");
    EXPECT_EQ(Child<QLabel>(history, "NoteLabel").text(),
              "Es wurde noch keine Übertragung aufgezeichnet.");
}

// Without a language (as in plu-cli) the same sentences stay English, and a
// refused import lists its reasons in the file's words when one is loaded.
TEST_F(DocumentToolsLanguageTest, ImportRefusalsAreEnglishWithoutALanguageAndGermanWithIt)
{
    TextTable table(TableKind::PLU);
    Sheet sheet;
    sheet.rows = {{1, {QStringLiteral("NO."), QStringLiteral("Name")}, {}},
                  {2, {QStringLiteral("x"), QStringLiteral("Milk")}, {}},
                  {3, {QStringLiteral("2"), QStringLiteral("Bread"), QStringLiteral("stray")}, {}}};
    const ImportPlan english = PlanImport(table, sheet);
    EXPECT_EQ(english.Refusal(), "2 cells are refused; nothing was changed:\n"
                                 "Line 2, NO.: \"x\" is not a number from 1 to " +
                                     QString::number(table.RowCount() - 1) +
                                     ".\nLine 3, column C: the column has no title.");

    German();
    const ImportPlan german = PlanImport(table, sheet);
    EXPECT_EQ(german.Refusal(), "2 Zellen werden abgelehnt; nichts wurde geändert:\n"
                                "Zeile 2, NO.: „x“ ist keine Zahl von 1 bis " +
                                    QString::number(table.RowCount() - 1) +
                                    ".\nZeile 3, Spalte C: die Spalte hat keinen Titel.");
}

} // namespace
