#pragma once
// What the keyboard is doing, for the whole program: which key presses are
// deliberate and which are a key held down until it repeats.
//
// A held key reaches the program in more than one shape. Qt marks some repeats
// (QKeyEvent::isAutoRepeat), but not all: Windows, and X with detectable auto
// repeat, send further presses with no release between them; plain X sends a
// release and a press with the same time, which Qt marks only when both have
// already arrived together. The tracker takes a press for a repeat on any of
// these signs, and so an access key (Alt+letter) or a shortcut with Ctrl or Alt
// acts only on a deliberate press. Plain typing keeps repeating in the fields.

#include <QtGlobal>

class QKeyEvent;

namespace ui::keys {

// Starts watching every key event of the program; once is enough, and later
// calls do nothing. Needs the application object.
void install();

// How many deliberate key presses the program has seen: each one takes the
// next number.
quint64 serial();

// The number of the deliberate press that `qtKey` (a Qt::Key) is held down
// from, or 0 while the key is up (or held since before the program saw it go
// down). A window that appears while a key is held can tell that key from one
// pressed after it appeared.
quint64 pressedAt(int qtKey);

// Whether this key press (a KeyPress or the ShortcutOverride before it) is a
// key held down repeating rather than a deliberate press. Asked about a press
// the tracker has not seen yet, it takes the press into account first.
bool isRepeat(const QKeyEvent* press);

} // namespace ui::keys
