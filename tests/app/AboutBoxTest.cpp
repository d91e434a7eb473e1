#include "app/About.h"
#include "app/LanguageFile.h"
#include "config/BuildInfo.h"
#include "model/Language.h"

#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList LabelTexts(const QWidget& box)
{
    QStringList texts;
    for (const QLabel* label : box.findChildren<QLabel*>())
        if (!label->text().isEmpty() && label->isVisible())
            texts << label->text();
    return texts;
}

TEST(AboutBoxTest, ShowsTitleVersionBuildAndOwner)
{
    TAboutBox box(QStringLiteral("Corner Shop Ltd"));
    box.show();
    EXPECT_EQ(box.objectName(), "AboutBox");
    EXPECT_EQ(box.windowTitle(), "About...");
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(LabelTexts(box), QStringList({"TQR716 PLU manager", "Version " + BuildInfo::Version(), "2003",
                                            "Build 20030819", "Built on " + BuildInfo::BuildDate(),
                                            "Corner Shop Ltd"}));
    // The day this build was made, as the generated header has it.
    EXPECT_TRUE(QDate::fromString(BuildInfo::BuildDate(), Qt::ISODate).isValid()) << BuildInfo::BuildDate().toStdString();
    auto* picture = box.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());

    auto* ok = box.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_FALSE(box.findChild<QPlainTextEdit*>(QStringLiteral("ProblemsText"))->isVisible())
        << "no language problems, nothing said about them";
    ok->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

// The box is made before the language is read at the main window's first
// show, and shown later: the texts with numbers follow the language then.
TEST(AboutBoxTest, ShowsItsTextsInTheLanguageReadAfterItWasMadeAndTheRefusedTranslations)
{
    TAboutBox box(QStringLiteral("Corner Shop Ltd"));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("de.LNG"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[AboutBox]\nCaption=Info...\nVersion.Caption=Ausgabe %1\nBuildDateLBL.Caption=Erstellt am\n"
               "OKButton.Caption=&Gut\n");
    file.close();
    testing::internal::CaptureStderr();
    ApplyLanguageFile(path, {&box});
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("[AboutBox] BuildDateLBL.Caption"), std::string::npos) << reported;

    box.show();
    EXPECT_EQ(box.windowTitle(), "Info...");
    EXPECT_EQ(box.findChild<QPushButton*>()->text(), "&Gut");
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Version"))->text(), "Ausgabe " + BuildInfo::Version());
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("BuildDateLBL"))->text(), "Built on " + BuildInfo::BuildDate());
    const auto* problems = box.findChild<QPlainTextEdit*>(QStringLiteral("ProblemsText"));
    EXPECT_TRUE(problems->isVisible());
    EXPECT_EQ(problems->toPlainText(), Language::Problems().join(u'\n'));
    EXPECT_TRUE(problems->toPlainText().startsWith("[AboutBox] BuildDateLBL.Caption: the translation uses none"));
    Language::Install({});
}

} // namespace
