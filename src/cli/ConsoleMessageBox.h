#pragma once

#include "cli/ConsoleText.h"
#include "model/MessageBox.h"

#include <cstdio>

// Notices for plu-cli go to standard error; it asks no questions (a question
// is answered the careful way: Cancel, No).
class ConsoleMessageBox final : public IMessageBox
{
public:
    explicit ConsoleMessageBox(std::FILE* out) : out_(out) {}

    void Error(const QString& text) override { Print(text); }
    void Information(const QString& text) override { Print(text); }
    SaveAnswer AskYesNoCancel(const QString&) override { return SaveAnswer::Cancel; }
    bool AskYesNo(const QString&) override { return false; }
    void Beep() override {}

private:
    void Print(const QString& text)
    {
        std::fprintf(out_, "plu-cli: %s\n", ConsoleText::Bytes(text).constData());
        std::fflush(out_);
    }

    std::FILE* out_;
};
