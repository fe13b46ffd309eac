#pragma once
// What a window's handlers need: find controls by name, read and write field
// texts, attach handlers, and show a failure without any dialog.

#include "app/numeric/convert.h"
#include "control.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>

class QLabel;

namespace ui {

class Form : public QObject {
    Q_OBJECT
public:
    Form(QWidget* window, WindowDef def);

    QWidget* window() const { return window_; }
    const WindowDef& def() const { return def_; }

    // The control with this name (and index, for a control array element).
    QWidget* control(std::string_view name, int index = -1) const;

    // Text of a field, of a drop-down list's text part or of a label. Lines of
    // a multi-line field are separated by CR LF.
    QString text(std::string_view name) const;
    // Raises the field's change handler inside the call when the text changes.
    void setText(std::string_view name, const QString& text);
    bool isChecked(std::string_view name) const;
    void setCaption(std::string_view name, const QString& caption);
    void setShown(std::string_view name, bool shown);

    // Click on a button, option or label (every element of a control array).
    void onClick(std::string_view name, std::function<void()> handler);
    void onChange(std::string_view name, std::function<void()> handler);
    void onDoubleClick(std::string_view name, std::function<void()> handler);

    // Enter presses this button wherever the focus is in the window, except
    // on another push button, which Enter then presses itself.
    void setDefaultButton(std::string_view name);

    // How the user knows which field is meant: the caption of the label that
    // names it, else its tooltip, else its name.
    QString describe(std::string_view name) const;

    // Marks the field and shows a note beside it; both go at the next edit of
    // that field or at clearFailure().
    void showFailure(std::string_view name, const QString& why);
    void clearFailure();
    QString failureText() const;
    QString failedField() const { return failed_ ? failed_->objectName() : QString(); }

    // Label captions by the control they name (filled in by the builder).
    std::map<std::string, std::string, std::less<>> captions;

private:
    QWidget* window_;
    WindowDef def_;
    QLabel* notice_ = nullptr;
    QPointer<QWidget> failed_;
    QString failedStyle_;
    QMetaObject::Connection clearOnEdit_;
};

// One run of a handler. Reads and writes fields in order; the first failure
// ends it: later reads give 0 and later writes are skipped, so every field
// written before the failure keeps its new text and every later one its old.
class Step {
public:
    // A quiet step shows no failure and clears none (handlers that run on
    // every keystroke, where an unfinished number is part of typing).
    explicit Step(Form& form, bool quiet = false) : form_(form), quiet_(quiet) {}
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

    bool ok() const { return !failed_; }
    double strict(std::string_view name);
    double lenient(std::string_view name);
    bool checked(std::string_view name) const { return form_.isChecked(name); }

    // Writes the number with 15 significant digits, or fails on `blame` (the
    // written field itself when empty) with `why` or the failure's own reason.
    void write(std::string_view name, numeric::Num value, std::string_view blame = {}, const QString& why = {});
    void writeText(std::string_view name, std::string_view text);
    void fail(std::string_view name, numeric::Failure failure, const QString& why = {});

private:
    Form& form_;
    bool quiet_;
    bool failed_ = false;
    std::string failedField_;
    QString why_;
};

QString reasonText(numeric::Failure failure);

} // namespace ui
