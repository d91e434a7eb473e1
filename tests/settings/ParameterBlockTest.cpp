#include "model/Defs.h"
#include "transfer/ParameterBlock.h"
#include "config/SettingsFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kDefault = QStringLiteral("Default");

std::vector<int> Bytes(const ParameterBlock& block, std::size_t at, int count)
{
    return std::vector<int>(block.begin() + at, block.begin() + at + count);
}

class ParameterBlockTest : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(QLatin1Char('.')); }
    void TearDown() override { ResetDecimalSeparator(); }

    QString Read(const QString& key) { return settings.ReadText(kDefault, key, QStringLiteral("<missing>")); }
    void Write(const QString& key, const QString& value) { settings.WriteText(kDefault, key, value); }

    QTemporaryDir dir;
    SettingsFile settings{dir.filePath(QStringLiteral("SYSTEM.CFG"))};
};

TEST_F(ParameterBlockTest, WithoutASettingsFileOnlyThePrintSpeedIsSet)
{
    const ParameterBlock block = EncodeParameterBlock(settings);
    ParameterBlock expected{};
    expected[223] = 1;
    EXPECT_EQ(block, expected) << "VAT rates enabled at 00.00 go out as 0, not 10001";
}

TEST_F(ParameterBlockTest, ItemsLandAtTheirOffsets)
{
    Write("-% rate", "05.00");
    Write("+% rate", "10.25");
    settings.WriteFlag(kDefault, "Flag03", true);
    settings.WriteFlag(kDefault, "Flag31", true);
    Write("Header1", "Welcome");
    Write("Header5", "Fifth");
    Write("Tail2", "Bye");
    settings.WriteInteger(kDefault, "BCode1", 20);
    settings.WriteInteger(kDefault, "BCode10", 36);
    settings.WriteInteger(kDefault, "Print Speed", 9);
    Write("ClerkPWD4", "1234");
    Write("ClerkName1", "Anna");
    Write("VAT9", "07.00");

    const ParameterBlock block = EncodeParameterBlock(settings);
    EXPECT_EQ(Bytes(block, 37, 4), (std::vector<int>{0x01, 0xF4, 0x04, 0x01}));
    EXPECT_EQ(Bytes(block, 41, 4), (std::vector<int>{0x08, 0, 0, 0x02}));
    EXPECT_EQ(block[45], 'W');
    EXPECT_EQ(block[141], 'F');
    EXPECT_EQ(block[189], 'B');
    EXPECT_EQ(block[213], 20);
    EXPECT_EQ(block[222], 36);
    EXPECT_EQ(block[223], 9);
    EXPECT_EQ(Bytes(block, 354, 2), (std::vector<int>{0x04, 0xD2}));
    EXPECT_EQ(block[356], 'A');
    EXPECT_EQ(Bytes(block, 413, 2), (std::vector<int>{0x02, 0xBC}));
}

