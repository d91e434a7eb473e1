// Reports > Sales...: the window over the readings kept and the document's
// own figures, its period choices, views, chart, and files.

#include "app/Main.h"
#include "app/SalesReportDlg.h"
#include "history/HistoryStore.h"
#include "model/Columns.h"
#include "model/TextTable.h"
#include "support/ModalDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SalesReportDlgTest : public testing::Test
{
protected:
    void SetUp() override
    {
        departments.SetCell(DeptmentColumn::Name, 1, QStringLiteral("Dairy"));
        departments.SetCell(DeptmentColumn::Name, 2, QStringLiteral("Bakery"));
        Article(1, "Milk", 1, "3.000");
        Article(2, "Bread", 2, "10.000");
        Article(3, "Butter", 1, "1.000");
        // Yesterday's and today's readings, and one from another register.
        Record(QDateTime::currentDateTimeUtc().addDays(-1), QStringLiteral("/dev/ttyUSB0"), {{1, 2000, 238}});
        Record(QDateTime::currentDateTimeUtc(), QStringLiteral("/dev/ttyUSB0"), {{1, 5000, 595}, {2, 2000, 500}});
        Record(QDateTime::currentDateTimeUtc().addDays(-40), QStringLiteral("/dev/ttyS3"), {{2, 1000, 250}});
    }

    void Article(int row, const char* name, int department, const char* stocks)
    {
        plu.SetCell(PLUColumn::Name, row, QString::fromLatin1(name));
        plu.SetCell(PLUColumn::Department, row, QString::number(department));
        plu.SetCell(PLUColumn::Stocks, row, QString::fromLatin1(stocks));
    }

    void Record(const QDateTime& time, const QString& device, std::vector<ArticleFigures> figures)
    {
        HistoryEntry entry;
        entry.time = time;
        entry.command = QStringLiteral("upload");
        entry.port = QStringLiteral("COM1");
        entry.device = device;
        SalesReading reading;
        reading.priceDecimals = 2;
        reading.figures = std::move(figures);
        entry.reading = reading;
        ASSERT_GT(store.Record(entry), 0) << store.Error().toStdString();
    }

    std::unique_ptr<TSalesReportDlg> Open()
    {
        TSalesReportDlg::Hooks hooks;
        hooks.saveFileName = [this](const QString&, const QString&) { return nextFile; };
        hooks.notice = [this](const QString& text) { notices << text; };
        hooks.error = [this](const QString& text) { errors << text; };
        auto dialog = std::make_unique<TSalesReportDlg>(store, plu, departments, hooks, nullptr);
        dialog->show();
        return dialog;
    }

    template <typename T>
    static T* Child(QWidget& dialog, const char* name)
    {
        auto* child = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    static QStringList Column(QWidget& dialog, int column)
    {
        auto* table = Child<QTableWidget>(dialog, "ReportTable");
        QStringList cells;
        for (int row = 0; row < table->rowCount(); ++row)
            cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
        return cells;
    }

    QTemporaryDir dir;
    HistoryStore store{dir.filePath(QStringLiteral("HISTORY.DB"))};
    TextTable plu{TableKind::PLU};
    TextTable departments{TableKind::Department};
    QString nextFile;
    QStringList notices;
    QStringList errors;
};

TEST_F(SalesReportDlgTest, ThePeriodsChoicesGiveTheirReadingsFigures)
{
    auto dialog = Open();
    auto* registers = Child<QComboBox>(*dialog, "RegisterBox");
    ASSERT_EQ(registers->count(), 3) << "current figures and two registers";
    EXPECT_EQ(registers->currentData().toString(), "/dev/ttyS3") << "the register read last comes first";
    registers->setCurrentIndex(registers->findData(QStringLiteral("/dev/ttyUSB0")));

    auto* period = Child<QComboBox>(*dialog, "PeriodBox");
    EXPECT_EQ(period->currentIndex(), int(TSalesReportDlg::Quick::Everything));
    // Everything: the first reading counts from its clear, then the increase.
    EXPECT_EQ(Column(*dialog, 1), (QStringList{"Dairy", "Bakery", "Total"}));
    EXPECT_EQ(Column(*dialog, 3), (QStringList{"5.95", "5.00", "10.95"}));

    period->setCurrentIndex(int(TSalesReportDlg::Quick::LastReading));
    EXPECT_EQ(Column(*dialog, 3), (QStringList{"3.57", "5.00", "8.57"}));
    period->setCurrentIndex(int(TSalesReportDlg::Quick::Today));
    EXPECT_EQ(Column(*dialog, 3).last(), "8.57");

    // Choosing a reading by hand makes the period a chosen one.
    Child<QComboBox>(*dialog, "FromBox")->setCurrentIndex(0);
    EXPECT_EQ(period->currentIndex(), int(TSalesReportDlg::Quick::Chosen));
    EXPECT_EQ(Column(*dialog, 3).last(), "10.95");

    // The chart has a bar per department row.
    auto* chart = Child<QChartView>(*dialog, "ChartView");
    ASSERT_EQ(chart->chart()->series().size(), 1);
    const auto* bars = qobject_cast<QBarSeries*>(chart->chart()->series().front());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets().front()->count(), 2);
    EXPECT_DOUBLE_EQ(bars->barSets().front()->at(0), 5.95);

    // The other register's month-old reading is not in this month.
    registers->setCurrentIndex(registers->findData(QStringLiteral("/dev/ttyS3")));
    period->setCurrentIndex(int(TSalesReportDlg::Quick::Today));
    EXPECT_EQ(Child<QTableWidget>(*dialog, "ReportTable")->rowCount(), 0);
    EXPECT_TRUE(Child<QLabel>(*dialog, "DescriptionLabel")->text().contains("No reading"));
}

