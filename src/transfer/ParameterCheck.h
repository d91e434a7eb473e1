#pragma once

#include <QStringList>
#include <QtGlobal>

class SettingsFile;

// What the parameter dialog offers for the items of the parameter set. The
// block itself holds more: a value read from the register goes back as it
// came, whatever the dialog would offer.
namespace ParameterRanges {
inline constexpr int kPrintSpeedMin = 1;
inline constexpr int kPrintSpeedMax = 9;
inline constexpr int kBarcodeTypeMin = 0;
inline constexpr int kBarcodeTypeMax = 36;
inline constexpr qint64 kHighestPassword = 65535;
} // namespace ParameterRanges

// The text without the blanks and control characters around it, as a
// password is read.
QString WithoutBlanksAround(const QString& text);

// What in section "Default" of the settings file the parameter block cannot
// carry as it is, one text per refused key ("VAT3 = 123.45: a VAT rate runs
// from 0 to 99.99, with at most two decimals"); empty when the set may be
// sent. Refused is only what would wrap or be cut on its way into the block
// (a rate above 655.35 or with three decimals, a password above 65535, a
// print speed above 255, a header longer than 24 characters) and what the
// register reads as something else (a VAT rate of 100.00 or more, whose codes
// mark a tax-free or unused rate). Missing and empty keys take their defaults
// and pass; VAT rates not in use are not sent and not checked.
QStringList RefusedParameters(const SettingsFile& settings);
