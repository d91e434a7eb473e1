#pragma once

#include <QAbstractSpinBox>

// A spin field whose text the operator may type freely. The arrows, the
// cursor keys and the wheel step the number within minimum..maximum, but
// typed text is never corrected, so "0", "" or "abc" stay as typed until the
// dialog checks them on closing.
class TRangeSpinEdit : public QAbstractSpinBox
{
    Q_OBJECT

public:
    TRangeSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetMaxLength(int length);

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The number the text stands for, clamped into the range; the minimum
    // when the text is not a number.
    int SteppingBase() const;

    int m_minimum;
    int m_maximum;
};
