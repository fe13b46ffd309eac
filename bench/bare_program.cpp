// The toolkit's floor for the start-up benchmark: the menu and the four
// calculator windows made from the program's own tables of them, with plain
// Qt calls, none of the program's own layer. Beyond the menu's own navigation
// only the handlers of the buttons whose clicks the benchmark times
// (bench::clickCases), written by hand: read the fields, the same
// calculation, the results into their fields.

#include "probe.h"

#include "menu.h"
#include "lighting_window.h"
#include "lightning_window.h"
#include "load_window.h"
#include "trunking_window.h"

#include "cables.h"
#include "load.h"
#include "strike.h"
#include "unit_power.h"

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
#include <QTableView>
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

// A window of plain Qt widgets from the program's own table of it.
QWidget* makeWindow(const ui::Table& table)
{
    const double s = scale();
    auto size = [s](int twips) { return static_cast<int>(std::lround(twips / 15.0 * s)); };
    auto text = [](const std::string& t) { return QString::fromStdString(t); };
    const ui::WindowDef& def = table.window;

    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(text(def.name));
    window->setWindowTitle(text(def.caption));
    window->setFixedSize(size(def.width), size(def.height));
    QFont font(text(def.font));
    font.setPointSizeF(def.points);
    window->setFont(font);

    std::map<std::string, QWidget*> frames;
    auto make = [&](const ui::Control& c) {
        QWidget* parent = c.parent.empty() ? window : frames.at(c.parent);
        QWidget* w = nullptr;
        QStringList items;
        for (const std::string& item : c.items)
            items << text(item);
        switch (c.kind) {
        case ui::Kind::Field: w = new QLineEdit(text(c.caption), parent); break;
        case ui::Kind::MultiField: {
            auto* m = new QPlainTextEdit(text(c.caption), parent);
            // A vertical scroll bar and no other, as the table has it: the
            // text wraps at the field's width.
            m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            w = m;
            break;
        }
        case ui::Kind::Label: w = new QLabel(text(c.caption), parent); break;
        case ui::Kind::Button: w = new QPushButton(text(c.caption), parent); break;
        case ui::Kind::Option: {
            auto* o = new QRadioButton(text(c.caption), parent);
            o->setChecked(c.selected);
            w = o;
            break;
        }
        case ui::Kind::Frame: w = frames[c.name] = new QGroupBox(text(c.caption), parent); break;
        case ui::Kind::Combo: {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->addItems(items);
            box->setEditText(text(c.caption));
            w = box;
            break;
        }
        case ui::Kind::List: {
            auto* list = new QListWidget(parent);
            list->addItems(items);
            w = list;
            break;
        }
        case ui::Kind::Choice: {
            auto* box = new QComboBox(parent);
            box->addItems(items);
            w = box;
            break;
        }
        case ui::Kind::Grid: w = new QTableView(parent); break;
        }
        w->setObjectName(text(c.name));
        w->setGeometry(size(c.rect.left), size(c.rect.top), size(c.rect.width), size(c.rect.height));
        if (c.points > 0 || !c.family.empty()) {
            QFont f(c.family.empty() ? font.family() : text(c.family));
            f.setPointSizeF(c.points > 0 ? c.points : def.points);
            w->setFont(f);
        }
        if (c.hidden)
            w->hide();
    };
    for (const ui::Control& c : table.controls)
        if (c.kind == ui::Kind::Frame)
            make(c);
    for (const ui::Control& c : table.controls)
        if (c.kind != ui::Kind::Frame)
            make(c);
    return window;
}

QLineEdit* field(QWidget* window, const std::string& name)
{
    return window->findChild<QLineEdit*>(QString::fromStdString(name));
}

std::string textOf(QWidget* window, const std::string& name) { return field(window, name)->text().toStdString(); }
double lenient(QWidget* window, const std::string& name) { return numeric::parseLenient(textOf(window, name)).value(); }
double strict(QWidget* window, const std::string& name) { return numeric::parseStrict(textOf(window, name)).value(); }

void put(QWidget* window, const std::string& name, const std::string& text)
{
    if (QLineEdit* e = field(window, name))
        e->setText(QString::fromStdString(text));
    else if (auto* m = window->findChild<QPlainTextEdit*>(QString::fromStdString(name)))
        m->setPlainText(QString::fromStdString(text));
}
void put(QWidget* window, const std::string& name, numeric::Num n)
{
    if (n)
        put(window, name, numeric::formatNumber(n.value()));
}

