#include "app/Main.h"
#include "app/PortMapOption.h"
#include "widgets/TableGrid.h"
#include "link/QelmIBus.h"
#include "model/Columns.h"

#include "AppTestSupport.h"
#include "serial/PortResolver.h"
#include "dialogs/ParaDlg.h"
#include "dialogs/ProgressForm.h"
#include "support/ModalDialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>

#include <functional>

namespace {

using SaveAnswer = IMessageBox::SaveAnswer;
const QString SavePrompt = QStringLiteral("File has not been saved,save it now?");

class MainWiringTest : public ProgramDirFixture
{
protected:
    void TearDown() override
    {
        m_form.reset();
        SetPortResolver({});
        ProgramDirFixture::TearDown();
    }

    TMainForm& Form()
    {
        if (!m_form) {
            m_form = std::make_unique<TMainForm>(&messages, &dialogs);
            m_form->SetLanguageFilePath(FilePath(QStringLiteral("plu-manager.LNG")));
            m_form->CreateWindows(QStringLiteral("Shop"));
        }
        return *m_form;
    }

    void ShowActive()
    {
        Form().show();
        QApplication::setActiveWindow(&Form());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    }

    // Every port leads to a device that does not exist.
    void PortsLeadNowhere()
    {
        SetPortResolver([this](const QString&) { return FilePath(QStringLiteral("no-such-tty")); });
    }

    RecordingMessageBox messages;
    FakeFileDialogs dialogs;

private:
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(MainWiringTest, EveryWindowIsRegisteredForTheLanguageFileInCreationOrder)
{
    QStringList names;
    for (const QWidget* window : Form().Windows())
        names << window->objectName();
    EXPECT_EQ(names, (QStringList{"MainForm", "CommDlg", "ProgressForm", "AboutBox", "UploadDlg",
                                  "DownloadDlg", "DetectPortDlg", "DataDlg", "ParaDlg", "RecyForm",
                                  "ConnectionCheckDlg"}));
    // The progress window disables the main window, so it is not one of its children.
    EXPECT_EQ(Form().Windows().at(2)->parentWidget(), nullptr);
}

TEST_F(MainWiringTest, CommunicationSettingsSetTheCurrentPortAndSpeed)
{
    OnNextModal([](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("PortCB"))->setCurrentIndex(4);
        const auto rates = dialog.findChildren<QRadioButton*>();
        for (QRadioButton* rate : rates)
            if (rate->text() == QStringLiteral("57600"))
                rate->setChecked(true);
        dialog.accept();
    });
    Form().CommsetItemClick();
    EXPECT_EQ(Form().PortNumber(), 4);
    EXPECT_EQ(Form().SpeedIndex(), 3);

    // Cancel leaves the program on what the settings file holds now.
    WriteFile(QStringLiteral("SYSTEM.CFG"), "[Comm]\r\nPort=1\r\nBaudRate=2\r\n");
    OnNextModal([](QDialog& dialog) { dialog.reject(); });
    Form().CommsetItemClick();
    EXPECT_EQ(Form().PortNumber(), 1);
    EXPECT_EQ(Form().SpeedIndex(), 2);
}

TEST_F(MainWiringTest, TheGridFontReachesTheParameterDialog)
{
    QFont font = Form().PLUGrid().font();
    font.setPointSize(font.pointSize() + 5);
    Form().ApplyGridFont(font);
    EXPECT_EQ(Form().ParaDlg()->font().pointSize(), font.pointSize());
}

// An upload replaces only what it reads, once it has read it: nothing is
// asked first, and a failed one leaves the document as it was.
TEST_F(MainWiringTest, AFailedUploadAsksNothingAndKeepsTheDocument)
{
    PortsLeadNowhere();
    Form().PluTable().SetCell(2, 1, QStringLiteral("Apples"));
    Form().DeptmentTable().SetCell(1, 1, QStringLiteral("Fruit"));
    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0, 1}); });
    Form().UploadItemClick();

    EXPECT_TRUE(messages.questions.isEmpty()) << qPrintable(messages.questions.join('\n'));
    EXPECT_EQ(messages.errors.size(), 1) << "the port was tried";
    EXPECT_EQ(Form().PluTable().Cell(2, 1), QStringLiteral("Apples"));
    EXPECT_EQ(Form().DeptmentTable().Cell(1, 1), QStringLiteral("Fruit"));
}

