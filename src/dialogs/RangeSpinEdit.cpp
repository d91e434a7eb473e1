#include "dialogs/RangeSpinEdit.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

TRangeSpinEdit::TRangeSpinEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), m_minimum(minimum), m_maximum(maximum)
{
    SetText(QString::number(minimum));
}

void TRangeSpinEdit::SetText(const QString& text)
{
    lineEdit()->setText(text);
    update();
}

void TRangeSpinEdit::SetMaxLength(int length)
{
    lineEdit()->setMaxLength(length);
}

int TRangeSpinEdit::SteppingBase() const
{
    bool ok = false;
    const int value = text().trimmed().toInt(&ok);
    return ok ? qBound(m_minimum, value, m_maximum) : m_minimum;
}

void TRangeSpinEdit::stepBy(int steps)
{
    const qint64 stepped = qint64(SteppingBase()) + steps;
    SetText(QString::number(qBound(qint64(m_minimum), stepped, qint64(m_maximum))));
    selectAll();
}

QAbstractSpinBox::StepEnabled TRangeSpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const int value = SteppingBase();
    StepEnabled enabled = StepNone;
    if (value > m_minimum)
        enabled |= StepDownEnabled;
    if (value < m_maximum)
        enabled |= StepUpEnabled;
    return enabled;
}

QSize TRangeSpinEdit::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int digits = qMax(QString::number(m_maximum).size(), QString::number(m_minimum).size());
    const QSize text(metrics.horizontalAdvance(QString(digits + 1, u'0')), lineEdit()->sizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QSize TRangeSpinEdit::minimumSizeHint() const
{
    return sizeHint();
}
