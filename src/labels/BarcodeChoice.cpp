#include "labels/BarcodeChoice.h"
#include "model/Language.h"

namespace {

bool AllDigits(const QString& text)
{
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return !text.isEmpty();
}

BarcodeChoice::Symbology GtinSymbology(qsizetype length)
{
    using Symbology = BarcodeChoice::Symbology;
    switch (length) {
    case 13:
        return Symbology::Ean13;
    case 12:
        return Symbology::UpcA;
    case 8:
        return Symbology::Ean8;
    default:
        return Symbology::Code128;
    }
}

} // namespace

int GtinCheckDigit(const QString& digitsWithoutCheck)
{
    // From the right, the digits weigh 3, 1, 3, ...
    int sum = 0;
    bool three = true;
    for (qsizetype i = digitsWithoutCheck.size() - 1; i >= 0; --i) {
        sum += digitsWithoutCheck[i].digitValue() * (three ? 3 : 1);
        three = !three;
    }
    return (10 - sum % 10) % 10;
}

BarcodeChoice ChooseBarcode(const QString& cell)
{
    BarcodeChoice choice;
    const QString digits = cell.trimmed();
    if (digits.isEmpty() || !AllDigits(digits) || digits.count(u'0') == digits.size()) {
        if (!digits.isEmpty() && !AllDigits(digits))
            choice.warning = Tr("LabelBarcode", "NotDigits",
                                "the barcode \"%1\" is not digits only: the label has no barcode")
                                 .arg(digits);
        return choice;
    }
    choice.digits = digits;
    choice.symbology = GtinSymbology(digits.size());
    if (choice.symbology == BarcodeChoice::Symbology::Code128)
        return choice;
    const int expected = GtinCheckDigit(digits.left(digits.size() - 1));
    if (digits.back().digitValue() != expected) {
        choice.warning = Tr("LabelBarcode", "CheckDigit",
                            "the check digit of %1 %2 should be %3: it is printed as Code 128")
                             .arg(SymbologyName(choice.symbology), digits)
                             .arg(expected);
        choice.symbology = BarcodeChoice::Symbology::Code128;
    }
    return choice;
}

QString SymbologyName(BarcodeChoice::Symbology symbology)
{
    switch (symbology) {
    case BarcodeChoice::Symbology::Ean13:
        return QStringLiteral("EAN-13");
    case BarcodeChoice::Symbology::Ean8:
        return QStringLiteral("EAN-8");
    case BarcodeChoice::Symbology::UpcA:
        return QStringLiteral("UPC-A");
    case BarcodeChoice::Symbology::Code128:
        return QStringLiteral("Code 128");
    case BarcodeChoice::Symbology::None:
        break;
    }
    return QStringLiteral("none");
}
