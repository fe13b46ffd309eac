#pragma once
// Where a note goes in its window: clear of the controls, and as near as
// it can be to what it is about.

#include <QRect>

class QWidget;

namespace ui {

class Note;

// The place of a widget in its window's coordinates.
QRect inWindow(const QWidget* w, const QWidget* window);

// Sizes and moves `note` inside `window`. A note about a field (`field`
// given) stands touching it wherever such a place covers no control, and
// further away only where none does; it may cover the field's own
// `caption`, which it repeats. Any other note (a message) takes the
// place nearest `near` that covers least of the controls.
void placeNote(QWidget* window, Note* note, const QRect& near, const QWidget* field,
               const QWidget* caption = nullptr);

} // namespace ui
