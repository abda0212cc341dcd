#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// A modal window's exec() returns only when the window has closed, so a test acts on it from the
// event loop that exec() runs: whenModal() runs `step` once a visible window of type T is the
// active modal widget and `ready` (if given) holds for it. When none comes within `timeoutMs`, the
// test fails and the modal window that is open is closed, so that the exec() waiting on it returns
// instead of hanging the test program. A step may schedule the next one before it acts.
template<class T>
void whenModal(std::function<void(T *)> step, std::function<bool(T *)> ready = {}, int timeoutMs = 20000)
{
    auto *timer = new QTimer;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, step, ready, timeoutMs] {
        auto *w = qobject_cast<T *>(QApplication::activeModalWidget());
        if (w && w->isVisible() && (!ready || ready(w))) {
            timer->stop();
            timer->deleteLater();
            step(w);
        } else if (clock.hasExpired(timeoutMs)) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " came up within " << timeoutMs << " ms";
            if (QWidget *open = QApplication::activeModalWidget())
                open->close();
        }
    });
    timer->start(10);
}

// Runs the event loop until `condition` holds or `timeoutMs` has passed; whether it holds.
inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.hasExpired(timeoutMs))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace testsupport
