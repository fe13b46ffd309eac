// The program side of the start-up benchmark: the program's own start-up
// path (font substitutions, the shell, the menu, each calculator built on its
// first use), timed by the probe, plus the time of a few handlers.

#include "app/shell.h"
#include "app/ui/builder.h"
#include "probe.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

void setText(const char* window, const char* field, const char* text)
{
    if (auto* e = qobject_cast<QLineEdit*>(bench::child(window, field)))
        e->setText(QString::fromUtf8(text));
}

// A left click in the middle of a control, as the engineer's mouse gives it.
// The events are made here rather than by Qt's test library, so that the
// probe loads no more libraries than the program does.
std::function<void()> click(const char* window, const char* control, int index = -1)
{
    return [window, control, index] {
        QWidget* w = bench::child(window, control, index);
        if (!w)
            return;
        const QPointF local(w->width() / 2.0, w->height() / 2.0);
        const QPointF global = w->mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(w, &release);
    };
}

// One key typed into a field.
std::function<void()> key(const char* window, const char* field, Qt::Key k, const char* text)
{
    return [=] {
        QWidget* w = bench::child(window, field);
        if (!w)
            return;
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, QString::fromUtf8(text));
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, QString::fromUtf8(text));
        QCoreApplication::sendEvent(w, &release);
    };
}

// Each handler with inputs from the worked examples, and a field it writes
// with the text it must leave there.
std::vector<bench::HandlerCase> handlers()
{
    return {
        {"fhjs/Command1", "fhjs", [] { setText("fhjs", "Pjs", "100"); }, click("fhjs", "Command1"), "Qjs", "75"},
        {"fljs/js", "fljs",
         [] {
             setText("fljs", "l", "100");
             setText("fljs", "w", "50");
             setText("fljs", "H", "100");
         },
         click("fljs", "js"), "Ae", "0.066416"},
        {"zdjs/Label3", "zdjs", [] { setText("zdjs", "mj", "20"); }, click("zdjs", "Label3"), "dwgl", "8.9"},
        {"zdjs/Command1", "zdjs",
         [] {
             setText("zdjs", "mj", "20");
             setText("zdjs", "dwgl", "8.9");
         },
         click("zdjs", "Command1"), "gl", "534"},
        {"XCJS/Label8", "XCJS",
         [] {
             setText("XCJS", "VV1", "6");
             setText("XCJS", "VV3", "3");
             setText("XCJS", "sz", "");
         },
         click("XCJS", "Label8", 0), "sz", "530.1"},
        // Clearing the rows sets off the count handler of each of the six rows.
        {"XCJS/ql", "XCJS",
         [] {
             for (const char* row : {"VV3", "BV3", "SYV3", "UTP3", "LGB3", "RVS3"})
                 setText("XCJS", row, "3");
         },
         click("XCJS", "ql"), "VV4", ""},
        // One keystroke in a size field: "15" becomes "150", a size of the catalogue.
        {"XCJS/BV1:keystroke", "XCJS", [] { setText("XCJS", "BV1", "15"); }, key("XCJS", "BV1", Qt::Key_0, "0"),
         "BV2", "390"},
    };
}

// Text of the same shape as the window's own: every character replaced by
// another of its class, the same one each time, so that the bare windows lay
// out and draw as many glyphs, as many distinct ones and as many lines. A
// Chinese character becomes the next unused one after it in the font, which
// keeps the glyphs about as scattered through the font file as the window's
// own (that is what a process's memory pays for).
class Shaper {
public:
    QString shape(const QString& text, const QFont& font)
    {
        QString out;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 128) {
                if (c.isDigit())
                    out += QChar(u'0' + (u - u'0' + 3) % 10);
                else if (c.isLetter())
                    out += QChar(c.isUpper() ? u'A' + (u - u'A' + 7) % 26 : u'a' + (u - u'a' + 7) % 26);
                else
                    out += c; // spaces, line breaks, "&" of an access key, signs
            } else {
                out += substitute(c, font);
            }
        }
        return out;
    }

private:
    QChar substitute(QChar c, const QFont& font)
    {
        if (auto it = map_.find(c.unicode()); it != map_.end())
            return QChar(it->second);
        const QFontMetrics metrics(font);
        char16_t candidate = c.unicode() + 1;
        while (candidate < 0xfffd && (used_.count(candidate) || !metrics.inFont(QChar(candidate))))
            ++candidate;
        if (candidate >= 0xfffd)
            candidate = c.unicode();
        used_.insert(candidate);
        map_[c.unicode()] = candidate;
        return QChar(candidate);
    }

    std::map<char16_t, char16_t> map_;
    std::set<char16_t> used_;
};

