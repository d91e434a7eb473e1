#include "app/LanguageFile.h"

#include "AppTestSupport.h"
#include "model/CellRules.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/Texts.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace {

TEST(LanguageFilePathTest, ExtensionIsReplacedOrAppended)
{
    EXPECT_EQ(LanguageFilePathFor(QStringLiteral("/opt/plu/plu-manager")),
              "/opt/plu/plu-manager.LNG");
    EXPECT_EQ(LanguageFilePathFor(QStringLiteral("/opt/plu/MANAGER.EXE")), "/opt/plu/MANAGER.LNG");
    EXPECT_EQ(LanguageFilePathFor(QStringLiteral("/opt/plu.d/manager")), "/opt/plu.d/manager.LNG");
}

class LanguageFileTest : public ProgramDirFixture
{
protected:
    void SetUp() override
    {
        ProgramDirFixture::SetUp();
        m_savedTexts = Texts();
        window.setObjectName(QStringLiteral("ParaDlg"));
        window.setWindowTitle(QStringLiteral("Parameter"));
        label = new QLabel(QStringLiteral("Header"), &window);
        label->setObjectName(QStringLiteral("HeaderLBL"));
        label->setToolTip(QStringLiteral("Receipt header"));
        empty = new QLabel(&window);
        empty->setObjectName(QStringLiteral("EmptyLBL"));
        button = new QPushButton(QStringLiteral("&OK"), &window);
        button->setObjectName(QStringLiteral("OKBtn"));
        action = new QAction(QStringLiteral("&Clear"), &window);
        action->setObjectName(QStringLiteral("ClearItem"));
        inner = new QDialog(&window);
        inner->setObjectName(QStringLiteral("DataDlg"));
        innerLabel = new QLabel(QStringLiteral("From"), inner);
        innerLabel->setObjectName(QStringLiteral("HeaderLBL"));
    }
    void TearDown() override
    {
        Texts() = m_savedTexts;
        ProgramDirFixture::TearDown();
    }

    void Apply(const QByteArray& file)
    {
        WriteFile(QStringLiteral("test.LNG"), file);
        ApplyLanguageFile(FilePath(QStringLiteral("test.LNG")), {&window});
    }

    QWidget window;
    QLabel* label = nullptr;
    QLabel* empty = nullptr;
    QPushButton* button = nullptr;
    QAction* action = nullptr;
    QDialog* inner = nullptr;
    QLabel* innerLabel = nullptr;

private:
    ProgramTexts m_savedTexts;
};

TEST_F(LanguageFileTest, NamedControlsOfTheWindowTakeTheirTexts)
{
    Apply("[ParaDlg]\r\nCaption=Parameters\r\nHeaderLBL.Caption=Kopregel\r\n"
          "HeaderLBL.Hint=Kop van de bon\r\nOKBtn.Caption=&Ja\r\nClearItem.Caption=&Wis\r\n");
    EXPECT_EQ(window.windowTitle(), "Parameters");
    EXPECT_EQ(label->text(), "Kopregel");
    EXPECT_EQ(label->toolTip(), "Kop van de bon");
    EXPECT_EQ(button->text(), "&Ja");
    EXPECT_EQ(action->text(), "&Wis");
}

TEST_F(LanguageFileTest, EmptyTextsMissingKeysAndOtherWindowsStayAsTheyAre)
{
    Apply("[ParaDlg]\r\nEmptyLBL.Caption=filled\r\nOKBtn.Hint=a new hint\r\n"
          "ClearItem.Hint=a new hint\r\n"
          "[CommDlg]\r\nHeaderLBL.Caption=wrong window\r\n");
    EXPECT_EQ(empty->text(), "");
    EXPECT_EQ(button->toolTip(), "");
    EXPECT_TRUE(action->statusTip().isEmpty());
    EXPECT_EQ(label->text(), "Header");
    EXPECT_EQ(label->toolTip(), "Receipt header");
    EXPECT_EQ(window.windowTitle(), "Parameter");
    // A dialog owned by the window is a window of its own, with its own
    // section; it is left alone when it is not listed.
    EXPECT_EQ(innerLabel->text(), "From");
}

TEST_F(LanguageFileTest, AnEmptyValueEmptiesTheTextAndAMissingFileChangesNothing)
{
    ApplyLanguageFile(FilePath(QStringLiteral("none.LNG")), {&window});
    EXPECT_EQ(label->text(), "Header");
    Apply("[ParaDlg]\r\nHeaderLBL.Caption=\r\n");
    EXPECT_EQ(label->text(), "");
}

