#include "app/WidgetMessageBox.h"

#include "files/Document.h"
#include "widgets/DialogParts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void WidgetMessageBox::Error(const QString& text)
{
    QMessageBox::critical(m_parent, Document::Title(), text);
}

void WidgetMessageBox::Information(const QString& text)
{
    QMessageBox::information(m_parent, Document::Title(), text);
}

IMessageBox::SaveAnswer WidgetMessageBox::AskYesNoCancel(const QString& text)
{
    const auto answer = QMessageBox::warning(
        m_parent, Document::Title(), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return SaveAnswer::Yes;
    if (answer == QMessageBox::No)
        return SaveAnswer::No;
    return SaveAnswer::Cancel;
}

bool WidgetMessageBox::AskYesNo(const QString& text)
{
    return QMessageBox::question(m_parent, NoCaption(), text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

bool WidgetMessageBox::AskYesNoDefaultNo(const QString& text)
{
    return QMessageBox::question(m_parent, NoCaption(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

bool WidgetMessageBox::Offer(const QString& text, const QString& command)
{
    QMessageBox box(QMessageBox::Information, Document::Title(), text, QMessageBox::Close, m_parent);
    box.setObjectName(QStringLiteral("OfferBox"));
    QPushButton* chosen = box.addButton(command, QMessageBox::AcceptRole);
    chosen->setObjectName(QStringLiteral("OfferBtn"));
    box.setDefaultButton(QMessageBox::Close);
    box.exec();
    return box.clickedButton() == chosen;
}

void WidgetMessageBox::Beep()
{
    QApplication::beep();
}
