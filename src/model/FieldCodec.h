#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>

// Cell text to wire number and back, as the register's records and the
// parameter block need it. Numbers are parsed and written exactly (no binary
// floating point) with the decimal separator the grids use, so an uploaded
// table downloads again unchanged.
namespace FieldCodec {

constexpr int kBarcodeBytes = 7;

// The separator between whole part and decimals in cells and settings texts.
QChar DecimalSeparator();

// The text as a whole number; 0 when it is not one.
qint64 IntegerOrZero(const QString& text);

// The text as a plain decimal number (0 when it is not one) in units of
// 10^-decimals, rounded to the nearest with ties to the even neighbour, as its
// lowest 32 bits in two's complement. Values beyond 32 bits wrap.
quint32 ScaledLow32(const QString& text, int decimals);

// units × 10^-scale written with the grids' separator and at least
// minDecimals decimals: (1250, 3, 2) is "1.250", (1250, 0, 2) "1250.00".
QString ScaledText(qint64 units, int scale, int minDecimals);

// Barcode number <-> 7 bytes of packed BCD, most significant digit first.
void PackBarcode(qint64 barcode, quint8* field);
qint64 UnpackBarcode(const quint8* field);

// A zero-padded text field of the register: the text up to the first zero
// byte, at most width bytes, every byte as it is.
QString TakeBytes(const quint8* field, std::size_t width);

// The same for a table cell: control characters become blanks, so a received
// TAB, CR or LF can never split a document's line or shift its columns.
QString TakeText(const quint8* field, std::size_t width);

// The first width characters of text into a zero-padded field.
void PutText(quint8* field, std::size_t width, const QString& text);

} // namespace FieldCodec
