// The toolkit's floor for the start-up benchmark: a menu of the program's size
// with the same five buttons and credit line, opening four windows of the
// calculators' sizes and fonts that hold as many fields, labels, buttons,
// options, frames, drop-down lists and list boxes (with as many items) as the
// calculators do, each where the calculator has it and with text of the same
// length. Made with plain Qt calls, none of the program's own layer, and no
// handlers beyond the menu's own navigation.

#include "probe.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <cmath>
#include <map>
#include <vector>

namespace {

double scale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

enum class Kind { Edit, Text, Label, Button, Option, Frame, Combo, List };

// One control: its name, kind, place and size at 96 dpi, the frame it sits in (a
// row number, or -1 for the window), its own font where it differs from
// the window's, its text or caption, its list items (one per line), whether
// it is the selected option, whether it starts hidden.
struct Row {
    const char* name;
    Kind kind;
    int left, top, width, height;
    int frame;
    double points;
    const char* family;
    const char* text;
    const char* items;
    bool checked;
    bool hidden;
};

struct Window {
    const char* name;
    const char* caption;
    int width, height; // pixels at 96 dpi
    double points;
    std::vector<Row> rows;
};

// The menu (first) and the calculators, taken from the program's windows,
// with texts of the same length and line count as theirs; the probes print
// their counts of each kind and the harness checks that the two agree.
const std::vector<Window>& windows()
{
    static const std::vector<Window> all = {
#include "bare_windows.inc"
    };
    return all;
}

QWidget* makeWindow(const Window& def)
{
    const double s = scale();
    auto size = [s](int v) { return static_cast<int>(std::lround(v * s)); };

    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(def.name);
    window->setWindowTitle(QString::fromUtf8(def.caption));
    window->setFixedSize(size(def.width), size(def.height));
    QFont font(QString::fromUtf8("宋体"));
    font.setPointSizeF(def.points);
    window->setFont(font);

    std::vector<QWidget*> made;
    for (const Row& r : def.rows) {
        QWidget* parent = r.frame >= 0 ? made[static_cast<std::size_t>(r.frame)] : window;
        const QString text = QString::fromUtf8(r.text);
        const QStringList items = QString::fromUtf8(r.items).split('\n', Qt::SkipEmptyParts);
        QWidget* w = nullptr;
        switch (r.kind) {
        case Kind::Edit: w = new QLineEdit(text, parent); break;
        case Kind::Text: {
            auto* m = new QPlainTextEdit(text, parent);
            m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            w = m;
            break;
        }
        case Kind::Label: w = new QLabel(text, parent); break;
        case Kind::Button: w = new QPushButton(text, parent); break;
        case Kind::Option: {
            auto* o = new QRadioButton(text, parent);
            o->setChecked(r.checked);
            w = o;
            break;
        }
        case Kind::Frame: w = new QGroupBox(text, parent); break;
        case Kind::Combo: {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->addItems(items);
            box->setEditText(text);
            w = box;
            break;
        }
        case Kind::List: {
            auto* list = new QListWidget(parent);
            list->addItems(items);
            w = list;
            break;
        }
        }
        w->setObjectName(r.name);
        w->setGeometry(size(r.left), size(r.top), size(r.width), size(r.height));
        if (r.points > 0 || r.family[0]) {
            QFont f(r.family[0] ? QString::fromUtf8(r.family) : font.family());
            f.setPointSizeF(r.points > 0 ? r.points : def.points);
            w->setFont(f);
        }
        if (r.hidden)
            w->hide();
        made.push_back(w);
    }
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    bench::markMain();
    QApplication app(argc, argv);
    QFont::insertSubstitutions("宋体", {"SimSun", "AR PL UMing CN", "AR PL SungtiL GB", "Noto Serif CJK SC"});
    QFont::insertSubstitutions("华文行楷", {"STXingkai", "AR PL UKai CN", "AR PL KaitiM GB", "Noto Serif CJK SC"});

    QWidget* menu = nullptr;
    std::map<QString, QWidget*> made;

    bench::Hooks hooks;
    hooks.start = [&] {
        menu = makeWindow(windows().front());
        const std::pair<const char*, const char*> buttons[] = {
            {"fh", "fhjs"}, {"zd", "zdjs"}, {"fl", "fljs"}, {"xc", "XCJS"}};
        for (const auto& [button, target] : buttons) {
            const QString name = target;
            QObject::connect(menu->findChild<QPushButton*>(button), &QPushButton::clicked, [&, name] {
                QWidget*& w = made[name];
                if (!w)
                    for (const Window& def : windows())
                        if (name == def.name)
                            w = makeWindow(def);
                w->show();
                w->activateWindow();
                menu->hide();
            });
        }
        menu->show();
    };
    hooks.back = [&](const QString& window) {
        menu->show();
        menu->activateWindow();
        if (QWidget* w = made[window])
            w->hide();
    };
    const int code = bench::run(std::move(hooks));
    for (auto& [name, w] : made)
        delete w;
    delete menu;
    return code;
}
