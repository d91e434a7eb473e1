#pragma once

#include "app/Main.h"
#include "model/Columns.h"
#include "model/TextTable.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// The main window as the tests against the simulator use it: shown, active,
// on COM3 at 115200 bit/s.
inline std::unique_ptr<TMainForm> ShowFormOnCom3(IMessageBox* messages, IFileDialogs* dialogs)
{
    auto form = std::make_unique<TMainForm>(messages, dialogs);
    form->CreateWindows(QStringLiteral("Shop"));
    form->SetPortNumber(3);
    form->SetSpeedIndex(4);
    form->show();
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    return form;
}

// PLUs 1 to 9 named "Article n" at the price n.10.
inline void NameNineArticles(TextTable& plu)
{
    for (int n = 1; n <= 9; ++n) {
        plu.SetCell(PLUColumn::Name, n, QStringLiteral("Article %1").arg(n));
        plu.SetCell(PLUColumn::UnitPrice, n, QStringLiteral("%1.10").arg(n));
    }
}

// Runs the window's command `action` (an action's objectName) as its menu
// entry or key would.
inline void TriggerAction(TMainForm& form, const char* action)
{
    auto* item = form.findChild<QAction*>(QString::fromLatin1(action));
    ASSERT_NE(item, nullptr) << action;
    item->trigger();
}
