#include "form.h"

#include "accessible.h"
#include "notes.h"
#include "widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
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

    Note* failure = note(true);
    failure->setText(describe(name) + QStringLiteral("：") + why);
    // The note repeats its field's label and may cover it; a button beside
    // the field stays a control to keep clear of.
    placeNote(canvas_, failure, inWindow(w, canvas_), w, qobject_cast<QLabel*>(captionOf(w)));
    failure->show();
    announce(failure);

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
    if (failureNote_)
        failureNote_->hide();
}

QString Form::failureText() const
{
    return failureNote_ && failureNote_->isVisibleTo(window_) ? failureNote_->text() : QString();
}

QString Form::failedField() const { return failed_ ? failed_->objectName() : QString(); }

void Form::showProblem(const QString& text)
{
    showMessage(text);
    note(false)->setTone(Note::Tone::Failure);
}

void Form::showMessage(const QString& text, std::function<void()> onClick)
{
    clearMessage();
    Note* message = note(false);
    message->setTone(Note::Tone::Message);
    messageClick_ = std::move(onClick);
    message->setClickable(static_cast<bool>(messageClick_));
    message->setFocusPolicy(Qt::NoFocus); // a pointer shortcut; the keys stay with the controls
    message->setCursor(messageClick_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
    message->setText(text);
    const QRect bottom(canvas_->width() / 2, canvas_->height(), 0, 0);
    placeNote(canvas_, message, bottom, nullptr);
    message->show();
    announce(message);

    // The next action in the window takes the message away: a key pressed
    // or a click anywhere but on the message itself.
    QCoreApplication::instance()->installEventFilter(this);
}

bool Form::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::MouseButtonPress) &&
        watched->isWidgetType() && messageNote_ && messageNote_->isVisible()) {
        auto* w = static_cast<QWidget*>(watched);
        const bool key = type != QEvent::MouseButtonPress;
        const auto* k = key ? static_cast<QKeyEvent*>(event) : nullptr;
        const bool modifierOnly = k && (k->key() == Qt::Key_Control || k->key() == Qt::Key_Shift ||
                                        k->key() == Qt::Key_Alt || k->key() == Qt::Key_Meta);
        // A click on the message itself (passed on to the window when the
        // message ignores it) is no other action.
        const bool onMessage =
            !key && messageNote_->rect().contains(
                        messageNote_->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()));
        if (w->window() == window_ && !onMessage && !modifierOnly && !(k && k->isAutoRepeat()))
            clearMessage();
    }
    return QObject::eventFilter(watched, event);
}

void Form::clearMessage()
{
    QCoreApplication::instance()->removeEventFilter(this);
    if (messageNote_)
        messageNote_->hide();
    messageClick_ = nullptr;
}

QString Form::messageText() const
{
    return messageNote_ && messageNote_->isVisibleTo(window_) ? messageNote_->text() : QString();
}

QWidget* Form::failureNote() const { return note(true); }
QWidget* Form::messageNote() const { return note(false); }

} // namespace ui
