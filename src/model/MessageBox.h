#pragma once

#include <QString>

// The few questions and notices the core puts to the operator. The gui library
// answers them with real message boxes; tests answer them with recorders.
class IMessageBox
{
public:
    enum class SaveAnswer { Yes, No, Cancel };

    virtual ~IMessageBox() = default;

    // An error notice with an OK button ("Error opening COM3!...").
    virtual void Error(const QString& text) = 0;
    // An information notice with an OK button ("Invalid PLU range").
    virtual void Information(const QString& text) = 0;
    // A warning with Yes, No and Cancel ("File has not been saved,save it now?").
    virtual SaveAnswer AskYesNoCancel(const QString& text) = 0;
    // A question with Yes and No ("Port found! Do you want to apply it?").
    virtual bool AskYesNo(const QString& text) = 0;
    // The same where Yes would lose data: No is the default answer.
    virtual bool AskYesNoDefaultNo(const QString& text) { return AskYesNo(text); }
    // A notice that offers one command besides Close ("Download changes");
    // true when the operator chose the command.
    virtual bool Offer(const QString& text, const QString& command)
    {
        Q_UNUSED(command)
        Information(text);
        return false;
    }
    // The system beep that answers refused input.
    virtual void Beep() = 0;
};
