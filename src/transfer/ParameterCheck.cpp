#include "transfer/ParameterCheck.h"

#include "model/Numbers.h"
#include "config/SettingsFile.h"

#include <optional>

namespace {

using namespace ParameterRanges;

const QString kSection = QStringLiteral("Default");
constexpr int kClerkCount = 4;
constexpr int kBarcodeTypeCount = 10;
constexpr int kVatCount = 9;

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

void CheckRate(const SettingsFile& settings, const QString& key, QStringList& refused)
{
    const QString value = settings.ReadText(kSection, key);
    if (value.trimmed().isEmpty())
        return;
    const std::optional<double> rate = ParseDecimal(value);
    if (!rate || *rate < 0 || RoundHalfEven(*rate * 100) > RoundHalfEven(kHighestRate * 100))
        refused << Refusal(key, value, QStringLiteral("a rate runs from 0 to 99.99"));
}

void CheckWhole(const SettingsFile& settings, const QString& key, qint64 lowest, qint64 highest,
                QStringList& refused)
{
    const QString value = settings.ReadText(kSection, key);
    if (value.trimmed().isEmpty())
        return;
    const QString digits = WithoutBlanksAround(value);
    const std::optional<qint64> number = AllDigits(digits) ? ParseWhole(digits) : std::nullopt;
    if (!number || *number < lowest || *number > highest)
        refused << Refusal(key, value, QStringLiteral("takes %1 to %2").arg(lowest).arg(highest));
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
    QStringList refused;
    CheckRate(settings, QStringLiteral("-% rate"), refused);
    CheckRate(settings, QStringLiteral("+% rate"), refused);
    CheckWhole(settings, QStringLiteral("Print Speed"), kPrintSpeedMin, kPrintSpeedMax, refused);
    for (int n = 1; n <= kBarcodeTypeCount; ++n)
        CheckWhole(settings, Numbered("BCode", n), kBarcodeTypeMin, kBarcodeTypeMax, refused);
    for (int n = 1; n <= kClerkCount; ++n)
        CheckWhole(settings, Numbered("ClerkPWD", n), 0, kHighestPassword, refused);
    for (int n = 1; n <= kVatCount; ++n) {
        if (settings.ReadFlag(kSection, Numbered("VATEnable", n), true))
            CheckRate(settings, Numbered("VAT", n), refused);
    }
    return refused;
}
