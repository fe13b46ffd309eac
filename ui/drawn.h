#pragma once
// Whether the engineer's last key or click has been answered on the screen:
// work that the engineer does not wait for (the recovery file) waits until
// the windows have been drawn after it, so that it never delays that drawing.

#include <QObject>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace ui::drawn {

// Starts watching the program's keys, clicks and drawing; once is enough,
// and later calls do nothing. Needs the application object.
void install();

// Runs `action` as soon as nothing the engineer pressed waits to be drawn:
// at once when nothing has been pressed since the last such wait, else just
// after the windows have been drawn (a moment later when they were drawn
// before the call), and `latestMs` from now on the program's clock at the
// latest. Not at all once `context` is gone.
void afterInput(QObject* context, qint64 latestMs, std::function<void()> action);

// Runs `action` once, just after `window` has been drawn for the first time
// (or `latestMs` from now on the program's clock, should it never be drawn):
// for what its first drawing need not wait for.
void afterFirstDrawing(QWidget* window, qint64 latestMs, std::function<void()> action);

} // namespace ui::drawn
