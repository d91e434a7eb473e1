// File > Print labels... in the main window: the dialog's choices, preview,
// refusals, Save as PDF and Print, the options kept in SYSTEM.CFG, and the
// offer after a download that changed labels (against the simulator).

#include "app/Main.h"

#include "AppTestSupport.h"
#include "ShownForm.h"
#include "config/SettingsFile.h"
#include "config/StartupValues.h"
#include "dialogs/LabelsDlg.h"
#include "dialogs/RangeSpinEdit.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "serial/PortResolver.h"
#include "support/ModalDialogs.h"
#include "support/SimProcess.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>


namespace {

QString PdfInfo(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class MainLabelsTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        SetDecimalSeparator(QLatin1Char('.'));
    }

    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ResetDecimalSeparator();
        ProgramDirFixture::TearDown();
    }

    TMainForm& Form()
    {
        if (!m_form) {
            m_form = ShowFormOnCom3(&messages, &dialogs);
            TextTable& plu = m_form->PluTable();
            const QStringList barcodes{"4006381333931", "96385074", "725272730706", "123456", "", "", "", "", ""};
            for (int n = 1; n <= 9; ++n) {
                plu.SetCell(PLUColumn::Barcode, n, barcodes[n - 1]);
                plu.SetCell(PLUColumn::Name, n, QStringLiteral("Article %1").arg(n));
                plu.SetCell(PLUColumn::UnitPrice, n, QStringLiteral("%1.10").arg(n));
                plu.SetCell(PLUColumn::Department, n, QString::number(n % 2 + 1));
            }
        }
        return *m_form;
    }

    // Opens the dialog through File > Print labels... and acts on it.
    void WithDialog(const std::function<void(TLabelsDlg&)>& act)
    {
        Form();
        bool opened = false;
        OnNextModal<TLabelsDlg>([&](TLabelsDlg& dialog) {
            opened = true;
            act(dialog);
            if (dialog.isVisible())
                dialog.reject();
        });
        Form().findChild<QAction*>(QStringLiteral("PrintLabelsItem"))->trigger();
        EXPECT_TRUE(opened);
    }

    template <typename Widget>
    static Widget& Child(QWidget& dialog, const char* name)
    {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }

    static QString Status(QWidget& dialog) { return Child<QLabel>(dialog, "StatusLabel").text(); }

    static void ChooseLayout(QWidget& dialog, const QString& name)
    {
        auto& box = Child<QComboBox>(dialog, "LayoutBox");
        box.setCurrentIndex(box.findData(name));
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;
    QTemporaryDir out;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(MainLabelsTest, CtrlLBelongsToPrintLabelsAlone)
{
    const QKeySequence ctrlL(Qt::CTRL | Qt::Key_L);
    QStringList holders;
    for (const QAction* action : Form().findChildren<QAction*>()) {
        if (action->shortcuts().contains(ctrlL))
            holders << action->objectName();
    }
    EXPECT_EQ(holders, QStringList{"PrintLabelsItem"});
}

TEST_F(MainLabelsTest, SaveAsPdfWritesTheChosenLabelsAndKeepsTheOptions)
{
    const QString pdf = out.filePath(QStringLiteral("labels.pdf"));
    WithDialog([&](TLabelsDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Print labels");
        EXPECT_TRUE(Child<QRadioButton>(dialog, "AllRowsBtn").isChecked());
        EXPECT_EQ(Status(dialog), "9 labels on 1 page.");
        EXPECT_FALSE(Child<QLabel>(dialog, "PreviewLabel").pixmap().isNull());

        Child<QRadioButton>(dialog, "DepartmentBtn").click();
        Child<QSpinBox>(dialog, "DepartmentEdit").setValue(2);
        ChooseLayout(dialog, "a4-2x8");
        Child<QSpinBox>(dialog, "CopiesEdit").setValue(2);
        Child<QSpinBox>(dialog, "SkipEdit").setValue(3);
        Child<QLineEdit>(dialog, "CurrencyEdit").setText("CHF");
        // Department 2: PLUs 1, 3, 5, 7, 9, twice each, after 3 used labels.
        EXPECT_EQ(Status(dialog), "10 labels on 1 page.");
        EXPECT_EQ(dialog.Sequence().size(), 13u);
        dialog.SetPdfNameChooser([&] { return pdf; });
        Child<QPushButton>(dialog, "SavePdfBtn").click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(Form().statusBar()->currentMessage(), "Saved 10 labels to labels.pdf");
    EXPECT_TRUE(PdfInfo(pdf).contains("Pages:           1")) << PdfInfo(pdf).toStdString();

    const SettingsFile settings(FilePath(QStringLiteral("SYSTEM.CFG")));
    EXPECT_EQ(settings.ReadText("Labels", "Layout"), "a4-2x8");
    EXPECT_EQ(settings.ReadText("Labels", "Rows"), "department");
    EXPECT_EQ(settings.ReadText("Labels", "Currency"), "CHF");
    // The next time starts from them.
    WithDialog([](TLabelsDlg& dialog) {
        EXPECT_TRUE(Child<QRadioButton>(dialog, "DepartmentBtn").isChecked());
        EXPECT_EQ(Child<QComboBox>(dialog, "LayoutBox").currentData().toString(), "a4-2x8");
        EXPECT_EQ(Child<QSpinBox>(dialog, "CopiesEdit").value(), 2);
        EXPECT_EQ(Child<QLineEdit>(dialog, "CurrencyEdit").text(), "CHF");
    });
}

TEST_F(MainLabelsTest, ACustomSheetThatDoesNotFitIsRefusedWithItsReason)
{
    WithDialog([](TLabelsDlg& dialog) {
        ChooseLayout(dialog, "custom");
        auto& width = Child<QDoubleSpinBox>(dialog, "LabelWidthEdit");
        EXPECT_TRUE(width.isEnabled());
        width.setValue(250);
        EXPECT_EQ(Status(dialog), "the label (250.0 x 37.0 mm) is larger than the page (210.0 x 297.0 mm)");
        EXPECT_FALSE(Child<QPushButton>(dialog, "SavePdfBtn").isEnabled());
        EXPECT_FALSE(Child<QPushButton>(dialog, "PrintBtn").isEnabled());
        width.setValue(70);
        Child<QSpinBox>(dialog, "ColumnsEdit").setValue(0);
        EXPECT_EQ(Status(dialog), "the grid needs at least 1 column and 1 row, not 0 x 8");
        Child<QSpinBox>(dialog, "ColumnsEdit").setValue(2);
        EXPECT_EQ(Status(dialog), "9 labels on 1 page.");
        EXPECT_TRUE(Child<QPushButton>(dialog, "SavePdfBtn").isEnabled());
        // A named layout shows its sizes and takes no edits.
        ChooseLayout(dialog, "a4-4x10");
        EXPECT_FALSE(width.isEnabled());
        EXPECT_DOUBLE_EQ(width.value(), 48.5);
    });
}

TEST_F(MainLabelsTest, ChangedArticlesNeedAKnownRegisterAndPrintGoesToThePrinter)
{
    const QString pdf = out.filePath(QStringLiteral("printed.pdf"));
    WithDialog([&](TLabelsDlg& dialog) {
        EXPECT_FALSE(Child<QRadioButton>(dialog, "ChangedRowsBtn").isEnabled());
        EXPECT_TRUE(Child<QLabel>(dialog, "ChangedNote").text().startsWith(
            "Nothing is known yet of what the register at COM3 holds"));
        EXPECT_FALSE(Child<QRadioButton>(dialog, "OfferedRowsBtn").isVisibleTo(&dialog));
        ChooseLayout(dialog, "roll-58x40");
        dialog.SetPrinterSetup([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        Child<QPushButton>(dialog, "PrintBtn").click();
    });
    EXPECT_EQ(Form().statusBar()->currentMessage(), "Printed 9 labels");
    const QString info = PdfInfo(pdf);
    EXPECT_TRUE(info.contains("Pages:           9")) << info.toStdString();
    EXPECT_TRUE(info.contains("Page size:       164 x 113 pts")) << info.toStdString();
}

TEST_F(MainLabelsTest, PreviewFollowsTheLayout)
{
    WithDialog([](TLabelsDlg& dialog) {
        auto& preview = Child<QLabel>(dialog, "PreviewLabel");
        const QImage before = preview.pixmap().toImage();
        ChooseLayout(dialog, "a4-4x10");
        EXPECT_NE(preview.pixmap().toImage(), before) << "the preview follows the layout";
    });
}

class MainLabelsSimTest : public MainLabelsTest
{
protected:
    void SetUp() override
    {
        SetDecimalSeparator(QLatin1Char('.'));
        ASSERT_TRUE(sim.Start()) << qPrintable(sim.ErrorString());
        LoadStartupValues();
    }
    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ResetDecimalSeparator();
    }

    void Download()
    {
        OnNextModal([](QDialog& dialog) {
            dialog.findChild<TRangeSpinEdit*>(QStringLiteral("RangeEndEdit"))->SetText(QStringLiteral("9"));
            TickAndAccept(dialog, {0});
        });
        Form().findChild<QAction*>(QStringLiteral("DownloadItem"))->trigger();
        ASSERT_TRUE(messages.errors.isEmpty()) << qPrintable(messages.errors.join('\n'));
    }

    SimProcess sim;
};

TEST_F(MainLabelsSimTest, ADownloadThatChangedPricesOffersTheirLabels)
{
    Download();
    auto* offer = Form().findChild<QPushButton*>(QStringLiteral("ChangedLabelsBtn"));
    EXPECT_TRUE(offer == nullptr || !offer->isVisible()) << "nothing was known before: no offer";

    Form().PluTable().SetCell(PLUColumn::UnitPrice, 2, QStringLiteral("9.99"));
    Form().PluTable().SetCell(PLUColumn::Name, 5, QStringLiteral("Fresh name"));
    // Before the download the dialog knows them as changed since the register.
    WithDialog([](TLabelsDlg& dialog) {
        auto& changed = Child<QRadioButton>(dialog, "ChangedRowsBtn");
        EXPECT_TRUE(changed.isEnabled());
        changed.click();
        EXPECT_EQ(Status(dialog), "2 labels on 1 page.");
    });
    Download();
    offer = Form().findChild<QPushButton*>(QStringLiteral("ChangedLabelsBtn"));
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(offer->isVisible());
    EXPECT_EQ(offer->text(), "Print labels for the 2 changed articles");

    std::vector<int> plus;
    OnNextModal<TLabelsDlg>([&plus](TLabelsDlg& dialog) {
        EXPECT_TRUE(Child<QRadioButton>(dialog, "OfferedRowsBtn").isChecked());
        EXPECT_EQ(Child<QRadioButton>(dialog, "OfferedRowsBtn").text(), "The 2 changed articles &just downloaded");
        for (const LabelArticle& article : dialog.Sequence())
            plus.push_back(article.plu);
        dialog.reject();
    });
    offer->click();
    EXPECT_EQ(plus, (std::vector<int>{2, 5}));
    EXPECT_FALSE(offer->isVisible());
}

} // namespace