QString literal(const QString& s)
{
    QString out = "\"";
    for (QChar c : s) {
        if (c == '"' || c == '\\')
            out += QString("\\") + c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

// Prints the menu and every calculator window as rows for the bare program
// (bench/bare_windows.inc).
void dumpWindows(Shell& shell)
{
    const double scale = ui::scale();
    auto px = [scale](int v) { return static_cast<int>(std::lround(v / scale)); };
    Shaper shaper;
    std::printf("// Generated by `elcarta_bench_program --dump-windows > bench/bare_windows.inc`:\n"
                "// the menu and the calculator windows as the bare program rebuilds them,\n"
                "// controls in the order the program creates them, texts replaced by texts\n"
                "// of the same shape.\n"
                "// clang-format off\n");
    for (const char* name : {"dqjs", "fhjs", "zdjs", "fljs", "XCJS"}) {
        shell.open(name);
        QWidget* window = shell.window(name);
        std::printf("{%s, %s, %d, %d, %g, {\n", qPrintable(literal(name)),
                    qPrintable(literal(shaper.shape(window->windowTitle(), window->font()))), px(window->width()),
                    px(window->height()), window->font().pointSizeF());
        std::map<QWidget*, int> rowOf;
        int row = 0;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString objectName = w->objectName();
            if (objectName.isEmpty() || objectName.startsWith("qt_") || objectName == "failureNotice")
                continue;
            const char* kind = "Label";
            QString text, items;
            bool checked = false;
            auto addItem = [&](const QString& item) {
                items += (items.isEmpty() ? "" : "\n") + shaper.shape(item, w->font());
            };
            if (auto* box = qobject_cast<QComboBox*>(w)) {
                kind = "Combo";
                text = box->currentText();
                for (int i = 0; i < box->count(); ++i)
                    addItem(box->itemText(i));
            } else if (auto* list = qobject_cast<QListWidget*>(w)) {
                kind = "List";
                for (int i = 0; i < list->count(); ++i)
                    addItem(list->item(i)->text());
            } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
                kind = "Text";
                text = m->toPlainText();
            } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
                kind = "Edit";
                text = e->text();
            } else if (auto* o = qobject_cast<QRadioButton*>(w)) {
                kind = "Option";
                text = o->text();
                checked = o->isChecked();
            } else if (auto* b = qobject_cast<QPushButton*>(w)) {
                kind = "Button";
                text = b->text();
            } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                kind = "Frame";
                text = g->title();
            } else if (auto* l = qobject_cast<QLabel*>(w)) {
                text = l->text();
            }
            const auto frame = rowOf.find(w->parentWidget());
            const QFont& f = w->font();
            const bool ownSize = f.pointSizeF() != window->font().pointSizeF();
            const bool ownFace = f.family() != window->font().family();
            std::printf("    {%s, Kind::%s, %d, %d, %d, %d, %d, %g, %s, %s, %s, %s, %s},\n",
                        qPrintable(literal(objectName)), kind, px(w->x()), px(w->y()),
                        px(w->width()), px(w->height()), frame == rowOf.end() ? -1 : frame->second,
                        ownSize ? f.pointSizeF() : 0.0, ownFace ? qPrintable(literal(f.family())) : "\"\"",
                        qPrintable(literal(shaper.shape(text, f))), qPrintable(literal(items)),
                        checked ? "true" : "false", w->isHidden() ? "true" : "false");
            rowOf[w] = row++;
        }
        std::printf("}},\n");
        if (std::string(name) != "dqjs")
            shell.backToMenu(name);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const bool dump = argc > 1 && std::string(argv[1]) == "--dump-windows";
    if (!dump)
        bench::markMain();
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    Shell shell;
    if (dump) {
        shell.start();
        dumpWindows(shell);
        return 0;
    }

    bench::Hooks hooks;
    hooks.start = [&shell] { shell.start(); };
    hooks.back = [&shell](const QString& window) { shell.backToMenu(window.toStdString()); };
    hooks.handlers = handlers();
    return bench::run(std::move(hooks));
}