bool checked(QWidget* window, const std::string& option)
{
    auto* o = window->findChild<QRadioButton*>(QString::fromStdString(option));
    return o && o->isChecked();
}

// The value of the selected option of `member`'s group, as the table has it.
double selected(QWidget* window, const ui::Table& table, const std::string& member)
{
    const auto group = table.group(member);
    for (const ui::Control* option : group)
        if (checked(window, option->name))
            return *option->value;
    return *group.back()->value;
}

template <typename F> void onClick(QWidget* window, const char* button, F handler)
{
    QObject::connect(window->findChild<QPushButton*>(button), &QPushButton::clicked, handler);
}

void addHandlers(QWidget* w, const QString& name)
{
    if (name == "fhjs") {
        onClick(w, "Command1", [w] { put(w, "Qjs", load::reactivePower(lenient(w, "Pjs"), lenient(w, "Cos"))); });
        onClick(w, "Command4", [w] { put(w, "Sjs", load::apparentPower(lenient(w, "Pjs"), lenient(w, "Cos"))); });
    } else if (name == "zdjs") {
        onClick(w, "Command1", [w] {
            const int lux = static_cast<int>(selected(w, lighting::window(), "zd300"));
            put(w, "gl", lighting::lightingPower(strict(w, "dwgl"), strict(w, "mj"), lux));
        });
    } else if (name == "fljs") {
        onClick(w, "js", [w] {
            using namespace lightning;
            if (checked(w, "xt"))
                put(w, "Td", thunderstormDays(City::Xingtai));
            if (checked(w, "sj"))
                put(w, "Td", thunderstormDays(City::Shijiazhuang));
            put(w, "Ng", strikeDensity(strict(w, "Td")));
            put(w, "Ae", collectionArea(lenient(w, "l"), lenient(w, "w"), lenient(w, "H")));
            put(w, "k", selected(w, lightning::window(), "j1"));
            put(w, "n", expectedStrikes(strict(w, "Ae"), strict(w, "Ng"), strict(w, "k")));
            if (checked(w, "jz1"))
                put(w, "dj", verdict(strict(w, "n"), Importance::Ordinary));
            if (checked(w, "jz2"))
                put(w, "dj", verdict(strict(w, "n"), Importance::Important));
        });
    } else if (name == "XCJS") {
        // A row's total follows its count and its area, as in the program.
        for (const trunking::CableRow& r : trunking::cableRows()) {
            const std::string area = r.field(2), count = r.field(3), total = r.field(4);
            auto recompute = [w, area, count, total] {
                put(w, total, trunking::rowTotal(lenient(w, area), lenient(w, count)));
            };
            QObject::connect(field(w, count), &QLineEdit::textChanged, recompute);
            QObject::connect(field(w, area), &QLineEdit::textChanged, recompute);
        }
        onClick(w, "ql", [w] {
            for (const trunking::CableRow& r : trunking::cableRows()) {
                put(w, r.field(3), std::string());
                put(w, r.field(4), std::string());
            }
        });
    }
}

} // namespace

int main(int argc, char** argv)
{
    bench::markMain();
    QApplication app(argc, argv);
    // The faces the program asks for (ui::installFontSubstitutions), so that
    // both draw the same text in the same face; the harness compares them.
    QFont::insertSubstitutions("宋体", {"SimSun", "Noto Serif CJK SC", "AR PL UMing CN", "AR PL SungtiL GB"});
    QFont::insertSubstitutions("华文行楷", {"STXingkai", "KaiTi", "楷体", "AR PL UKai CN", "AR PL KaitiM GB", "SimSun",
                                            "AR PL UMing CN", "Noto Serif CJK SC"});

    QWidget* menu = nullptr;
    std::map<QString, QWidget*> made;

    bench::Hooks hooks;
    hooks.start = [&] {
        menu = makeWindow(menuWindow());
        const std::pair<const char*, const ui::Table& (*)()> buttons[] = {
            {"fh", load::window}, {"zd", lighting::window}, {"fl", lightning::window}, {"xc", trunking::window}};
        // A window's table is made when the window is first opened, as the
        // program makes it.
        for (const auto& [button, table] : buttons) {
            const ui::Table& (*tableOf)() = table;
            QObject::connect(menu->findChild<QPushButton*>(button), &QPushButton::clicked, [&, tableOf] {
                const QString name = QString::fromStdString(tableOf().window.name);
                QWidget*& w = made[name];
                if (!w) {
                    w = makeWindow(tableOf());
                    addHandlers(w, name);
                }
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