TEST_F(MainWiringTest, AnInvalidCellOfAChosenTableStopsTheDownloadBeforeThePort)
{
    PortsLeadNowhere();
    ShowActive();
    // A department table worth sending without a question.
    Form().DeptmentTable().SetCell(DeptmentColumn::Name, 9, QStringLiteral("Deposit"));
    TableGrid& grid = Form().PLUGrid();
    grid.SetBeep([] {});
    grid.setFocus();
    // A Department of 0 still being edited.
    grid.setCurrentIndex(grid.model()->index(4, 3));
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_NE(grid.Editor(), nullptr);
    grid.Editor()->setText(QStringLiteral("0"));

    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0, 1}); });
    Form().DownloadItemClick();
    EXPECT_EQ(messages.informations, QStringList{"Invalid data!"});
    EXPECT_EQ(Form().statusBar()->currentMessage(), "PLU, row 5, Department: a whole number from 1 to 9");
    EXPECT_TRUE(messages.errors.isEmpty());
    EXPECT_FALSE(Form().Link().isActive());

    // The department table alone does not look at the PLU grid.
    messages.informations.clear();
    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {1}); });
    Form().DownloadItemClick();
    EXPECT_TRUE(messages.informations.isEmpty());

    // Both chosen: the department grid is checked too, not only the first.
    grid.Editor()->setText(QStringLiteral("2"));
    ASSERT_TRUE(grid.CommitCurrentCell());
    TableGrid& departments = Form().DeptmentGrid();
    departments.SetBeep([] {});
    departments.setFocus();
    departments.setCurrentIndex(departments.model()->index(1, 1));
    QTest::keyClick(&departments, Qt::Key_F2);
    ASSERT_NE(departments.Editor(), nullptr);
    departments.Editor()->setText(QStringLiteral("12"));
    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0, 1}); });
    Form().DownloadItemClick();
    EXPECT_EQ(messages.informations, QStringList{"Invalid data!"});
    EXPECT_EQ(Form().statusBar()->currentMessage(), "Department, row 2, Tax: a whole number from 1 to 9");
    EXPECT_FALSE(Form().Link().isActive());
}

TEST_F(MainWiringTest, StoredInvalidDataStopsEveryDownloadAndTheStatusBarSaysWhere)
{
    PortsLeadNowhere();
    // As a damaged file loads it: unchecked.
    Form().PluTable().SetCell(PLUColumn::Name, 5, QStringLiteral("Gold"));
    Form().PluTable().SetCell(PLUColumn::UnitPrice, 5, QStringLiteral("9999999999999"));
    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {0}); });
    Form().DownloadItemClick();
    EXPECT_EQ(messages.informations, QStringList{"Invalid data!"});
    EXPECT_TRUE(Form().statusBar()->currentMessage().contains("PLU 5, Unit price: 9999999999999"))
        << qPrintable(Form().statusBar()->currentMessage());
    EXPECT_TRUE(messages.errors.isEmpty()) << "the port was not tried";

    // The hidden parameter download checks the set the same way.
    messages.informations.clear();
    WriteFile(QStringLiteral("SYSTEM.CFG"), "[Default]\r\nVAT1=123.00\r\n");
    OnNextModal([](QDialog& dialog) { dialog.accept(); });
    Form().EditAndDownloadParameters();
    EXPECT_EQ(messages.informations, QStringList{"Invalid data!"});
    EXPECT_TRUE(Form().statusBar()->currentMessage().contains("VAT1 = 123.00"))
        << qPrintable(Form().statusBar()->currentMessage());
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(MainWiringTest, AParameterOnlyUploadLeavesTheDocumentAlone)
{
    PortsLeadNowhere();
    Form().PluTable().SetCell(PLUColumn::Name, 1, QStringLiteral("Apples"));
    OnNextModal([](QDialog& dialog) { TickAndAccept(dialog, {2}); });
    Form().UploadItemClick();
    EXPECT_TRUE(messages.questions.isEmpty()) << "nothing to save first";
    EXPECT_EQ(Form().PluTable().Cell(PLUColumn::Name, 1), QStringLiteral("Apples"));
    EXPECT_TRUE(Form().CurrentDocument().Modified());
    EXPECT_EQ(messages.errors.size(), 1) << "the port was tried";
}

