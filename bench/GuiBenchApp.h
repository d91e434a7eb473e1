#pragma once

#include "config/AppPaths.h"

#include <QApplication>
#include <QTemporaryDir>

// The application a window benchmark runs in: the offscreen platform unless
// another is asked for, and a scratch program folder for the files it writes.
class GuiBenchApp
{
public:
    // The platform is chosen before the application exists.
    GuiBenchApp(int& argc, char** argv) : m_app((UseOffscreenUnlessSet(), argc), argv)
    {
        AppPaths::SetProgramDir(m_dir.path());
    }

    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

private:
    static void UseOffscreenUnlessSet()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication m_app;
    QTemporaryDir m_dir;
};
