#include "app/DocumentArgument.h"
#include "app/InfoOptions.h"
#include "app/Main.h"
#include "app/PortMapOption.h"
#include "app/ScreenshotOptions.h"
#include "config/StartupValues.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // A file size limit makes a save fail with its reason, as a full disk
    // does, instead of ending the program with the work unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    if (const auto status = AnswerInfoOptions(argc, argv))
        return *status;
    QApplication app(argc, argv);
    // No application display name: the window system would append it to
    // every caption, which must read exactly as the windows set them.
    // Desktops take the icon and the name from the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tqr716.PluManager"));
    const ScreenshotOptions demo = ParseScreenshotOptions(QApplication::arguments());

    // The settings file lies beside the executable; two of its values are read
    // once, before any window exists.
    LoadStartupValues();

    // Every window is created once, in this order, and lives until the end;
    // the main window owns the others and hands them to the language file.
    // --port-map goes first: the links keep a resolver already in place.
    const auto portOverrides = ParsePortMapOptions(QApplication::arguments());
    if (!portOverrides.isEmpty())
        UsePortMapOverrides(portOverrides);
    TMainForm mainForm;
    mainForm.CreateWindows(Startup().companyName);

    mainForm.ShowMainWindow();
    // A document named on the command line opens before any change exists,
    // so the save prompt cannot arise.
    const QString document = DocumentArgument(QApplication::arguments());
    if (!document.isEmpty())
        mainForm.OpenDocumentFile(document);
    if (demo.fillTestData)
        mainForm.FillTestDataClick();
    if (!demo.screenshotPath.isEmpty())
        ScheduleScreenshot(mainForm, demo.screenshotPath);
    return app.exec();
}
