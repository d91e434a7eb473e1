#pragma once

#include <QChar>
#include <QString>

// The parameter dialog shows a rate or VAT rate in a masked field of five
// characters: two digits, the decimal separator, two digits ("07.50").

// The field text for a stored rate text. A number is shown rounded to two
// decimals and kept within what the field can hold (0 to 99.99); a text that
// is not a number counts as 0, as every reader of the rate takes it.
QString RateFieldText(const QString& stored, QChar separator);

// Typing into such a field: digits before the separator fill the whole part
// from the right ("5" is 05, a third digit is refused), "," or "." moves to
// the decimals, which fill from the left ("5.5" is 05.50).
struct RateEntry
{
    QString whole;
    QString decimals;
    bool inDecimals = false;

    // False, and nothing changes, for a key the field refuses.
    bool Type(QChar ch);
    // Takes back the last key typed; false when there is none.
    bool Erase();
    QString Text(QChar separator) const;
};

// The input mask of such a field; positions the operator has not typed show
// as 0.
QString RateFieldMask(QChar separator);
