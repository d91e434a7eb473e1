#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>

// Cell text to wire number and back, as the register's records and the
// parameter block need it. Numbers are parsed and formatted with the decimal
// separator the grids use, so an uploaded table downloads again unchanged.
namespace FieldCodec {

constexpr int kBarcodeBytes = 7;

// The separator between whole part and decimals in cells and settings texts.
QChar DecimalSeparator();

// The text as a whole number; 0 when it is not one.
qint64 IntegerOrZero(const QString& text);

// 10^decimals as a double (exact up to 22 decimals; never overflows for any
// byte the register can send).
double DecimalScale(quint8 decimals);

// The text as a decimal number (0 when it does not parse) times scale, rounded
// to the nearest whole number with ties to the even neighbour, as its lowest
// 32 bits in two's complement. Values beyond 32 bits wrap.
quint32 ScaledLow32(const QString& text, double scale);

// Barcode number <-> 7 bytes of packed BCD, most significant digit first.
void PackBarcode(qint64 barcode, quint8* field);
qint64 UnpackBarcode(const quint8* field);

// A zero-padded text field of the register: the text up to the first zero
// byte, at most width bytes. Control characters become blanks, so a received
// TAB, CR or LF can never split a document's line or shift its columns.
QString TakeText(const quint8* field, std::size_t width);

// The first width characters of text into a zero-padded field.
void PutText(quint8* field, std::size_t width, const QString& text);

// The value with the given number of decimals ("%.2f") and the grids' separator.
QString FixedText(double value, int decimals);

} // namespace FieldCodec
