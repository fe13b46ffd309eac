#pragma once
// How the program's windows and controls present themselves to screen
// readers, beyond what Qt gives them by itself.

class QWidget;
class QString;

namespace ui {

// Installs, once, what makes screen readers hear:
// - each window as a window, named by its caption;
// - a clickable label as a button with a press action, named by its caption;
// - an editable drop-down list by what it holds (its label), not its text;
// - a list labelled by the caption above it;
// - a note as an alert when it appears.
void installAccessibility();

// Marks a top-level widget as one of the program's windows.
void markWindow(QWidget* window);

// What a screen reader should say for a caption: line breaks read as pauses,
// never as raw control characters.
QString spokenCaption(const QString& caption);

// Tells screen readers that the note just shown must be read out now.
void announce(QWidget* note);

} // namespace ui
