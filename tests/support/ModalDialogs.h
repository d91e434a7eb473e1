#pragma once

// Answers the modal dialogs a command under test opens.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <type_traits>

// Acts on the next modal dialog of type Dialog as soon as it is shown: a
// key press may run pending events before the command opens its dialog, so
// this looks every millisecond until one is there.
template <typename Dialog = QDialog>
void OnNextModal(std::function<void(std::type_identity_t<Dialog>&)> act)
{
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start(1);
}
