#pragma once
// Acting on a modal window from inside its own event loop, as a user would.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace window_testing {

// Once a modal window shows, runs `act` on it; `act` must end it. A dialog that `act` left open
// (a check inside it failed and returned early) is closed, so the test goes on to report the
// failure instead of waiting forever. Gives up after five seconds.
inline void whenModalShows(std::function<void(QWidget&)> act, int triesLeft = 500)
{
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            const QPointer<QWidget> shown(modal);
            act(*modal);
            if (auto* dialog = qobject_cast<QDialog*>(shown.data()); dialog && dialog->isVisible())
                dialog->reject();
        } else if (triesLeft == 0) {
            qFatal("no modal window showed");
        } else {
            whenModalShows(std::move(act), triesLeft - 1);
        }
    });
}

}  // namespace window_testing
