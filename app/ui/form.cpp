#include "form.h"

#include "widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVariant>

namespace ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

Form::Form(QWidget* window, WindowDef def) : QObject(window), window_(window), def_(std::move(def))
{
    notice_ = new QLabel(window_);
    notice_->setObjectName("failureNotice");
    notice_->setWordWrap(true);
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = window_->font();
    font.setPointSizeF(10.5);
    notice_->setFont(font);
    notice_->setStyleSheet("QLabel { background: #fff4d6; color: #a00000; border: 1px solid #d00000; padding: 2px; }");
    notice_->hide();
}

QWidget* Form::control(std::string_view name, int index) const
{
    const auto found = window_->findChildren<QWidget*>(qs(name));
    for (QWidget* w : found) {
        const QVariant i = w->property("index");
        if (index < 0 || (i.isValid() && i.toInt() == index))
            return w;
    }
    return nullptr;
}

QString Form::text(std::string_view name) const
{
    QWidget* w = control(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        return m->toPlainText().replace('\n', "\r\n");
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return {};
}

void Form::setText(std::string_view name, const QString& text)
{
    QWidget* w = control(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
        e->setCursorPosition(0); // a written result is read from its first digit
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        m->setPlainText(QString(text).replace("\r\n", "\n"));
    else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (const int item = c->findText(text); item >= 0)
            c->setCurrentIndex(item); // the list opens on the item shown
        c->setEditText(text);
    } else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
}

bool Form::isChecked(std::string_view name) const
{
    auto* b = qobject_cast<QAbstractButton*>(control(name));
    return b && b->isChecked();
}

void Form::setCaption(std::string_view name, const QString& caption)
{
    QWidget* w = control(name);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(caption);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(caption);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(caption);
}

void Form::setShown(std::string_view name, bool shown)
{
    if (QWidget* w = control(name))
        w->setVisible(shown);
}

void Form::onClick(std::string_view name, std::function<void()> handler)
{
    for (QWidget* w : window_->findChildren<QWidget*>(qs(name))) {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            connect(b, &QAbstractButton::clicked, this, [handler] { handler(); });
        else if (auto* l = qobject_cast<ClickLabel*>(w))
            connect(l, &ClickLabel::clicked, this, handler);
    }
}

void Form::onChange(std::string_view name, std::function<void()> handler)
{
    QWidget* w = control(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        connect(e, &QLineEdit::textChanged, this, [handler] { handler(); });
    else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        connect(m, &QPlainTextEdit::textChanged, this, handler);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        connect(c, &QComboBox::editTextChanged, this, [handler] { handler(); });
}

void Form::onDoubleClick(std::string_view name, std::function<void()> handler)
{
    QWidget* w = control(name);
    if (auto* c = qobject_cast<QComboBox*>(w))
        w = c->lineEdit();
    if (w)
        new EventHook(w, QEvent::MouseButtonDblClick, [handler] { handler(); return true; });
}

void Form::setDefaultButton(std::string_view name)
{
    auto* button = qobject_cast<QPushButton*>(control(name));
    if (!button)
        return;
    button->setDefault(true);
    QWidget* window = window_;
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), window_);
        connect(shortcut, &QShortcut::activated, button, [window, button] {
            auto* focused = qobject_cast<QPushButton*>(window->focusWidget());
            (focused ? focused : button)->click();
        });
    }
    // A multi-line field would keep Enter for a line break; here it passes
    // Enter on to the window like every other field (Ctrl+Enter still breaks).
    for (QPlainTextEdit* field : window_->findChildren<QPlainTextEdit*>()) {
        new EventHook(field, QEvent::ShortcutOverride, [](QEvent* event) {
            const auto* key = static_cast<QKeyEvent*>(event);
            return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier;
        });
    }
}

QString Form::describe(std::string_view name) const
{
    if (auto it = captions.find(name); it != captions.end())
        return qs(it->second).remove('&').trimmed();
    if (QWidget* w = control(name); w && !w->toolTip().isEmpty())
        return w->toolTip();
    return qs(name);
}

void Form::showFailure(std::string_view name, const QString& why)
{
    clearFailure();
    QWidget* w = control(name);
    if (!w)
        return;
    failed_ = w;
    failedStyle_ = w->styleSheet();
    w->setStyleSheet(failedStyle_ + " border: 2px solid #d00000;");

    notice_->setText(describe(name) + QStringLiteral("：") + why);
    const int width = qMin(qMax(w->width(), 200), window_->width());
    notice_->setFixedWidth(width);
    notice_->adjustSize();
    QPoint at = w->mapTo(window_, QPoint(0, w->height() + 2));
    if (at.y() + notice_->height() > window_->height())
        at.setY(w->mapTo(window_, QPoint(0, 0)).y() - notice_->height() - 2);
    at.setX(qBound(0, at.x(), window_->width() - width));
    at.setY(qMax(0, at.y()));
    notice_->move(at);
    notice_->raise();
    notice_->show();

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
        failed_->setStyleSheet(failedStyle_);
    failed_ = nullptr;
    notice_->hide();
}

QString Form::failureText() const { return notice_->isVisibleTo(window_) ? notice_->text() : QString(); }

QString reasonText(numeric::Failure failure)
{
    switch (failure) {
    case numeric::Failure::NotANumber: return QStringLiteral("不是一个数");
    case numeric::Failure::DivisionByZero: return QStringLiteral("除数为零，无法计算");
    case numeric::Failure::Overflow: return QStringLiteral("数值超出可计算的范围");
    case numeric::Failure::NegativeRoot: return QStringLiteral("负数不能开方");
    }
    return {};
}

Step::~Step()
{
    if (quiet_)
        return;
    if (failed_)
        form_.showFailure(failedField_, why_);
    else
        form_.clearFailure();
}

void Step::fail(std::string_view name, numeric::Failure failure, const QString& why)
{
    if (failed_)
        return;
    failed_ = true;
    failedField_ = std::string(name);
    why_ = why.isEmpty() ? reasonText(failure) : why;
}

double Step::strict(std::string_view name)
{
    if (failed_)
        return 0;
    const numeric::Num n = numeric::parseStrict(form_.text(name).toStdString());
    if (!n)
        fail(name, n.failure());
    return n.value();
}

double Step::lenient(std::string_view name)
{
    if (failed_)
        return 0;
    const numeric::Num n = numeric::parseLenient(form_.text(name).toStdString());
    if (!n)
        fail(name, n.failure());
    return n.value();
}

void Step::write(std::string_view name, numeric::Num value, std::string_view blame, const QString& why)
{
    if (failed_)
        return;
    if (!value) {
        fail(blame.empty() ? name : blame, value.failure(), why);
        return;
    }
    writeText(name, numeric::formatNumber(value.value()));
}

void Step::writeText(std::string_view name, std::string_view text)
{
    if (!failed_)
        form_.setText(name, qs(text));
}

} // namespace ui
