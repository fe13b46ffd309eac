#pragma once
// One watcher of every event of the program: made once, owned by the
// application object, forgotten when that goes.

#include <QCoreApplication>
#include <QObject>

namespace ui {

// Makes `one` the application's event filter of this kind unless there is one
// already; none without an application object. Returns whether it was made.
template <class Filter> bool installApplicationFilter(Filter*& one)
{
    if (one || !QCoreApplication::instance())
        return false;
    one = new Filter;
    one->setParent(QCoreApplication::instance());
    QObject::connect(one, &QObject::destroyed, [&one] { one = nullptr; });
    QCoreApplication::instance()->installEventFilter(one);
    return true;
}

} // namespace ui