TEST_F(ParameterBlockTest, TextsOfFullWidthHaveNoTerminator)
{
    Write("Header1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");  // 26: cut to 24
    Write("Header2", "next");
    Write("ClerkName1", "0123456789AB");
    Write("ClerkName2", "Bo");
    const ParameterBlock block = EncodeParameterBlock(settings);
    EXPECT_EQ(block[45 + 23], 'X');
    EXPECT_EQ(block[69], 'n');
    EXPECT_EQ(block[356 + 9], '9');
    EXPECT_EQ(block[366], 'B');

    SettingsFile target(dir.filePath("OTHER.CFG"));
    WriteParameterBlock(block, target);
    EXPECT_EQ(target.ReadText(kDefault, "Header1"), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(target.ReadText(kDefault, "ClerkName1"), "0123456789");
}

TEST_F(ParameterBlockTest, PasswordsTravelAsSixteenBitNumbers)
{
    Write("ClerkPWD1", "70000");
    Write("ClerkPWD2", " 0042\t");
    Write("ClerkPWD3", "12ab");
    Write("ClerkPWD4", "   ");
    const ParameterBlock block = EncodeParameterBlock(settings);
    EXPECT_EQ(Bytes(block, 348, 8), (std::vector<int>{0x11, 0x70, 0x00, 0x2A, 0, 0, 0, 0}));

    WriteParameterBlock(block, settings);
    EXPECT_EQ(Read("ClerkPWD1"), "4464");
    EXPECT_EQ(Read("ClerkPWD2"), "42");
    EXPECT_EQ(Read("ClerkPWD3"), "0");
}

TEST_F(ParameterBlockTest, VatRatesAndTheirSwitches)
{
    Write("VAT1", "12.50");
    Write("VAT2", "19.00");
    settings.WriteFlag(kDefault, "VATEnable2", false);
    Write("VAT3", "not a rate");
    const ParameterBlock block = EncodeParameterBlock(settings);
    EXPECT_EQ(Bytes(block, 397, 6), (std::vector<int>{0x04, 0xE2, 0x27, 0x11, 0, 0}));

    // Received: A 12.50, B 10001 (not in use), C 10000 (tax-free), D 700.
    ParameterBlock received{};
    const std::vector<int> rates{0x04, 0xE2, 0x27, 0x11, 0x27, 0x10, 0x02, 0xBC};
    std::copy(rates.cbegin(), rates.cend(), received.begin() + 397);
    settings.WriteFlag(kDefault, "VATEnable4", false);
    WriteParameterBlock(received, settings);
    EXPECT_EQ(Read("VAT1"), "12.50");
    EXPECT_EQ(Read("VATEnable2"), "0");
    EXPECT_EQ(Read("VAT2"), "00.00");
    EXPECT_EQ(Read("Tax-free"), "2");
    EXPECT_EQ(Read("VAT3"), "00.00");
    EXPECT_EQ(Read("VATEnable3"), "1");
    EXPECT_EQ(Read("VATEnable4"), "1");
    EXPECT_EQ(Read("VAT4"), "07.00");

    // The tax-free choice itself is never sent as 10000.
    const ParameterBlock again = EncodeParameterBlock(settings);
    EXPECT_EQ(Bytes(again, 397, 8), (std::vector<int>{0x04, 0xE2, 0x27, 0x11, 0, 0, 0x02, 0xBC}));
}

TEST_F(ParameterBlockTest, TaxFreeKeepsItsValueWhenNoRateIsMarked)
{
    settings.WriteInteger(kDefault, "Tax-free", 5);
    WriteParameterBlock(ParameterBlock{}, settings);
    EXPECT_EQ(Read("Tax-free"), "5");
}

TEST_F(ParameterBlockTest, RateTextsAreFiveCharactersAtLeast)
{
    ParameterBlock received{};
    received[37] = 0x02;
    received[38] = 0xEE;    // 750
    received[39] = 0x27;
    received[40] = 0x0F;    // 9999
    received[397] = 0x27;
    received[398] = 0x00;   // 9984 -> 99.84
    WriteParameterBlock(received, settings);
    EXPECT_EQ(Read("-% rate"), "07.50");
    EXPECT_EQ(Read("+% rate"), "99.99");
    EXPECT_EQ(Read("VAT2"), "00.00");

    received[37] = 0xFF;
    received[38] = 0xFF;
    WriteParameterBlock(received, settings);
    EXPECT_EQ(Read("-% rate"), "655.35");

    SetDecimalSeparator(QLatin1Char(','));
    received[37] = 0x02;
    received[38] = 0xEE;
    WriteParameterBlock(received, settings);
    EXPECT_EQ(Read("-% rate"), "07,50");
    EXPECT_EQ(Bytes(EncodeParameterBlock(settings), 37, 2), (std::vector<int>{0x02, 0xEE}));
}

TEST_F(ParameterBlockTest, AnUploadedBlockDownloadsAgainUnchanged)
{
    ParameterBlock received{};
    for (std::size_t i = 37; i <= 223; ++i)
        received[i] = quint8('a' + i % 26);
    for (std::size_t i = 348; i < 396; ++i)
        received[i] = quint8('A' + i % 26);
    received[41] = 0x81;
    received[42] = 0xA5;    // bytes 1..3 have no control: carried by their keys
    received[43] = 0x5A;
    received[44] = 0xFF;
    received[223] = 0;      // print speed 0 stays 0
    const std::vector<int> rates{0, 0, 0x04, 0xE2, 0x27, 0x11, 0, 5, 0x27, 0x0F, 0, 0, 0, 1, 0x0B, 0xB8, 0, 0};
    std::copy(rates.cbegin(), rates.cend(), received.begin() + 397);
    received[37] = 0x01;
    received[38] = 0x00;
    received[39] = 0x00;
    received[40] = 0x64;

    WriteParameterBlock(received, settings);
    EXPECT_EQ(Read("Print Speed"), "0");
    EXPECT_EQ(Read("Flag17"), "1");
    EXPECT_EQ(Read("Flag10"), "1");
    EXPECT_EQ(Read("Flag11"), "0");
    EXPECT_EQ(EncodeParameterBlock(settings), received);
}

TEST_F(ParameterBlockTest, ReceiptTextsKeepTheirControlBytes)
{
    ParameterBlock received{};
    const QByteArray header("AB\x1b" "C\tD");
    std::copy(header.cbegin(), header.cend(), received.begin() + 45);
    const QByteArray tail(" \x1b!\x01 ");   // blanks at both ends too
    std::copy(tail.cbegin(), tail.cend(), received.begin() + 165);
    const QByteArray broken("A\rB\nC");
    std::copy(broken.cbegin(), broken.cend(), received.begin() + 69);

    WriteParameterBlock(received, settings);
    EXPECT_EQ(Read("Header1"), QString::fromLatin1(header));
    EXPECT_EQ(Read("Tail1"), QString::fromLatin1(tail));
    EXPECT_EQ(Read("Header2"), "A B C") << "a settings line cannot hold CR or LF";
    const ParameterBlock again = EncodeParameterBlock(settings);
    EXPECT_EQ(Bytes(again, 45, 24), Bytes(received, 45, 24));
    EXPECT_EQ(Bytes(again, 165, 24), Bytes(received, 165, 24));
}

} // namespace
