#pragma once

// Keys as the operator types them: to the widget that has the focus.

#include <QApplication>
#include <QString>
#include <QTest>

inline void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods);
}

// Each character as a key of its own, whatever key would produce it.
inline void Type(const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(ch),
                            Qt::NoModifier);
}
