#pragma once

#include <QStringList>
#include <QtGlobal>

class SettingsFile;

// What the register takes for the items of the parameter set.
namespace ParameterRanges {
inline constexpr int kPrintSpeedMin = 1;
inline constexpr int kPrintSpeedMax = 9;
inline constexpr int kBarcodeTypeMin = 0;
inline constexpr int kBarcodeTypeMax = 36;
inline constexpr double kHighestRate = 99.99;
inline constexpr qint64 kHighestPassword = 65535;
} // namespace ParameterRanges

// The text without the blanks and control characters around it, as a
// password is read.
QString WithoutBlanksAround(const QString& text);

// What in section "Default" of the settings file the register cannot take as
// it is, one text per refused key ("VAT3 = 123.45: a rate runs from 0 to
// 99.99"); empty when the parameter set may be sent. A rate or VAT rate above
// 99.99 would be sent as 0 or switch the tax off, a password above 65535
// would lose its high digits, a print speed or barcode type outside its range
// would be taken by the register as something else. Missing and empty keys
// take their defaults and pass; VAT rates not in use are not sent and not
// checked.
QStringList RefusedParameters(const SettingsFile& settings);
