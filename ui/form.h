#pragma once
// What a window's handlers need: find controls by name, read and write field
// texts, attach handlers, and show a failure or a message without any dialog.

#include "convert.h"
#include "control.h"
#include "state.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class QAction;

namespace ui {

class Note;

// Whether an unknown control name in a table or a handler ends the program at
// once: on in a debug build and in the tests, off otherwise.
void setStrictNames(bool strict);

class Form : public QObject {
    Q_OBJECT
public:
    // `canvas`, where the controls lie when it is not the window itself (a
    // window that scrolls), holds the notes too.
    Form(QWidget* window, const Table& table, QWidget* canvas = nullptr);

    QWidget* window() const { return window_; }
    // Where the controls lie: the window, or what scrolls inside it.
    QWidget* canvas() const { return canvas_; }
    const WindowDef& def() const { return table_->window; }
    const Table& table() const { return *table_; }

    // The window's state as it stands, and putting one back. Putting back
    // sets every text, option and list as the state has them without running
    // any handler, and takes the notes away.
    State snapshot() const;
    void restore(const State& state);

    // What a step wrote the field from, or nullptr when it was typed, edited
    // or emptied since.
    RecordPtr record(std::string_view field) const;

    // The control with this name (and index, for a control array element).
    QWidget* control(std::string_view name, int index = -1) const;
    // A control the builder has just made, known by its name from the start.
    void adopt(QWidget* control, int index);

    // Text of a field, of a drop-down list's text part or of a label. Lines of
    // a multi-line field are separated by CR LF.
    QString text(std::string_view name) const;
    // Raises the field's change handler inside the call when the text changes.
    void setText(std::string_view name, const QString& text);
    bool isChecked(std::string_view name) const;
    void setCaption(std::string_view name, const QString& caption);
    void setShown(std::string_view name, bool shown);

    // Click on a button, option or label (every element of a control array).
    // A label with a click handler becomes a keyboard control too.
    void onClick(std::string_view name, std::function<void()> handler);
    void onChange(std::string_view name, std::function<void()> handler);
    void onDoubleClick(std::string_view name, std::function<void()> handler);

    // Enter presses this button wherever the focus is in the window, except
    // on another push button, which Enter then presses itself.
    void setDefaultButton(std::string_view name);
    // A key of the window: an action the form holds, added to the window
    // rather than made a child among its controls, which every drawing of
    // them goes over. It never acts on a key held down repeating.
    QAction* addKey(const QList<QKeySequence>& keys);

    // `caption`, a label or a button beside `control`, is what the engineer
    // reads as its name: a label becomes its buddy, a button is linked to it.
    // The control is named by it, and renamed when the caption changes.
    void nameBy(QWidget* caption, QWidget* control);
    // The label or button that names the control, or nullptr.
    QWidget* captionOf(const QWidget* control) const;
    // How the engineer knows which control is meant, as a screen reader says
    // it and a note writes it: the caption beside it as it reads now (without
    // its access key), else what the table calls it, else its tooltip, else
    // its name.
    QString describe(std::string_view name) const;
    QString describe(const QWidget* control) const;
    // Gives the control, and a drop-down list's text part, its name as
    // describe() has it.
    void refreshName(QWidget* control);

    // Marks the field and shows a note in the window naming it and saying
    // why; a screen reader hears the note at once. Both go at the next edit
    // of that field or at clearFailure().
    void showFailure(std::string_view name, const QString& why);
    void clearFailure();
    QString failureText() const;
    QString failedField() const;

    // A message that is not a failure (such as where a file went), shown in
    // the window where it covers no control. A click on it runs `onClick`
    // when given. It goes at the next action in the window (a key, a click
    // elsewhere) or at clearMessage().
    void showMessage(const QString& text, std::function<void()> onClick = {});
    // A failure that belongs to no field (a file that could not be saved):
    // placed as a message, drawn as a failure.
    void showProblem(const QString& text);
    void clearMessage();
    QString messageText() const;

    // The notes, for checking where they lie.
    QWidget* failureNote() const;
    QWidget* messageNote() const;

    // A control's place in the focus chain; a control without one is left out.
    void setTabIndex(QWidget* control, double tab);
    std::optional<double> tabIndex(const QWidget* control) const;
    // Links every control that takes the focus in the order of its tab index.
    void linkFocusChain();
    // Once all controls are made: an edit drops the edited field's record, and
    // every change is told through changed().
    void watchChanges();

    // For Step: the control whose event is being handled, the next step's
    // number, writing a field with its record, and a step's outcome.
    const std::string& trigger() const { return triggers_.empty() ? noTrigger_ : triggers_.back(); }
    long long nextStep() { return ++steps_; }
    void write(std::string_view field, const QString& text, RecordPtr record);
    void stepFailed(Failed failure);
    void stepSucceeded(const std::string& by);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Something the engineer sees changed: a text, an option, a list, a caption.
    void changed();

private:
    // Runs a handler as the step of `control`'s event; none runs while a
    // state is being put back.
    void handle(const std::string& control, const std::function<void()>& handler);

    void paintMark();
    // Fails at once where names must be right (a debug build, the tests).
    void unknown(std::string_view name) const;
    QWidget* buddyOf(const QWidget* caption) const;

    QWidget* window_;
    QWidget* canvas_;
    const Table* table_;
    // The controls of each name as the window's children were last gone
    // over (a control array's elements share a name), so that a handler's
    // reads and writes do not go over the window at every field.
    QWidget* known(std::string_view name, int index) const;
    struct Named {
        QString name;
        std::vector<std::pair<QPointer<QWidget>, int>> controls; // with their index, or -1
    };
    // Looked up by a handler's every read and write: by hash, not down a tree.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    mutable std::unordered_map<std::string, Named, NameHash, std::equal_to<>> named_;
    // Each control's tab index, in the order the controls were given one.
    std::vector<std::pair<QPointer<QWidget>, double>> tabIndexes_;
    // A button that is the caption of a field, with the field (a label has
    // its buddy instead); and each field with its caption. Each link is kept
    // with the control it starts from, as another may come to lie at the
    // same address.
    struct Link {
        QPointer<QWidget> from, to;
    };
    std::map<const QWidget*, Link> buddies_, captions_;
    std::map<std::string, RecordPtr, std::less<>> records_;
    std::map<std::string, Failed, std::less<>> failures_;
    long long steps_ = 0;
    std::vector<std::string> triggers_;
    const std::string noTrigger_;
    bool restoring_ = false;
    // Made at their first use: most windows never show a note.
    Note* note(bool failure) const;
    mutable Note* failureNote_ = nullptr;
    mutable Note* messageNote_ = nullptr;
    QRect mark_; // the red frame around the marked field, in window coordinates
    QPointer<QWidget> failed_;
    QString failedDescription_;
    QMetaObject::Connection clearOnEdit_;
    std::function<void()> messageClick_;
};

} // namespace ui
