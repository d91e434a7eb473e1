#include "sim/SimBytes.h"
#include "sim/SimRecords.h"

#include <gtest/gtest.h>

using namespace SimRecords;

namespace {

template <std::size_t N>
QByteArray Hex(const std::array<quint8, N>& bytes, std::size_t from, std::size_t count)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data() + from), qsizetype(count)).toHex(' ');
}

TEST(SimBytes, PackedDecimalBarcodes)
{
    quint8 bytes[7] = {};
    SimBytes::SimPackBcd(bytes, 7, 9876543210987ULL);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(bytes), 7).toHex(' '), "09 87 65 43 21 09 87");
    bool valid = false;
    EXPECT_EQ(SimBytes::SimUnpackBcd(bytes, 7, &valid), 9876543210987ULL);
    EXPECT_TRUE(valid);

    SimBytes::SimPackBcd(bytes, 7, 2900000056789ULL);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(bytes), 7).toHex(' '), "02 90 00 00 05 67 89");
    SimBytes::SimPackBcd(bytes, 1, 345);
    EXPECT_EQ(bytes[0], 0x45) << "digits beyond the field are dropped";

    const quint8 invalid[2] = {0x1A, 0x23};
    EXPECT_EQ(SimBytes::SimUnpackBcd(invalid, 2, &valid), 1 * 1000 + 10 * 100 + 23u);
    EXPECT_FALSE(valid);
}

TEST(SimRecords, PluRecordLayout)
{
    PluFields f;
    f.barcode = 2900000056789ULL;
    f.name = "ABCDEFGHIJKLMNOPQR";  // exactly 18: no terminator
    f.price = 1250;
    f.department = 0;
    f.stocksMilli = -1000;
    f.flag = 7;
    const PluBytes r = EncodePlu(f);
    EXPECT_EQ(Hex(r, 0, 7), "02 90 00 00 05 67 89");
    EXPECT_EQ(r[7], 'A');
    EXPECT_EQ(r[24], 'R');
    EXPECT_EQ(Hex(r, 25, 4), "00 00 04 e2");
    EXPECT_EQ(Hex(r, 29, 15), QByteArray(15, '\0').toHex(' '));
    EXPECT_EQ(r[44], 0);
    EXPECT_EQ(Hex(r, 45, 4), "ff ff fc 18");
    EXPECT_EQ(r[49], 7);

    const PluFields back = DecodePlu(r);
    EXPECT_EQ(back.barcode, f.barcode);
    EXPECT_EQ(back.name, f.name);
    EXPECT_EQ(back.price, 1250);
    EXPECT_EQ(back.stocksMilli, -1000);
    EXPECT_EQ(back.flag, 7);
}

TEST(SimRecords, DepartmentAndTotalsLayout)
{
    DepartmentFields d;
    d.name = "Drinks";
    d.tax = 8;
    d.price = 100;
    const DepartmentBytes r = EncodeDepartment(d);
    EXPECT_EQ(r[0], 'D');
    EXPECT_EQ(r[6], 0);
    EXPECT_EQ(r[18], 8);
    EXPECT_EQ(Hex(r, 20, 4), "00 00 00 64");
    EXPECT_EQ(DecodeDepartment(r).name, "Drinks");

    quint8 t[17] = {};
    EncodeTotals({1234567890123ULL, 2500, 0xFFFFFFFFFFFFULL}, t);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(t), 17).toHex(' '),
              "01 23 45 67 89 01 23 00 00 09 c4 ff ff ff ff ff ff");
    const TotalsFields back = DecodeTotals(t);
    EXPECT_EQ(back.barcode, 1234567890123ULL);
    EXPECT_EQ(back.quantityMilli, 2500);
    EXPECT_EQ(back.total, 0xFFFFFFFFFFFFULL);
}

TEST(SimRecords, TextFieldsStopAtZeroAndWidth)
{
    quint8 field[10] = {'a', 'b', 0, 'c', 'd', 'e', 'f', 'g', 'h', 'i'};
    EXPECT_EQ(ReadText(field, 10), "ab");
    WriteText(field, 4, "wxyz12");
    EXPECT_EQ(ReadText(field, 4), "wxyz");
    EXPECT_EQ(field[4], 'd') << "nothing written beyond the field";
}

} // namespace