TEST_F(LanguageFileTest, ProgramTextsTakeTheirSections)
{
    Apply("[PLU Titles]\r\n3=Prijs\r\n[Deptment Titles]\r\n1=Groep\r\n[Recy Titles]\r\n2=Code\r\n"
          "[DownloadItem Tips]\r\n1=afdeling\r\n[UploadItem Tips]\r\n2=parameters\r\n"
          "[String]\r\nConnect=Verbinden\r\nDisconnect=Verbreken\r\nReportNotClear=Eerst Z!\r\n"
          "Download=Zenden:\r\nUpload=Ontvangen:\r\n");
    const ProgramTexts& texts = Texts();
    EXPECT_EQ(texts.PLUTitles[3], "Prijs");
    EXPECT_EQ(texts.PLUTitles[2], "Name");
    EXPECT_EQ(texts.DeptmentTitles[1], "Groep");
    EXPECT_EQ(texts.RecyTitles[2], "Code");
    EXPECT_EQ(texts.DownloadItemTips[1], "afdeling");
    EXPECT_EQ(texts.UploadItemTips[2], "parameters");
    EXPECT_EQ(texts.UploadItemTips[0], "PLU");
    EXPECT_EQ(texts.ConnectText, "Verbinden");
    EXPECT_EQ(texts.DisconnectText, "Verbreken");
    EXPECT_EQ(texts.ReportNotClearText, "Eerst Z!");
    EXPECT_EQ(texts.DownloadText, "Zenden:");
    EXPECT_EQ(texts.UploadText, "Ontvangen:");
}

TEST_F(LanguageFileTest, Utf8FilesReadAsUtf8WithOrWithoutMarkOthersAsLatin1)
{
    Apply("[ParaDlg]\r\nHeaderLBL.Caption=Kopf\xfc\xe9\r\n");
    EXPECT_EQ(label->text(), QString::fromLatin1("Kopf\xfc\xe9"));

    Apply("\xEF\xBB\xBF[ParaDlg]\r\nCaption=Param\xC3\xA8tres\r\nHeaderLBL.Caption=\xD0\x97\xD0\xB0\r\n");
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Param\xC3\xA8tres"));
    EXPECT_EQ(label->text(), QString::fromUtf8("\xD0\x97\xD0\xB0"));

    Apply("[paradlg]\nheaderlbl.caption=\xC3\xBC\nHeaderLBL.Caption=second\n");
    EXPECT_EQ(label->text(), QString::fromUtf8("\xC3\xBC"));
}

QStringList YesNoButtons()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
}

TEST_F(LanguageFileTest, TheLocaleKeyTranslatesQtsOwnTextsAndNumbersButNotTheCells)
{
    const QLocale startLocale;
    ResetDecimalSeparator();
    const QChar separator = DecimalSeparator();
    const ColumnRule price = PLURule(PLUColumn::UnitPrice);
    const CellJudgement before = JudgeCell(price, QStringLiteral("0"), QStringLiteral("1,5"));
    ASSERT_TRUE(before.Taken());

    Apply("[Language]\r\nLocale=de\r\n");
    EXPECT_EQ(QLocale().language(), QLocale::German);
    EXPECT_EQ(QLocale().toString(12345), QString::fromUtf8("12.345"));
    EXPECT_EQ(YesNoButtons(), (QStringList{"&Ja", "&Nein"}));

    // Cells and the table files keep the separator of the system, not the
    // one of the operator's language.
    ResetDecimalSeparator();
    EXPECT_EQ(DecimalSeparator(), separator);
    const CellJudgement after = JudgeCell(price, QStringLiteral("0"), QStringLiteral("1,5"));
    EXPECT_EQ(after.text, before.text);
    EXPECT_EQ(FormatFixed(2.5, 2), QStringLiteral("2") + separator + QStringLiteral("50"));

    // A file without the key gives Qt's English texts back.
    Apply("[ParaDlg]\r\nCaption=Parameters\r\n");
    EXPECT_EQ(QLocale(), startLocale);
    EXPECT_EQ(YesNoButtons(), (QStringList{"&Yes", "&No"}));
    Apply("[Language]\r\nLocale=xx-unknown\r\n");
    EXPECT_EQ(QLocale(), startLocale);
}

} // namespace
