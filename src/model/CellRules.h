#pragma once

#include <QChar>
#include <QString>
#include <QtGlobal>

#include <limits>

// What a column accepts while the operator types, and the check a cell must
// pass (and the form it is rewritten to) before the cursor may leave it.
struct ColumnRule
{
    enum class Keys { Any, Digits, Numeric };
    enum class Check { LengthOnly, Whole, Decimal };
    enum class Bound { None, Value, Magnitude };

    int maxLength = 0;
    Keys keys = Keys::Any;
    Check check = Check::LengthOnly;
    // Whole numbers: the inclusive range.
    qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 highest = std::numeric_limits<qint64>::max();
    // Decimal numbers: refused above limit (Value) or when the absolute value
    // is above it (Magnitude); rewritten with this many decimals.
    Bound bound = Bound::None;
    double limit = 0;
    int decimals = 0;
};

ColumnRule PLURule(int col);
ColumnRule DeptmentRule(int col);
ColumnRule RecyRule(int col);

// True when every character fits in one byte (U+0000..U+00FF).
bool IsSingleByteText(const QString& text);

// Checks a cell's text and rewrites it in place: an empty text becomes the
// default, numbers are written in their plain form. A refused text is left
// unchanged.
bool CheckCellText(const ColumnRule& rule, const QString& defaultText, QString& text);

// Why CheckCellText refuses a text of the column, in words for the operator
// ("a whole number from 1 to 9", "at most 999999.99").
QString RefusalReason(const ColumnRule& rule);

// The character a key puts into a cell: in numeric columns both "," and "."
// stand for the decimal separator, whichever one the locale uses.
QChar CellKeyChar(const ColumnRule& rule, QChar ch);

// The key filter for a character typed into a cell holding text. Control
// characters (below 32) always pass; characters above U+00FF never do. A full
// cell takes a key only when the editor has a selection for it to replace.
bool AcceptCellKey(const ColumnRule& rule, const QString& text, QChar ch, bool editorHasSelection);
