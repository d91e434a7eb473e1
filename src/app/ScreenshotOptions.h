#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Command-line switches for demonstrations and screenshots only; an operator's
// start reads none.
//   --fill-test-data    fill the tables with test data after start-up
//   --screenshot FILE   save a picture of the main window as FILE and quit
struct ScreenshotOptions
{
    bool fillTestData = false;
    QString screenshotPath;
};

ScreenshotOptions ParseScreenshotOptions(const QStringList& arguments);

// Once the event loop has laid out and painted `window`, saves its picture
// under `path` and quits the application (exit code 1 when saving fails).
void ScheduleScreenshot(QWidget& window, const QString& path);
