#include "model/RateFieldText.h"

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

bool RateEntry::Type(QChar ch)
{
    constexpr int kDigits = 2;
    if (ch == u'.' || ch == u',') {
        if (inDecimals)
            return false;
        inDecimals = true;
        return true;
    }
    if (!ch.isDigit() || ch.unicode() > 0x7F)
        return false;
    QString& part = inDecimals ? decimals : whole;
    if (part.size() >= kDigits)
        return false;
    part += ch;
    return true;
}

bool RateEntry::Erase()
{
    if (!decimals.isEmpty())
        decimals.chop(1);
    else if (inDecimals)
        inDecimals = false;
    else if (!whole.isEmpty())
        whole.chop(1);
    else
        return false;
    return true;
}

QString RateEntry::Text(QChar separator) const
{
    return whole.rightJustified(2, u'0') + separator + decimals.leftJustified(2, u'0');
}

QString RateFieldMask(QChar separator)
{
    // '9' takes a digit; the escaped separator is a fixed character; blanks
    // show as '0'.
    return QStringLiteral("99\\") + separator + QStringLiteral("99;0");
}
