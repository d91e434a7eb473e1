#include "app/ScreenshotOptions.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// Long enough for the first layout and paint of a maximised window.
constexpr int SettleMilliseconds = 1500;

} // namespace

ScreenshotOptions ParseScreenshotOptions(const QStringList& arguments)
{
    ScreenshotOptions options;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--fill-test-data"))
            options.fillTestData = true;
        else if (arguments[i] == QStringLiteral("--screenshot") && i + 1 < arguments.size())
            options.screenshotPath = arguments[++i];
    }
    return options;
}

void ScheduleScreenshot(QWidget& window, const QString& path)
{
    // A virtual display has no window manager to maximise the window.
    if (QScreen* screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    QTimer::singleShot(SettleMilliseconds, &window, [&window, path] {
        const bool saved = window.grab().save(path);
        QCoreApplication::exit(saved ? 0 : 1);
    });
}