TEST_F(SalesReportDlgTest, ViewsCurrentFiguresAndLowStock)
{
    plu.SetCell(PLUColumn::Quantity, 3, QStringLiteral("4.000"));
    plu.SetCell(PLUColumn::Total, 3, QStringLiteral("9.96"));
    auto dialog = Open();
    Child<QComboBox>(*dialog, "RegisterBox")->setCurrentIndex(0);
    EXPECT_FALSE(Child<QComboBox>(*dialog, "PeriodBox")->isEnabled());
    EXPECT_EQ(Column(*dialog, 3), (QStringList{"9.96", "0.00", "9.96"})) << "the document's own columns";

    auto* view = Child<QComboBox>(*dialog, "ViewBox");
    view->setCurrentIndex(int(SalesView::Unsold));
    EXPECT_EQ(Column(*dialog, 1), (QStringList{"Milk", "Bread"}));
    EXPECT_FALSE(Child<QChartView>(*dialog, "ChartView")->isVisible());

    view->setCurrentIndex(int(SalesView::Stock));
    auto* threshold = Child<QLineEdit>(*dialog, "ThresholdEdit");
    EXPECT_EQ(Column(*dialog, 1), (QStringList{"Butter", "Milk"}));
    threshold->setText(QStringLiteral("1"));
    emit threshold->editingFinished();
    EXPECT_EQ(Column(*dialog, 1), QStringList{"Butter"});
}

TEST_F(SalesReportDlgTest, TheShownViewGoesToASheetOrAPdfWithItsChart)
{
    auto dialog = Open();
    auto* registers = Child<QComboBox>(*dialog, "RegisterBox");
    registers->setCurrentIndex(registers->findData(QStringLiteral("/dev/ttyUSB0")));

    nextFile = dir.filePath(QStringLiteral("sales.csv"));
    Child<QAbstractButton>(*dialog, "ExportBtn")->click();
    const QByteArray csv = [&] {
        QFile file(nextFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_TRUE(csv.contains("1,Dairy,5.000,5.95,54.3")) << csv.constData();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.last(), "Saved Turnover per department to sales.csv");

    nextFile = dir.filePath(QStringLiteral("sales.pdf"));
    Child<QAbstractButton>(*dialog, "PdfBtn")->click();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {nextFile, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(page.contains("Turnover per department")) << page.toStdString();
    EXPECT_TRUE(page.contains("Bakery"));
    EXPECT_TRUE(page.contains("10.95"));
    EXPECT_EQ(notices.size(), 2);

    nextFile = dir.filePath(QStringLiteral("no-such-folder/sales.xlsx"));
    Child<QAbstractButton>(*dialog, "ExportBtn")->click();
    EXPECT_EQ(errors.size(), 1) << "a file that cannot be written is an error, not a notice";
    EXPECT_EQ(notices.size(), 2);
}

TEST_F(SalesReportDlgTest, MnemonicsOfTheWindowAndItsMenuDoNotClash)
{
    auto dialog = Open();
    QList<QChar> keys;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        if (const qsizetype at = label->text().indexOf(u'&'); at >= 0)
            keys << label->text().at(at + 1).toLower();
    for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (const qsizetype at = button->text().indexOf(u'&'); at >= 0)
            keys << button->text().at(at + 1).toLower();
    EXPECT_EQ(keys.size(), 11);
    EXPECT_EQ(QSet<QChar>(keys.cbegin(), keys.cend()).size(), keys.size());

    TMainForm form;
    auto* menu = form.findChild<QMenu*>(QStringLiteral("ReportsMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Reports");
    auto* item = form.findChild<QAction*>(QStringLiteral("SalesItem"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Sales...");
}

} // namespace
