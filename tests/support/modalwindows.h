#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace Vorlane {

// Runs handle on the modal window named name as soon as it shows, once. The
// watch ends there, or with context when no such window shows.
inline void whenModalShows(QObject *context, const QString &name, const std::function<void(QWidget *)> &handle)
{
    auto *poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, handle] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        handle(modal);
    });
    poll->start(10);
}

} // namespace Vorlane
