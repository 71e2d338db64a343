#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Runs `act` on the modal window of type T once it is open (a window opened by exec() stops the
// test until it is closed); fails the test when none opens.
template <typename T> void whenOpen(std::function<void(T*)> act)
{
    auto tries = std::make_shared<int>(0);
    auto look = std::make_shared<std::function<void()>>();
    *look = [=] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(w);
            return;
        }
        if (++*tries > 500) {
            qWarning("no %s opened", T::staticMetaObject.className());
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        QTimer::singleShot(10, *look);
    };
    QTimer::singleShot(0, *look);
}
