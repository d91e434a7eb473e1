#include "app/HiddenKeys.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A hidden key's command may install an application event filter (the
// command lock, a dialog) while the key press is still being handed round:
// the command runs once per press all the same.
TEST(KeyPreviewTest, EachPressReachesTheHandlerOnceEvenWhenTheHandlerInstallsAFilter)
{
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QObject filter;
    QStringList seen;
    const KeyPreview preview(window, [&](int key, Qt::KeyboardModifiers) {
        seen << QKeySequence(key).toString();
        if (seen.size() == 1)
            QApplication::instance()->installEventFilter(&filter);
    });

    QTest::keyClick(window.windowHandle(), Qt::Key_F6);
    QTest::keyClick(window.windowHandle(), Qt::Key_F6);
    QTest::keyClick(window.windowHandle(), Qt::Key_F8);
    EXPECT_EQ(seen, QStringList({"F6", "F6", "F8"}));
}

} // namespace
