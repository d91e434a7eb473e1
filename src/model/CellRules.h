#pragma once

#include "model/Decimal.h"

#include <QChar>
#include <QString>
#include <QtGlobal>

#include <limits>
#include <optional>

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
    // is above it (Magnitude); written with at least `decimals` decimals, and
    // refused with more than maxDecimals significant ones.
    Bound bound = Bound::None;
    Decimal limit;
    int decimals = 0;
    int maxDecimals = 0;
    // Prices: the register keeps as many decimals as its status says, and
    // that decides what can be stored (maxDecimals does not apply).
    bool registerDecimals = false;
};

ColumnRule PLURule(int col);
ColumnRule DeptmentRule(int col);
ColumnRule RecyRule(int col);

// True when every character fits in one byte (U+0000..U+00FF).
bool IsSingleByteText(const QString& text);

// The verdict on one cell text: the text the cell takes, or why it is refused.
struct CellJudgement
{
    QString text;     // the normal form; the text judged when refused
    QString refusal;  // for the operator ("a whole number from 1 to 9"); empty when taken

    bool Taken() const { return refusal.isEmpty(); }
};

// The one check of a cell text, for typing, pasting, importing a sheet and
// before anything is sent or compared. An empty text becomes the default,
// numbers take their plain written form ("1,50" and "1.50" both become 1.50
// with the locale's separator). With the register's price decimals known, a
// price is refused unless the register stores it exactly.
CellJudgement JudgeCell(const ColumnRule& rule, const QString& defaultText, const QString& text,
                        std::optional<int> priceDecimals = std::nullopt);

// JudgeCell's verdict applied in place: true and the normal form when taken,
// false and the text unchanged when refused.
bool CheckCellText(const ColumnRule& rule, const QString& defaultText, QString& text);

// The character a key puts into a cell: in numeric columns both "," and "."
// stand for the decimal separator, whichever one the locale uses.
QChar CellKeyChar(const ColumnRule& rule, QChar ch);

// The key filter for a character typed into a cell holding text. Control
// characters (below 32) always pass; characters above U+00FF never do. A full
// cell takes a key only when the editor has a selection for it to replace.
bool AcceptCellKey(const ColumnRule& rule, const QString& text, QChar ch, bool editorHasSelection);