TEST_F(MainWiringTest, PortMapOptionsOverrideTheSettingsFileForThisRunOnly)
{
    WriteFile(QStringLiteral("SYSTEM.CFG"), "[Ports]\r\nCOM1=/dev/ttyUSB7\r\nCOM2=/dev/ttyUSB8\r\n");
    const auto overrides = ParsePortMapOptions(
        {"plu-manager", "--port-map", "com2=sim-port", "--port-map", "COM0=/x", "--port-map",
         "COM3=", "--port-map", "/dev/ttyS1", "--port-map"});
    ASSERT_EQ(overrides.size(), 1);
    EXPECT_EQ(overrides.value("COM2"), QDir::current().absoluteFilePath("sim-port"));

    UsePortMapOverrides(overrides);
    // Windows made after the options (every link of the main window) keep them.
    Form();
    EXPECT_EQ(ResolvePortName("COM2"), QDir::current().absoluteFilePath("sim-port"));
    EXPECT_EQ(ResolvePortName("COM1"), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(ResolvePortName("COM3"), QStringLiteral("/dev/ttyS2"));
    // The settings file keeps its own map.
    QFile file(FilePath(QStringLiteral("SYSTEM.CFG")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("sim-port"));
}

// Download changes borrows the download dialog for a while; the captions the
// language file gives stay, the progress window's too (it has none of its own).
TEST_F(MainWiringTest, LanguageFileCaptionsSurviveDownloadChangesAndReachTheProgressWindow)
{
    WriteFile(QStringLiteral("plu-manager.LNG"),
              "[DownloadDlg]\r\nCaption=Daten senden\r\n[ProgressForm]\r\nCaption=\xC3\x9C" "bertragung\r\n");
    ShowActive();
    EXPECT_EQ(Form().ProgressForm()->windowTitle(), QStringLiteral("\u00DC" "bertragung"));
    QString title;
    OnNextModal([&title](QDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    Form().DownloadChangesItemClick();
    EXPECT_EQ(title, "Download changes");
    OnNextModal([&title](QDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    title.clear();
    // F9's action.
    Form().findChild<QAction*>(QStringLiteral("DownloadItem"))->trigger();
    EXPECT_EQ(title, "Daten senden");
}

TEST_F(MainWiringTest, CommunicationSettingShowsTheDeviceAPortMapOptionPointsToAsAnOverride)
{
    WriteFile(QStringLiteral("SYSTEM.CFG"), "[Comm]\r\nPort=2\r\n[Ports]\r\nCOM2=/dev/ttyUSB8\r\n");
    const QString simPort = FilePath(QStringLiteral("sim-port"));
    UsePortMapOverrides({{QStringLiteral("COM2"), simPort}});
    ShowActive();
    QString device, note, mappings;
    bool deviceEditable = true;
    QString otherPortDevice;
    OnNextModal([&](QDialog& dialog) {
        auto* box = dialog.findChild<QComboBox*>(QStringLiteral("DeviceCB"));
        auto* override = dialog.findChild<QLabel*>(QStringLiteral("OverrideLbl"));
        ASSERT_TRUE(box != nullptr && override != nullptr);
        device = box->currentText();
        deviceEditable = box->isEnabled();
        note = override->isVisible() ? override->text() : QString();
        mappings = dialog.findChild<QLabel*>(QStringLiteral("MappingLbl"))->text();
        // Another port shows its saved device as before.
        dialog.findChild<QComboBox*>(QStringLiteral("PortCB"))->setCurrentIndex(1);
        otherPortDevice = box->currentText();
        EXPECT_FALSE(override->isVisible());
        dialog.findChild<QComboBox*>(QStringLiteral("PortCB"))->setCurrentIndex(2);
        dialog.accept();
    });
    Form().CommsetItemClick();
    EXPECT_EQ(device, simPort);
    EXPECT_FALSE(deviceEditable);
    EXPECT_EQ(note, QStringLiteral("Override for this run (--port-map): COM2 uses %1. "
                                   "The saved device, /dev/ttyUSB8, applies again at the next start.").arg(simPort));
    EXPECT_TRUE(mappings.contains(QStringLiteral("COM2 = %1 (override for this run)").arg(simPort)))
        << mappings.toStdString();
    EXPECT_EQ(otherPortDevice, "/dev/ttyS0");
    // OK keeps the saved mapping; the run keeps the override.
    QFile file(FilePath(QStringLiteral("SYSTEM.CFG")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains("COM2=/dev/ttyUSB8")) << saved.toStdString();
    EXPECT_FALSE(saved.contains("sim-port"));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM2")), simPort);
}

} // namespace
