#include "model/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class Numbers : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(u'.'); }
    void TearDown() override { SetDecimalSeparator(u'.'); }
};

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

} // namespace

TEST_F(Numbers, SeparatorAndFormatting)
{
    SetDecimalSeparator(u'5');
    SetDecimalSeparator(QChar(0x066B));  // cannot be held in a cell
    EXPECT_EQ(DecimalSeparator(), u'.');
    EXPECT_EQ(FormatFixed(-3, 2), "-3.00");
    EXPECT_EQ(FormatFixed(2.5, 3), "2.500");
    SetDecimalSeparator(u',');
    EXPECT_EQ(FormatFixed(30000, 2), "30000,00");
}

TEST_F(Numbers, ParseWhole)
{
    EXPECT_EQ(ParseWhole("00042"), 42);
    EXPECT_EQ(ParseWhole("+7"), 7);
    EXPECT_EQ(ParseWhole("-9223372036854775808"), kMin);
    for (const char* text : {"9223372036854775808", "", "-", "1.0", "1-2", "12a", "--1"})
        EXPECT_FALSE(ParseWhole(text)) << text;
}

TEST_F(Numbers, ParseDecimal)
{
    EXPECT_EQ(ParseDecimal("5."), 5.0);
    EXPECT_EQ(ParseDecimal(".5"), 0.5);
    EXPECT_EQ(ParseDecimal("1E-2"), 0.01);
    for (const char* text : {".", "-", "1e", "1.2.3", "3-", "inf", "1e400", "1,5"})
        EXPECT_FALSE(ParseDecimal(text)) << text;
    SetDecimalSeparator(u',');
    EXPECT_EQ(ParseDecimal("-0,25"), -0.25);
    EXPECT_FALSE(ParseDecimal("0.25"));
}

TEST_F(Numbers, RoundHalfEven)
{
    const std::pair<double, qint64> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-2.5, -2}, {2.4999, 2}, {-2.5001, -3},
        {12.5 * 100, 1250}, {4503599627370497.0, 4503599627370497},
        {std::nan(""), 0}, {1e300, kMax}, {-1e300, kMin}, {9223372036854775808.0, kMax},
        {-9223372036854775808.0, kMin}, {std::numeric_limits<double>::infinity(), kMax}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST_F(Numbers, HexDigits)
{
    EXPECT_EQ(ParseHexDigits(u"0"), 0u);
    EXPECT_EQ(ParseHexDigits(u"1fF0"), 0x1ff0u);
    EXPECT_EQ(ParseHexDigits(u"FFFFFFFF"), 0xffffffffu);
    EXPECT_EQ(ParseHexDigits(u"00000000FFFFFFFF"), 0xffffffffu) << "leading zeros do not overflow";
    EXPECT_EQ(ParseHexDigits(u"100000000"), std::nullopt);
    EXPECT_EQ(ParseHexDigits(u""), std::nullopt);
    EXPECT_EQ(ParseHexDigits(u"0x10"), std::nullopt);
    EXPECT_EQ(ParseHexDigits(u" 10"), std::nullopt);
    EXPECT_EQ(ParseHexDigits(u"1g"), std::nullopt);
    EXPECT_EQ(HexDigitValue(u'G'), -1);
}
