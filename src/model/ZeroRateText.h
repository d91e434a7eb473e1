#pragma once

#include <QChar>
#include <QString>

// The text of a zero rate or VAT rate as the parameter dialog shows and
// stores it: "00", the decimal separator, "00" ("00.00" with a full stop).
inline QString ZeroRateText(QChar separator)
{
    return QStringLiteral("00") + separator + QStringLiteral("00");
}
