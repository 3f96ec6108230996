#pragma once
// Acts on a modal dialog as soon as it shows, without blocking the event loop
// that runs it: the first modal widget of the given class (and, when a name
// is given, of that object name).

#include <QApplication>
#include <QString>
#include <QTimer>

#include <functional>

template <class Dialog>
void whenModal(std::function<void(Dialog*)> act, const QString& name = QString())
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!d || (!name.isEmpty() && d->objectName() != name))
            return;
        timer->stop();
        timer->deleteLater();
        act(d);
    });
    timer->start();
}
