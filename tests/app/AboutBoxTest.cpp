#include "app/About.h"
#include "config/BuildInfo.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QStringList LabelTexts(const QWidget& box)
{
    QStringList texts;
    for (const QLabel* label : box.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

TEST(AboutBoxTest, ShowsTitleVersionBuildAndOwner)
{
    TAboutBox box(QStringLiteral("Corner Shop Ltd"));
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
    box.show();
    ok->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

} // namespace
