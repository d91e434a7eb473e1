#pragma once

#include "model/MessageBox.h"

#include <QStringList>

// The operator's message boxes as a record of what the dialogs said.
class DialogMessageRecorder final : public IMessageBox
{
public:
    QStringList errors;
    QStringList informations;
    QStringList questions;
    int beeps = 0;
    bool answerYes = false;

    void Error(const QString& text) override { errors << text; }
    void Information(const QString& text) override { informations << text; }
    SaveAnswer AskYesNoCancel(const QString& text) override
    {
        questions << text;
        return SaveAnswer::Cancel;
    }
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return answerYes;
    }
    void Beep() override { ++beeps; }
};
