#pragma once
// How the program's windows and controls present themselves to screen
// readers, beyond what Qt gives them by itself.

class QWidget;
class QString;

namespace ui {

// Installs, once, what makes screen readers hear:
// - each window as a window, named by its caption, minimised or not, and
//   not shown while minimised;
// - a clickable label as a button with a press action, named by its caption,
//   and a plain caption with no action;
// - an editable drop-down list by what it holds (its label), not its text;
// - a list labelled by the caption above it;
// - a note as an alert when it appears;
// - where the program's own interfaces tell a place (windows, labels, notes,
//   drop-down lists, lists and their items), the screen's pixels at any
//   scale, as Qt's AT-SPI bridge passes places on unchanged.
void installAccessibility();

// Marks a top-level widget as one of the program's windows.
void markWindow(QWidget* window);

// What a screen reader should say for a caption: line breaks read as pauses,
// never as raw control characters.
QString spokenCaption(const QString& caption);

// Tells screen readers that the note just shown must be read out now.
void announce(QWidget* note);

} // namespace ui
