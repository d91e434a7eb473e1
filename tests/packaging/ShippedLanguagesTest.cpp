#include "config/LanguageTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <gtest/gtest.h>

namespace {

const QString kPackaging = QStringLiteral(PLU_SOURCE_DIR "/packaging/");

QByteArray Read(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

std::string Lines(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

// Every translation that comes with the program, as Help > Language... lists
// it; checked against the example file, the program's built-in key list.
class ShippedLanguagesTest : public ::testing::TestWithParam<std::string>
{
protected:
    const LanguageTexts catalogue = LanguageTexts::FromBytes(Read(kPackaging + "plu-manager.LNG.example"));
};

TEST_P(ShippedLanguagesTest, HasEveryKeyWithTheSamePlaceholdersAndNoOtherKeys)
{
    const QByteArray bytes = Read(kPackaging + "lang/" + QString::fromStdString(GetParam()));
    LanguageTexts texts = LanguageTexts::FromBytes(bytes);
    EXPECT_EQ(Lines(texts.MissingKeys(catalogue)), "") << "keys with no translation";
    EXPECT_EQ(Lines(catalogue.MissingKeys(texts)), "") << "keys the program does not have";
    EXPECT_EQ(Lines(texts.RefusePlaceholderMismatches(catalogue)), "");
}

TEST_P(ShippedLanguagesTest, IsUtf8AndNamesItsOwnLanguage)
{
    const QByteArray bytes = Read(kPackaging + "lang/" + QString::fromStdString(GetParam()));
    // A file that is not UTF-8 would be read as Latin-1, every accent garbled.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    EXPECT_FALSE(decoder.hasError());
    const QString code = QFileInfo(QString::fromStdString(GetParam())).completeBaseName();
    EXPECT_EQ(LanguageTexts::FromBytes(bytes).Text("Language", "Locale", QString()).toStdString(), code.toStdString());
}

QStringList ShippedFiles()
{
    return QDir(kPackaging + "lang").entryList({QStringLiteral("*.LNG")}, QDir::Files, QDir::Name);
}

std::vector<std::string> ShippedFileNames()
{
    std::vector<std::string> names;
    for (const QString& file : ShippedFiles())
        names.push_back(file.toStdString());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguagesTest, ::testing::ValuesIn(ShippedFileNames()),
                         [](const auto& info) { return info.param.substr(0, info.param.find('.')); });

TEST(ShippedLanguagesListTest, GermanAndFrenchComeWithTheProgram)
{
    EXPECT_EQ(ShippedFiles(), (QStringList{"de.LNG", "fr.LNG"}));
}

} // namespace
