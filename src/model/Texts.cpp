#include "model/Texts.h"

ProgramTexts ProgramTexts::BuiltIn()
{
    ProgramTexts t;
    t.PLUTitles = {"NO.", "Barcode", "Name", "Unit price", "Department",
                   "Stocks", "Flag", "Quantity", "Total"};
    t.DeptmentTitles = {"NO.", "Name", "Tax", "Unit price"};
    t.RecyTitles = {"PLU #", "Package price", "Barcode"};
    t.DownloadItemTips = {"PLU", "department", "parameter"};
    t.UploadItemTips = t.DownloadItemTips;
    t.ConnectText = "Connect";
    t.DisconnectText = "Disconnect";
    t.DownloadText = "Download:";
    t.UploadText = "Upload:";
    t.ReportNotClearText = "ECR report don't clear!";
    return t;
}

ProgramTexts& Texts()
{
    static ProgramTexts texts = ProgramTexts::BuiltIn();
    return texts;
}

void ResetTexts()
{
    Texts() = ProgramTexts::BuiltIn();
}
