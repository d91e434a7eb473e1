#include "app/WidgetMessageBox.h"

#include <QApplication>
#include <QMessageBox>

void WidgetMessageBox::Error(const QString& text)
{
    QMessageBox::critical(m_parent, QApplication::applicationDisplayName(), text);
}

void WidgetMessageBox::Information(const QString& text)
{
    QMessageBox::information(m_parent, QApplication::applicationDisplayName(), text);
}

IMessageBox::SaveAnswer WidgetMessageBox::AskYesNoCancel(const QString& text)
{
    const auto answer = QMessageBox::warning(
        m_parent, QApplication::applicationDisplayName(), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return SaveAnswer::Yes;
    if (answer == QMessageBox::No)
        return SaveAnswer::No;
    return SaveAnswer::Cancel;
}

bool WidgetMessageBox::AskYesNo(const QString& text)
{
    return QMessageBox::question(m_parent, QString(), text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void WidgetMessageBox::Beep()
{
    QApplication::beep();
}
