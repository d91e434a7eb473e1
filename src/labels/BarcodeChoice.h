#pragma once

#include <QString>

// The symbology a label draws for a Barcode cell: EAN-13 for 13 digits with
// a valid check digit, EAN-8 for 8 and UPC-A for 12 (each with a valid check
// digit), Code 128 for any other digits. A wrong check digit makes the code
// Code 128 (a scanner reads the same digits) with a warning; an empty cell or
// 0 means the article has no barcode.
struct BarcodeChoice
{
    enum class Symbology { None, Ean13, Ean8, UpcA, Code128 };

    Symbology symbology = Symbology::None;
    QString digits;   // the digits encoded, check digit included
    QString warning;  // "the check digit of 4006381333932 should be 1"; empty when none

    bool HasBarcode() const { return symbology != Symbology::None; }
};

BarcodeChoice ChooseBarcode(const QString& cell);

// The check digit of the digits of an EAN or UPC code without their last one.
int GtinCheckDigit(const QString& digitsWithoutCheck);

QString SymbologyName(BarcodeChoice::Symbology symbology);
