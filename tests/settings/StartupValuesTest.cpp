#include "config/StartupValues.h"

#include "config/AppPaths.h"
#include "config/SettingsFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StartupValuesTest : public testing::Test
{
protected:
    void SetUp() override { AppPaths::SetProgramDir(m_dir.path()); }
    void TearDown() override { AppPaths::SetProgramDir(QString()); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(StartupValuesTest, WithoutSettingsFileTheDefaultsApply)
{
    LoadStartupValues();
    EXPECT_EQ(Startup().companyName, "");
    EXPECT_EQ(Startup().updateBlock, 16);
}

TEST_F(StartupValuesTest, ValuesAreReadAtLoadAndKeptUntilTheNextLoad)
{
    SettingsFile settings(AppPaths::SettingsPath());
    settings.WriteText("Version", "CompanyName", "Corner Shop");
    settings.WriteInteger("Address", "Update", 0x20);
    LoadStartupValues();
    EXPECT_EQ(Startup().companyName, "Corner Shop");
    EXPECT_EQ(Startup().updateBlock, 32);

    settings.WriteInteger("Address", "Update", 8);
    EXPECT_EQ(Startup().updateBlock, 32);
    LoadStartupValues();
    EXPECT_EQ(Startup().updateBlock, 8);
}
