#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// Decimal numbers in cell texts, table files and settings use one decimal
// separator, taken from the operator's locale at first use. Tests and the
// command-line front end may fix it.
QChar DecimalSeparator();

// Replaces the separator for the rest of the run. Digits, signs, control
// characters and characters a cell cannot hold (above U+00FF) are ignored.
void SetDecimalSeparator(QChar separator);

// Back to the separator of the system locale ('.' when that one cannot be
// held in a cell).
void ResetDecimalSeparator();

// "%.Nf" with the current decimal separator: FormatFixed(5, 2) is "5.00".
QString FormatFixed(double value, int decimals);

// A signed 64-bit whole number: optional blanks, an optional sign, digits.
// Nothing when the text is not such a number or does not fit.
std::optional<qint64> ParseWhole(const QString& text);

// The value of one hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(QChar c);

// Hexadecimal digits only, without prefix or blanks, up to 32 bits. Nothing
// for any other character, for an empty text or when the value does not fit.
std::optional<quint32> ParseHexDigits(QStringView digits);

// A decimal number written with the current separator: optional blanks, an
// optional sign, digits with at most one separator (at least one digit), an
// optional exponent. Nothing when it does not parse or is not finite.
std::optional<double> ParseDecimal(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour. NaN gives
// 0; values beyond the 64-bit range give the nearest limit.
qint64 RoundHalfEven(double value);
