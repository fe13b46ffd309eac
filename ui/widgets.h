#pragma once
// The few widget behaviours Qt does not offer as such.

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QObject>
#include <QRadioButton>
#include <functional>

class QAbstractButton;
class QEvent;

namespace ui {

// How a caption too wide for its place is drawn: in the face the window gave
// it, narrowed by the painter to a share of its width. The control's own font
// is the narrowed face, as anything measuring the caption finds it, but that
// face is never loaded to draw it: each narrowed face would be a font lookup
// of its own on the window's first opening.
struct Narrowing {
    QFont face;
    int percent = 100;
    bool on() const { return percent < 100; }
    // Whether this changes how the caption is drawn.
    bool set(QFont given, int share);
};

// A label that can act as a button. Once clickable, a left press and release
// on it clicks it, and so do Space and Enter when it has the focus; it then
// takes the focus like a button and shows a focus mark while it has it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setClickable(bool clickable);
    bool isClickable() const { return clickable_; }
    // What the label's press action and its keys do.
    void click();
    // Draws the caption's lines this many pixels apart, closer than the face
    // would, so that a table of lines stands whole in its place; 0 keeps the
    // face's own spacing.
    void setLinePitch(int pixels);
    // How far apart the caption's lines are drawn.
    int linePitch() const;
    // Draws the caption in `face` narrowed to `percent` of its width; 100
    // draws it as a label does.
    void narrow(const QFont& face, int percent);

signals:
    void clicked();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool clickable_ = false;
    bool pressed_ = false;
    int pitch_ = 0;
    Narrowing narrowing_;
};

// A note shown inside a window: a failure (red) or a plain message. A
// failure note lets every click through to what lies beneath it; a message
// note reacts to a click where it has something to open.
class Note : public ClickLabel {
    Q_OBJECT
public:
    enum class Tone { Failure, Message };
    Note(Tone tone, QWidget* parent);
    // Drawn as a failure or as a plain message; what a click does stays.
    void setTone(Tone tone);

private:
    Tone tone_;
};

// Draws a caption (a label's or a button's) so that it stands whole in its
// place, in whatever face stands in for the window's: condensed a little, or
// its lines closer together.
void fitCaption(QWidget* w);

// An option button that a click anywhere on it selects, not only on its
// circle and caption: the engineer aims at the option, not at its letters.
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    // Draws the caption in `face` narrowed to `percent` of its width; 100
    // draws it as an option button does.
    void narrow(const QFont& face, int percent);

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void paintEvent(QPaintEvent* event) override;

private:
    Narrowing narrowing_;
};

// A frame whose border runs through the middle of its title, so that the
// options placed below the title band sit inside the frame, clear of its line.
class Frame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;
protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the frame's top line runs, in the frame's own coordinates.
    int borderTop() const;
};

// A button's access key presses it as Qt's own does, on the program's clock:
// shown pressed for a moment, it clicks as it comes up.
void pressOnAccessKey(QAbstractButton* button);

// Installs, once, the rule that a key held down until it repeats never
// presses an access key or a Ctrl or Alt shortcut again: only a deliberate
// press does (keys.h tells the two apart).
void installKeyGuard();

// Runs a function when a watched object receives one type of event; the
// function decides whether the event is consumed. The hooks of one object
// share one event filter, so that its other events (every paint) pass one
// filter, not one per hook; of two hooks for one event the later is asked
// first, as Qt asks filters. The hooks go with the object.
void onEvent(QObject* watched, int eventType, std::function<bool()> action);
void onEvent(QObject* watched, int eventType, std::function<bool(QEvent*)> action);

} // namespace ui
