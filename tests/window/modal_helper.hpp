#pragma once
// Acting on a modal window from inside its own event loop, as a user would.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace window_testing {

// Once a modal window shows, runs `act` on it; `act` must end it. Gives up after five seconds.
inline void whenModalShows(std::function<void(QWidget&)> act, int triesLeft = 500)
{
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(*modal);
        else if (triesLeft == 0)
            qFatal("no modal window showed");
        else
            whenModalShows(std::move(act), triesLeft - 1);
    });
}

}  // namespace window_testing
