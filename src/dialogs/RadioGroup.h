#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A titled group of radio buttons laid out in columns, filled column by
// column, addressed by item index.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent = nullptr);

    int Count() const;
    // The checked item, -1 when none is.
    int ItemIndex() const;
    // An index outside the items leaves none checked.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;

private:
    QButtonGroup* m_group;
};
