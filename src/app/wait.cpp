#include "app/wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void wait_ms(int ms) {
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Sleep in a nested event loop rather than spinning: it wakes for every event and for the
    // deadline. A timer may fire a little early, hence the loop.
    while (clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(ms - clock.elapsed()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}
