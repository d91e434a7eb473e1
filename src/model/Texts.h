#pragma once

#include <QString>

#include <array>

// The program's replaceable texts: column titles, transfer choices and the
// short messages of the transfer windows. They start as the built-in English
// texts; the language file replaces them at start-up.
struct ProgramTexts
{
    std::array<QString, 9> PLUTitles;
    std::array<QString, 4> DeptmentTitles;
    std::array<QString, 3> RecyTitles;
    // Indexed by table: 0 PLU, 1 department, 2 parameter.
    std::array<QString, 3> DownloadItemTips;
    std::array<QString, 3> UploadItemTips;
    QString ConnectText;
    QString DisconnectText;
    QString DownloadText;
    QString UploadText;
    QString ReportNotClearText;

    static ProgramTexts BuiltIn();
};

// The program-wide texts, for reading and for replacing.
ProgramTexts& Texts();

// Puts the built-in English texts back.
void ResetTexts();
