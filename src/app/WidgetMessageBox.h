#pragma once

#include "model/MessageBox.h"

class QWidget;

// The operator's message boxes as real Qt message boxes.
class WidgetMessageBox : public IMessageBox
{
public:
    explicit WidgetMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}

    void Error(const QString& text) override;
    void Information(const QString& text) override;
    SaveAnswer AskYesNoCancel(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    bool AskYesNoDefaultNo(const QString& text) override;
    bool Offer(const QString& text, const QString& command) override;
    void Beep() override;

private:
    QWidget* m_parent;
};
