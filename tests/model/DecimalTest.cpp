#include "model/Decimal.h"

#include <gtest/gtest.h>

namespace {

std::optional<Decimal> Parse(const char* text)
{
    return Decimal::Parse(QString::fromLatin1(text), u'.');
}

} // namespace

TEST(Decimal, ParsesPlainNumbersOnly)
{
    EXPECT_EQ(Parse(" -1.50 ")->Units(), -150);
    EXPECT_EQ(Parse("-1.50")->Scale(), 2);
    EXPECT_EQ(Parse("5.")->Units(), 5);
    EXPECT_EQ(Parse(".5")->Units(), 5);
    EXPECT_EQ(Parse("+007")->Units(), 7);
    for (const char* text : {"", "-", ".", "1e-7", "1E3", "1,5", "1.2.3", "1-2", "inf", "nan", "0x10", "1 000",
                             "1234567890123456789"})
        EXPECT_FALSE(Parse(text)) << text;
    // Zeros that carry no value do not count against the digit limit.
    EXPECT_EQ(Parse("0000000000000000000001")->Units(), 1);
    EXPECT_EQ(Parse("1.0000000000000000000000")->Trimmed().Units(), 1);
    EXPECT_EQ(Decimal::Parse(QStringLiteral("1,5"), u',')->Units(), 15);
}

TEST(Decimal, RoundsHalvesToEvenWithoutBinaryErrors)
{
    // Through a double these come out 1.55, 1.00, 2.67 and 0.13.
    const std::pair<const char*, quint32> cases[] = {
        {"1.555", 156}, {"1.005", 100}, {"2.675", 268}, {"0.125", 12}, {"0.375", 38},
        {"-0.125", quint32(-12)}, {"-1.555", quint32(-156)}, {"12.5", 1250}};
    for (const auto& [text, units] : cases)
        EXPECT_EQ(Parse(text)->RoundedLow32(2), units) << text;
    EXPECT_EQ(Parse("2.5")->RoundedLow32(0), 2u);
    EXPECT_EQ(Parse("3.5")->RoundedLow32(0), 4u);
    // Beyond 32 bits the lowest bits are kept.
    EXPECT_EQ(Parse("99999999999")->RoundedLow32(2), 0x4E729F9Cu);
    EXPECT_EQ(Parse("-99999999999")->RoundedLow32(2), 0xB18D6064u);
    EXPECT_EQ(Parse("1")->RoundedLow32(255), 0u) << "an absurd scale wraps to nothing, without misbehaving";
    EXPECT_EQ(Decimal(7, 250).RoundedLow32(2), 0u);
}

TEST(Decimal, ExactUnitsRefuseLostDigitsAndOverflow)
{
    EXPECT_EQ(Parse("1.19")->ExactUnits(2), 119);
    EXPECT_EQ(Parse("1.190")->ExactUnits(2), 119);
    EXPECT_FALSE(Parse("1.19")->ExactUnits(0));
    EXPECT_EQ(Parse("15")->ExactUnits(0), 15);
    EXPECT_FALSE(Parse("999999999999999999")->ExactUnits(3));
    EXPECT_EQ(Decimal(0, 200).ExactUnits(2), 0);
}

TEST(Decimal, TextKeepsItsDecimalsAndAtLeastTheMinimum)
{
    EXPECT_EQ(Decimal(15, 1).Text(2, u'.'), "1.50");
    EXPECT_EQ(Decimal(1230, 3).Text(2, u'.'), "1.230");
    EXPECT_EQ(Decimal(1230, 3).Trimmed().Text(2, u'.'), "1.23");
    EXPECT_EQ(Decimal(1, 0).Text(2, u','), "1,00");
    EXPECT_EQ(Decimal(-5, 3).Text(3, u'.'), "-0.005");
    EXPECT_EQ(Decimal(0, 0).Text(0, u'.'), "0");
    EXPECT_EQ(Decimal(-1000, 3).Text(3, u'.'), "-1.000");
}

TEST(Decimal, ComparesAcrossScales)
{
    EXPECT_EQ(Decimal(150, 2), Decimal(15, 1));
    EXPECT_LT(Decimal(99999999, 2).Compare(Decimal(100000000, 2)), 0);
    EXPECT_GT(Decimal(-1, 0).Compare(Decimal(-79999999, 3)), 0);
    EXPECT_FALSE(Decimal(1, 0) == Decimal(1, 250));
}
