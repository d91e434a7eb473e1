#include "model/Defs.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

class Codecs : public testing::Test
{
protected:
    void SetUp() override { SetDecimalSeparator(u'.'); }
    void TearDown() override { SetDecimalSeparator(u'.'); }
};

QByteArray Bytes(const TBcdBuffer& buffer, int count)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), count);
}

} // namespace

TEST_F(Codecs, PackedBcd)
{
    const TBcdBuffer barcode = PackBcd(13, 9876543210987);
    EXPECT_EQ(Bytes(barcode, 8), QByteArray::fromHex("09876543210987" "00"));
    EXPECT_EQ(UnpackBcd(barcode, 13), 9876543210987);
    EXPECT_EQ(Bytes(PackBcd(2, 345), 2), QByteArray::fromHex("4500"));  // hundreds dropped
    EXPECT_EQ(Bytes(PackBcd(8, 0), 4), QByteArray(4, '\0'));
    EXPECT_EQ(Bytes(PackBcd(3, 1234), 2), QByteArray::fromHex("1234"));
    EXPECT_EQ(Bytes(PackBcd(0, 7), 1), QByteArray::fromHex("07"));
    EXPECT_EQ(PackBcd(13, -42), TBcdBuffer{});  // no packed form: zero

    // Digit counts outside the buffer never reach past it.
    EXPECT_EQ(BcdByteCount(-5), 0);
    EXPECT_EQ(BcdByteCount(100), kBcdBufferBytes);
    EXPECT_EQ(UnpackBcd(PackBcd(18, std::numeric_limits<qint64>::max()), 18), 223372036854775807);

    TBcdBuffer nibbles{};
    nibbles[0] = 0xFF;
    EXPECT_EQ(UnpackBcd(nibbles, 2), 165);
    nibbles.fill(0x99);
    (void)UnpackBcd(nibbles, 38);  // 38 nines wrap instead of overflowing
}

TEST_F(Codecs, SplitTextKeepsEmptyFields)
{
    QStringList list{"kept"};
    EXPECT_EQ(SplitText("a\tb", u'\t', list), QStringList({"kept", "a", "b"}));
    const auto split = [](const QString& text) {
        QStringList fields;
        return SplitText(text, u'\t', fields);
    };
    EXPECT_EQ(split("a\t"), QStringList({"a", ""}));
    EXPECT_EQ(split(""), QStringList({""}));
    EXPECT_EQ(split("\t\t"), QStringList({"", "", ""}));
}

TEST_F(Codecs, IntegerHelpers)
{
    EXPECT_EQ(DivRoundUp(3000, 3), 1000);
    EXPECT_EQ(DivRoundUp(7, 3), 3);
    EXPECT_EQ(DivRoundUp(0, 3), 0);
    EXPECT_EQ(DivRoundUp(-5, 3), 0);
    EXPECT_EQ(DivRoundUp(5, 0), 0);

    EXPECT_EQ(PowerOfInt(10, 2), 100);
    EXPECT_EQ(PowerOfInt(10, 0), 1);
    EXPECT_EQ(PowerOfInt(10, -1), 0);
    EXPECT_EQ(PowerOfInt(-1, -3), -1);
    EXPECT_EQ(PowerOfInt(10, 10), 1410065408);  // wraps in 32 bits
    EXPECT_EQ(PowerOfInt(0, -1), 0);            // no division by zero
    EXPECT_EQ(PowerOfInt(1, std::numeric_limits<qint32>::min()), 1);

    EXPECT_EQ(SwapBytes16(0xABCD), 0xCDAB);
    EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);

    quint8 bytes[] = {1, 2, 3, 4};
    CopyBytes(bytes, bytes + 2, -3);
    EXPECT_EQ(bytes[0], 1);
    CopyBytes(bytes + 1, bytes, 3);  // one byte at a time: an upward overlap repeats
    EXPECT_EQ(bytes[3], 1);

    EXPECT_EQ(StripLeading("  12.50", u' '), "12.50");
    EXPECT_EQ(StripLeading("   ", u' '), "");
}

TEST_F(Codecs, NumericKeys)
{
    EXPECT_FALSE(IsNumericKey("12.5", u'.'));
    EXPECT_FALSE(IsNumericKey("-3", u'-'));
    EXPECT_TRUE(IsNumericKey("3", u'-'));
    EXPECT_FALSE(IsNumericKey("3", u','));
    EXPECT_FALSE(IsNumericKey("3", u'e'));
    EXPECT_FALSE(IsDigitChar(QChar(0x0663)));  // a digit, but not '0'..'9'

    SetDecimalSeparator(u',');
    EXPECT_TRUE(IsNumericKey("3", u','));
    EXPECT_FALSE(IsNumericKey("3,5", u','));
    EXPECT_FALSE(IsNumericKey("3", u'.'));
}

TEST_F(Codecs, DefaultsTakeTheDecimalSeparator)
{
    SetDecimalSeparator(u',');
    EXPECT_EQ(PLUDefault(PLUColumn::Stocks), "0,000");
    EXPECT_EQ(RecyDefault(RecyColumn::PackagePrice), "0,00");
}
