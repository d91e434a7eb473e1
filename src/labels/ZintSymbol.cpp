#include "labels/ZintSymbol.h"
#include "model/Language.h"

#include <zint.h>

namespace {

// zint computes the check digit of an EAN or UPC itself: it is given the
// digits without it (the choice has checked it already).
int Symbology(BarcodeChoice::Symbology symbology)
{
    switch (symbology) {
    case BarcodeChoice::Symbology::Ean13:
    case BarcodeChoice::Symbology::Ean8:
        return BARCODE_EANX;
    case BarcodeChoice::Symbology::UpcA:
        return BARCODE_UPCA;
    case BarcodeChoice::Symbology::Code128:
    case BarcodeChoice::Symbology::None:
        break;
    }
    return BARCODE_CODE128;
}

QByteArray EncodedDigits(const BarcodeChoice& choice)
{
    const QByteArray digits = choice.digits.toLatin1();
    if (choice.symbology == BarcodeChoice::Symbology::Code128)
        return digits;
    return digits.left(digits.size() - 1);
}

} // namespace

void ZintSymbol::Delete::operator()(zint_symbol* symbol) const
{
    ZBarcode_Delete(symbol);
}

ZintSymbol::ZintSymbol(const BarcodeChoice& choice, float heightPerWidth) : m_symbol(ZBarcode_Create())
{
    if (!m_symbol) {
        m_error = Tr("LabelBarcode", "NoMemory", "out of memory for a barcode");
        return;
    }
    if (!choice.HasBarcode()) {
        m_error = Tr("LabelBarcode", "NoBarcode", "no barcode");
        return;
    }
    m_symbol->symbology = Symbology(choice.symbology);
    const QByteArray digits = EncodedDigits(choice);
    if (!Encode(digits) || heightPerWidth <= 0)
        return;
    // The digits and margins keep their size; only the bars' height changes.
    const float others = m_symbol->vector->height - m_symbol->height;
    const float bars = heightPerWidth * m_symbol->vector->width - others;
    if (bars <= 1)
        return;
    ZBarcode_Clear(m_symbol.get());
    m_symbol->height = bars;
    Encode(digits);
}

bool ZintSymbol::Encode(const QByteArray& digits)
{
    // Scanners need the blank margins beside the bars.
    m_symbol->output_options |= BARCODE_QUIET_ZONES;
    const int result = ZBarcode_Encode(m_symbol.get(), reinterpret_cast<const unsigned char*>(digits.constData()),
                                       int(digits.size()));
    if (result >= ZINT_ERROR || ZBarcode_Buffer_Vector(m_symbol.get(), 0) >= ZINT_ERROR || !m_symbol->vector) {
        m_error = QString::fromLatin1(m_symbol->errtxt);
        if (m_error.isEmpty())
            m_error = Tr("LabelBarcode", "CannotDraw", "the barcode cannot be drawn");
        return false;
    }
    return true;
}

const zint_vector* ZintSymbol::Vector() const
{
    return Ok() ? m_symbol->vector : nullptr;
}
