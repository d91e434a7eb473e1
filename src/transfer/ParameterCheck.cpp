#include "transfer/ParameterCheck.h"

#include "model/Language.h"
#include "model/Decimal.h"
#include "model/Numbers.h"
#include "transfer/ParameterBlock.h"
#include "config/SettingsContent.h"
#include "config/SettingsFile.h"

#include <limits>
#include <optional>

namespace {

using namespace ParameterRanges;

const QString kSection = QStringLiteral("Default");
constexpr int kRateDecimals = 2;
// A rate travels as percent × 100 in 16 bits; VAT codes 10000 and up are
// markers (tax-free, not in use), so a VAT rate stays below 100.00.
constexpr qint64 kHighestRateUnits = std::numeric_limits<quint16>::max();
constexpr qint64 kHighestVatUnits = ParameterBlockLayout::kVatTaxFree - 1;
constexpr qint32 kHighestByte = std::numeric_limits<quint8>::max();

QString Numbered(const char* prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

QString Refusal(const QString& key, const QString& value, const QString& why)
{
    return QStringLiteral("%1 = %2: %3").arg(key, value, why);
}

bool AllDigits(const QString& text)
{
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return !text.isEmpty();
}

// `refusal` has %1 for the highest rate.
void CheckRate(const SettingsFile& settings, const QString& key, qint64 highestUnits, const QString& refusal,
               QStringList& refused)
{
    const QString value = settings.ReadText(kSection, key);
    if (value.trimmed().isEmpty())
        return;
    const std::optional<Decimal> rate = Decimal::Parse(value, DecimalSeparator());
    const std::optional<qint64> units = rate ? rate->ExactUnits(kRateDecimals) : std::nullopt;
    if (!units || *units < 0 || *units > highestUnits) {
        const QString highest = Decimal(highestUnits, kRateDecimals).Text(kRateDecimals, DecimalSeparator());
        refused << Refusal(key, value, refusal.arg(highest));
    }
}

// An integer key as the settings file reads it: decimal or 0x hexadecimal.
void CheckByte(const SettingsFile& settings, const QString& key, QStringList& refused)
{
    const QString value = settings.ReadText(kSection, key);
    if (value.trimmed().isEmpty())
        return;
    const std::optional<qint32> number = ParseSettingsInteger(value);
    if (!number || *number < 0 || *number > kHighestByte)
        refused << Refusal(key, value, Tr("ParameterCheck", "ByteRange", "takes 0 to %1").arg(kHighestByte));
}

// Passwords are texts holding a decimal number.
void CheckPassword(const SettingsFile& settings, const QString& key, QStringList& refused)
{
    const QString value = settings.ReadText(kSection, key);
    if (value.trimmed().isEmpty())
        return;
    const QString digits = WithoutBlanksAround(value);
    const std::optional<qint64> number = AllDigits(digits) ? ParseWhole(digits) : std::nullopt;
    if (!number || *number > kHighestPassword)
        refused << Refusal(key, value, Tr("ParameterCheck", "PasswordRange", "takes 0 to %1").arg(kHighestPassword));
}

void CheckText(const SettingsFile& settings, const QString& key, std::size_t width, QStringList& refused)
{
    const QString value = settings.ReadText(kSection, key);
    if (value.size() > qsizetype(width))
        refused << Refusal(key, value, Tr("ParameterCheck", "TextWidth", "the register keeps %1 characters").arg(width));
}

} // namespace

QString WithoutBlanksAround(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

QStringList RefusedParameters(const SettingsFile& settings)
{
    using namespace ParameterBlockLayout;
    QStringList refused;
    const QString rate = Tr("ParameterCheck", "RateRange", "a rate runs from 0 to %1, with at most two decimals");
    CheckRate(settings, QStringLiteral("-% rate"), kHighestRateUnits, rate, refused);
    CheckRate(settings, QStringLiteral("+% rate"), kHighestRateUnits, rate, refused);
    for (int n = 1; n <= kHeaderCount; ++n)
        CheckText(settings, Numbered("Header", n), kLineWidth, refused);
    for (int n = 1; n <= kTailCount; ++n)
        CheckText(settings, Numbered("Tail", n), kLineWidth, refused);
    CheckByte(settings, QStringLiteral("Print Speed"), refused);
    for (int n = 1; n <= kBarcodeTypeCount; ++n)
        CheckByte(settings, Numbered("BCode", n), refused);
    for (int n = 1; n <= kClerkCount; ++n) {
        CheckPassword(settings, Numbered("ClerkPWD", n), refused);
        CheckText(settings, Numbered("ClerkName", n), kClerkNameWidth, refused);
    }
    for (int n = 1; n <= kVatCount; ++n) {
        if (settings.ReadFlag(kSection, Numbered("VATEnable", n), true))
            CheckRate(settings, Numbered("VAT", n), kHighestVatUnits,
                      Tr("ParameterCheck", "VatRange", "a VAT rate runs from 0 to %1, with at most two decimals"), refused);
    }
    return refused;
}
