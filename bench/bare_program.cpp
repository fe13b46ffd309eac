// The toolkit's floor for the start-up benchmark: the menu and the four
// calculator windows made from the program's own tables of them, with plain
// Qt calls, none of the program's own layer, and no handlers beyond the
// menu's own navigation.

#include "probe.h"

#include "menu.h"
#include "lighting_window.h"
#include "lightning_window.h"
#include "load_window.h"
#include "trunking_window.h"

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
            m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
        for (const auto& [button, table] : buttons) {
            const QString name = QString::fromStdString(table().window.name);
            const ui::Table& (*tableOf)() = table;
            QObject::connect(menu->findChild<QPushButton*>(button), &QPushButton::clicked, [&, name, tableOf] {
                QWidget*& w = made[name];
                if (!w)
                    w = makeWindow(tableOf());
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
