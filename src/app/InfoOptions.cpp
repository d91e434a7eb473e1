#include "app/InfoOptions.h"

#include "config/BuildInfo.h"

#include <QString>

#include <cstdio>
#include <cstring>

namespace {

QString Usage()
{
    return QStringLiteral(
        "Usage: plu-manager [FILE.PLU] [options]\n"
        "Keeps the programming of a TQR716 cash register on the PC: the PLU and\n"
        "department tables, the recycling table and the parameter set.\n"
        "\n"
        "  FILE.PLU               open this document at start\n"
        "  --port-map COMn=PATH   for this run only, COMn stands for the device PATH\n"
        "                         (the settings file is left alone); once per port\n"
        "  --fill-test-data       fill the tables with test data after start-up\n"
        "  --screenshot FILE      save a picture of the main window as FILE and quit\n"
        "  --help                 show this text\n"
        "  --version              show the program's version\n"
        "\n"
        "Help > Contents in the program opens the user guide.\n");
}

} // namespace

std::optional<int> AnswerInfoOptions(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--port-map") == 0 || std::strcmp(argument, "--screenshot") == 0) {
            ++i; // a value, even one that reads like an option
            continue;
        }
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            std::fputs(Usage().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::fputs(BuildInfo::VersionLine(QStringLiteral("plu-manager")).toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    return std::nullopt;
}
