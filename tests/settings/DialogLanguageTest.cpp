#include "app/LanguageFile.h"
#include "dialogs/CommDlg.h"
#include "dialogs/DetectPortDlg.h"
#include "dialogs/ParaDlg.h"
#include "dialogs/ProgressForm.h"
#include "dialogs/RadioGroup.h"
#include "dialogs/uprange.h"
#include "model/Language.h"
#include "transfer/DialogMessageRecorder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Entry = std::tuple<const char*, const char*, const char*>;

void Use(std::initializer_list<Entry> entries)
{
    QHash<QString, QString> texts;
    for (const auto& [section, key, text] : entries)
        texts.insert(Language::Slot(QString::fromLatin1(section), QString::fromLatin1(key)), QString::fromUtf8(text));
    Language::Install(texts);
}

QString TextOf(const QWidget& widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
        return group->title();
    return {};
}

// Every named text of the window, 40 % longer, as a longer language has it.
void UseLongerTexts(const QWidget& window)
{
    QHash<QString, QString> texts;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const QString text = TextOf(*widget);
        if (widget->objectName().isEmpty() || text.isEmpty() || widget->property("languageData").toBool())
            continue;
        texts.insert(Language::Slot(window.objectName(), widget->objectName() + QStringLiteral(".Caption")),
                     text + QString(int(text.size() * 4 / 10) + 1, u'x'));
    }
    Language::Install(texts);
}

class DialogLanguageTest : public testing::Test
{
protected:
    void TearDown() override
    {
        Language::Install({});
        QLocale::setDefault(QLocale::c());
    }

    DialogMessageRecorder messages;
};

TEST_F(DialogLanguageTest, ParameterDialogWidensForLongerTextsInsteadOfCuttingThem)
{
    TParaDlg dialog(messages);
    UseLongerTexts(dialog);
    TranslateWindow(dialog);
    dialog.show();
    QCoreApplication::processEvents();

    const auto* area = dialog.findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
    ASSERT_NE(area, nullptr);
    const QWidget* viewport = area->viewport();
    int checked = 0;
    for (QWidget* widget : area->widget()->findChildren<QWidget*>()) {
        if (!widget->isVisible() || TextOf(*widget).isEmpty())
            continue;
        ++checked;
        const QPoint left = widget->mapTo(viewport, QPoint(0, 0));
        EXPECT_GE(widget->width(), widget->sizeHint().width()) << widget->objectName().toStdString();
        EXPECT_LE(left.x() + widget->width(), viewport->width()) << widget->objectName().toStdString();
    }
    EXPECT_GT(checked, 20);
    EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("Flag04"))->text().endsWith(u'x'));
}

TEST_F(DialogLanguageTest, WordsOfChoicesAreTranslatedAndNumbersAreData)
{
    TCommDlg dialog(messages);
    Use({{"CommDlg", "ParityRG1.Caption", "Ungerade"},
         {"CommDlg", "ParityRG.Caption", "&Parität"},
         {"CommDlg", "PortCB.None", "Keine"}});
    TranslateWindow(dialog);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("PortCB"))->itemText(0), "Keine");
    dialog.hide();

    const auto* parity = dialog.findChild<TRadioGroup*>(QStringLiteral("ParityRG"));
    const auto* rates = dialog.findChild<TRadioGroup*>(QStringLiteral("BaudRateRG"));
    EXPECT_EQ(parity->title(), "&Parität");
    EXPECT_EQ(parity->Button(1)->text(), "Ungerade");
    EXPECT_EQ(parity->Button(2)->text(), "Even");
    EXPECT_EQ(rates->Button(4)->text(), "115200");
    EXPECT_TRUE(rates->Button(4)->property("languageData").toBool());
}

TEST_F(DialogLanguageTest, ProgressWindowTakesItsLabelsAndWritesCountsInTheLocale)
{
    QWidget mainWindow;
    TProgressForm form(&mainWindow, messages);
    Use({{"ProgressForm", "Label2.Caption", "Aktuelles Paket:"}});
    TranslateWindow(form);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    form.Show();
    form.SetMargin(3000);
    form.SetProgress(1200);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label2"))->text(), "Aktuelles Paket:");
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("TotalLabel"))->text(), "3.000");
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("CurLabel"))->text(), "1.200");
    form.Close();
}

TEST_F(DialogLanguageTest, PortResultFieldsHaveRoomForTheTranslatedAnswer)
{
    const QString notFound = QStringLiteral("An dieser Schnittstelle wurde leider keine Kasse gefunden.");
    Use({{"DetectScan", "NotFound", "An dieser Schnittstelle wurde leider keine Kasse gefunden."}});
    TDetectPortDlg dialog;
    int narrowest = 0;
    QTimer::singleShot(0, &dialog, [&] {
        narrowest = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->width();
        for (int port = 2; port <= TDetectPortDlg::kPorts; ++port)
            narrowest = std::min(narrowest, dialog.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(port))->width());
        dialog.reject();
    });
    dialog.Run();
    EXPECT_GT(narrowest, dialog.fontMetrics().horizontalAdvance(notFound));
}

TEST_F(DialogLanguageTest, ChangesOnlyTitleIsTranslatedAndTheUsualOneComesBack)
{
    TDownloadDlg dialog(messages);
    Use({{"DownloadDlg", "Caption", "An Kasse senden"}, {"DownloadDlg", "ChangesCaption", "Änderungen an Kasse senden"}});
    TranslateWindow(dialog);
    dialog.SetChangesOnly(true);
    EXPECT_EQ(dialog.windowTitle(), "Änderungen an Kasse senden");
    dialog.SetChangesOnly(false);
    EXPECT_EQ(dialog.windowTitle(), "An Kasse senden");
}

} // namespace
