#pragma once

#include "labels/BarcodeChoice.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct zint_symbol;
struct zint_vector;

// One barcode encoded by libzint as vector output (rectangles for the bars,
// strings for the digits below them, in zint's own units). Owns the symbol
// and frees it with the library's own function.
class ZintSymbol
{
public:
    // Encodes the choice's digits; Error() tells why when it failed. With a
    // height per width (> 0) the bars are made as high as gives the whole
    // symbol, digits included, about that shape, so it fills a box of that
    // shape without stretching its digits.
    explicit ZintSymbol(const BarcodeChoice& choice, float heightPerWidth = 0);

    bool Ok() const { return m_error.isEmpty(); }
    const QString& Error() const { return m_error; }
    // The vector output; null unless Ok().
    const zint_vector* Vector() const;

private:
    bool Encode(const QByteArray& digits);

    struct Delete
    {
        void operator()(zint_symbol* symbol) const;
    };

    std::unique_ptr<zint_symbol, Delete> m_symbol;
    QString m_error;
};
