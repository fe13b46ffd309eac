#include "form.h"

#include "accessible.h"
#include "notes.h"
#include "widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

// A window's notes: a failure marks its field and says why; a message says
// what happened. Neither is ever a dialog.

namespace ui {

void Form::paintMark()
{
    if (mark_.isNull())
        return;
    QPainter p(canvas_);
    p.setPen(QPen(QColor(0xd0, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(mark_).adjusted(1, 1, -1, -1));
}

void Form::showFailure(std::string_view name, const QString& why)
{
    clearFailure();
    QWidget* w = control(name);
    if (!w)
        return;
    failed_ = w;
    mark_ = inWindow(w, canvas_).adjusted(-2, -2, 2, 2);
    canvas_->update(mark_);

    // While marked, the field itself says why to a screen reader.
    failedDescription_ = w->accessibleDescription();
    w->setAccessibleDescription(why);

    failureNote_->setText(describe(name) + QStringLiteral("：") + why);
    // The note repeats its field's label and may cover it; a button beside
    // the field stays a control to keep clear of.
    placeNote(canvas_, failureNote_, inWindow(w, canvas_), w, qobject_cast<QLabel*>(captionOf(w)));
    failureNote_->show();
    announce(failureNote_);

    auto clearIt = [this] { clearFailure(); };
    if (auto* e = qobject_cast<QLineEdit*>(w))
        clearOnEdit_ = connect(e, &QLineEdit::textEdited, this, clearIt);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        clearOnEdit_ = connect(c, &QComboBox::editTextChanged, this, clearIt);
    else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        clearOnEdit_ = connect(m, &QPlainTextEdit::textChanged, this, clearIt);
}

void Form::clearFailure()
{
    disconnect(clearOnEdit_);
    if (failed_)
        failed_->setAccessibleDescription(failedDescription_);
    failed_ = nullptr;
    failedDescription_.clear();
    if (!mark_.isNull())
        canvas_->update(mark_);
    mark_ = QRect();
    failureNote_->hide();
}

QString Form::failureText() const { return failureNote_->isVisibleTo(window_) ? failureNote_->text() : QString(); }

QString Form::failedField() const { return failed_ ? failed_->objectName() : QString(); }

void Form::showProblem(const QString& text)
{
    showMessage(text);
    messageNote_->setTone(Note::Tone::Failure);
}

void Form::showMessage(const QString& text, std::function<void()> onClick)
{
    clearMessage();
    messageNote_->setTone(Note::Tone::Message);
    messageClick_ = std::move(onClick);
    messageNote_->setClickable(static_cast<bool>(messageClick_));
    messageNote_->setFocusPolicy(Qt::NoFocus); // a pointer shortcut; the keys stay with the controls
    messageNote_->setCursor(messageClick_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
    messageNote_->setText(text);
    const QRect bottom(canvas_->width() / 2, canvas_->height(), 0, 0);
    placeNote(canvas_, messageNote_, bottom, nullptr);
    messageNote_->show();
    announce(messageNote_);

    // Any edit in the window takes the message away.
    if (!watchingEdits_) {
        watchingEdits_ = true;
        for (QLineEdit* e : window_->findChildren<QLineEdit*>())
            connect(e, &QLineEdit::textEdited, this, &Form::clearMessage);
        for (QPlainTextEdit* m : window_->findChildren<QPlainTextEdit*>())
            connect(m, &QPlainTextEdit::textChanged, this, [this, m] {
                if (m->hasFocus())
                    clearMessage();
            });
    }
}

void Form::clearMessage()
{
    messageNote_->hide();
    messageClick_ = nullptr;
}

QString Form::messageText() const { return messageNote_->isVisibleTo(window_) ? messageNote_->text() : QString(); }

QWidget* Form::failureNote() const { return failureNote_; }
QWidget* Form::messageNote() const { return messageNote_; }

} // namespace ui
