#pragma once

// The small conversions every other part of the program uses to move between
// the texts of the tables and the byte fields of the register's records, and
// the program-wide texts and column tables.

#include "model/Columns.h"
#include "model/Numbers.h"
#include "model/Texts.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

// Work buffer for packed binary-coded decimal: n digits occupy the first
// BcdByteCount(n) bytes, most significant byte first, high nibble first.
constexpr int kBcdBufferBytes = 19;
using TBcdBuffer = std::array<quint8, kBcdBufferBytes>;

// True exactly for '0'..'9'.
bool IsDigitChar(QChar ch);

// Key filter of numeric cells: digits, '-' and the decimal separator, with at
// most one '-' and one separator in the text. The minus may stand anywhere.
bool IsNumericKey(const QString& text, QChar ch);

// The text without its leading run of ch.
QString StripLeading(const QString& text, QChar ch);

// base^exponent in wrapping 32-bit arithmetic; a negative exponent gives
// 1 div base^|exponent| truncated toward zero (0 when that power is 0).
qint32 PowerOfInt(qint32 base, qint32 exponent);

// Number of packages: 0 for dividend <= 0, else dividend / divisor rounded up.
// A divisor <= 0 gives 0 rather than dividing by zero.
qint32 DivRoundUp(qint32 dividend, qint32 divisor);

// Copies count bytes one at a time from src[0] upward; nothing for count <= 0.
void CopyBytes(void* dst, const void* src, int count);

// Appends the separator-delimited fields of text to list and returns it.
// Empty fields stay: "a\t" gives "a" and "", "" gives one empty field.
QStringList& SplitText(const QString& text, QChar separator, QStringList& list);

// Bytes used by n digits: ((n - 1) div 2) + 1, so 1 for n = 0, limited to the
// buffer (0 for n < -1).
int BcdByteCount(int digits);

// Packs the 2k least significant decimal digits of value into the first
// k = BcdByteCount(digits) bytes; the remaining bytes are zero. A negative
// value has no packed form and packs as 0 (only a hand-edited table can hold a
// negative barcode).
TBcdBuffer PackBcd(int digits, qint64 value);

// Reads the first BcdByteCount(digits) bytes back. Nibbles above 9 are not
// rejected and count with their value; the sum wraps rather than overflowing.
qint64 UnpackBcd(const TBcdBuffer& buffer, int digits);

quint16 SwapBytes16(quint16 value);
quint32 SwapBytes32(quint32 value);
