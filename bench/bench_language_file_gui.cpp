// Times applying a large language file to every window of the program: a
// file of about 1.3 MB (the program's own sections plus many sections of
// further texts, as a translator's working file collects them), applied once
// as at the first show of the main window.
#include "app/LanguageFile.h"
#include "app/Main.h"
#include "GuiBenchApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

QByteArray LargeLanguageFile(qsizetype targetBytes)
{
    QByteArray bytes = "[MainForm]\r\nNewItem.Caption=&Nieuw\r\nOpenItem.Caption=&Openen...\r\n"
                       "[PLU Titles]\r\n2=Naam\r\n[String]\r\nConnect=Verbinden\r\n";
    for (int section = 0; bytes.size() < targetBytes; ++section) {
        bytes += "[Extra" + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 100; ++key)
            bytes += "Item" + QByteArray::number(key) + ".Caption=Een vertaalde tekst nummer "
                     + QByteArray::number(key) + "\r\n";
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    GuiBenchApp app(argc, argv);

    const QString path = app.FilePath(QStringLiteral("plu-manager.LNG"));
    const QByteArray content = LargeLanguageFile(1300 * 1000);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return 1;
    file.close();

    TMainForm window;
    window.CreateWindows(QString());
    QElapsedTimer timer;
    timer.start();
    ApplyLanguageFile(path, window.Windows());
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("language file %lld bytes, %lld windows: applied in %.1f ms\n",
                static_cast<long long>(content.size()), static_cast<long long>(window.Windows().size()), ms);
    return 0;
}
