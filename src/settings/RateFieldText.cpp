#include "settings/RateFieldText.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace {

constexpr int kLargestHundredths = 9999;

// A decimal number written with `separator`; nothing for any other text.
std::optional<double> ParseRate(const QString& stored, QChar separator)
{
    QString text = stored.trimmed();
    if (separator != u'.') {
        if (text.contains(u'.'))
            return std::nullopt;
        text.replace(separator, u'.');
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QString RateFieldText(const QString& stored, QChar separator)
{
    const double value = ParseRate(stored, separator).value_or(0.0);
    const double hundredths = std::nearbyint(value * 100.0);
    const int clamped = static_cast<int>(qBound(0.0, hundredths, double(kLargestHundredths)));
    return QStringLiteral("%1%2%3")
        .arg(clamped / 100, 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(clamped % 100, 2, 10, QLatin1Char('0'));
}

QString RateFieldMask(QChar separator)
{
    // '9' takes a digit; the escaped separator is a fixed character; blanks
    // show as '0'.
    return QStringLiteral("99\\") + separator + QStringLiteral("99;0");
}
