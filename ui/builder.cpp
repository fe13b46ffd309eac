#include "builder.h"

#include "accessible.h"
#include "drawn.h"
#include "widgets.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QTranslator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <map>

namespace ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A list's items, handed over in one call: item by item, each is a model
// change of its own.
QStringList items(const Control& c)
{
    QStringList all;
    all.reserve(static_cast<qsizetype>(c.items.size()));
    for (const auto& item : c.items)
        all << qs(item);
    return all;
}

QWidget* make(const Control& c, QWidget* parent)
{
    switch (c.kind) {
    case Kind::Field: {
        // Made empty, then given its text: a new field lays its text out once
        // in the application's face, before it takes its window's.
        auto* e = new QLineEdit(parent);
        if (!c.caption.empty()) {
            e->setText(qs(c.caption));
            e->setCursorPosition(0);
        }
        e->setReadOnly(c.readOnly);
        if (c.readOnly)
            e->setFocusPolicy(Qt::ClickFocus); // a result to read, no stop of Tab
        return e;
    }
    case Kind::MultiField: {
        auto* m = new QPlainTextEdit(parent);
        m->setPlainText(qs(c.caption).replace("\r\n", "\n"));
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m->setTabChangesFocus(true);
        return m;
    }
    case Kind::Label: {
        auto* l = new ClickLabel(qs(c.caption), parent);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    }
    case Kind::Button: {
        auto* b = new QPushButton(qs(c.caption), parent);
        pressOnAccessKey(b);
        return b;
    }
    case Kind::Option: {
        auto* o = new OptionButton(qs(c.caption), parent);
        o->setChecked(c.selected);
        pressOnAccessKey(o);
        return o;
    }
    case Kind::Frame: return new Frame(qs(c.caption), parent);
    case Kind::Combo: {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert); // the items are fixed
        box->setCompleter(nullptr);                // typing must not be completed to an item
        box->addItems(items(c));
        box->setCurrentIndex(box->findText(qs(c.caption))); // the list opens on the item shown
        box->setEditText(qs(c.caption));
        return box;
    }
    case Kind::List: {
        auto* list = new QListWidget(parent);
        list->addItems(items(c));
        return list;
    }
    case Kind::Choice: {
        auto* box = new QComboBox(parent);
        box->addItems(items(c));
        return box;
    }
    case Kind::Grid: {
        auto* table = new QTableView(parent);
        table->setTabKeyNavigation(true); // Tab moves across the cells, as in a spreadsheet
        return table;
    }
    }
    return nullptr;
}

} // namespace

double scale()
{
    static const double s = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
        return dpi > 0 ? dpi / 96.0 : 1.0;
    }();
    return s;
}

int px(int twips) { return static_cast<int>(std::lround(twips / 15.0 * scale())); }

void installFontSubstitutions()
{
    // Noto Serif CJK SC before the AR PL faces: at 9 pt AR PL UMing draws "l"
    // so like "1" that 100lx reads 1001x.
    QFont::insertSubstitutions("宋体", {"SimSun", "Noto Serif CJK SC", "AR PL UMing CN", "AR PL SungtiL GB"});
    // The calligraphic face comes with office suites, not with Windows itself;
    // every Chinese Windows has KaiTi, and SimSun is the last resort.
    QFont::insertSubstitutions("华文行楷", {"STXingkai", "KaiTi", "楷体", "AR PL UKai CN", "AR PL KaitiM GB", "SimSun",
                                            "AR PL UMing CN", "Noto Serif CJK SC"});
    // What no table gives a face of its own (tooltips, the right-click menu)
    // is set in the windows' face at the usual size of such texts. A new
    // field is laid out once in this face too: in a face of its own that
    // would be one more font to look up, with its fallbacks, on the first
    // opening of a calculator.
    QGuiApplication::setFont(QFont(QStringLiteral("宋体"), 9));
}

void loadFieldFace()
{
    // Where the faces come from a folder (Windows drawn offscreen) each size
    // is a load of its own.
    QFontMetrics(QGuiApplication::font()).height();
}

bool installTranslation()
{
    // Installed once: a second translator would be asked first for every text.
    static QTranslator* installed = nullptr;
    if (installed)
        return true;
    auto* qt = new QTranslator(QCoreApplication::instance());
    // Beside the program on Windows (the installer and the zip put it there),
    // in Qt's own folder where Qt comes from the system.
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        if (qt->load(QStringLiteral("qtbase_zh_CN"), folder) && QCoreApplication::installTranslator(qt)) {
            installed = qt;
            return true;
        }
    }
    delete qt;
    return false;
}

namespace {

// A window the engineer may make larger holds its controls on a canvas that
// scrolls where the screen is smaller than the window's design, and grows
// with the window beyond it. It opens wholly on its screen.
QWidget* scrolling(QWidget* window, QSize design)
{
    auto* scroll = new QScrollArea(window);
    scroll->setObjectName(QStringLiteral("qt_canvas_scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus); // it scrolls to the control with the focus; it is no stop itself
    auto* canvas = new QWidget;
    canvas->setObjectName(QStringLiteral("qt_canvas"));
    canvas->setMinimumSize(design);
    scroll->setWidget(canvas);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    window->setMinimumSize(std::min(design.width(), 480), std::min(design.height(), 320));
    window->resize(design);
    onEvent(window, QEvent::Show, [window, design] {
        if (window->property("elcartaPlaced").toBool())
            return false;
        window->setProperty("elcartaPlaced", true);
        const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return false;
        // Room for the title bar and borders the window system adds, which it
        // tells only once the window is on the screen; the window is placed
        // by its inside, and the frame goes round it.
        const QRect room = screen->availableGeometry();
        const QMargins frame(8, 30, 8, 10);
        const QSize size(std::min(design.width(), room.width() - frame.left() - frame.right()),
                         std::min(design.height(), room.height() - frame.top() - frame.bottom()));
        window->resize(size);
        const int spareX = room.width() - size.width() - frame.left() - frame.right();
        const int spareY = room.height() - size.height() - frame.top() - frame.bottom();
        window->move(room.left() + frame.left() + spareX / 2, room.top() + frame.top() + spareY / 2);
        return false;
    });
    return canvas;
}

} // namespace

Form* build(const Table& table)
{
    const WindowDef& def = table.window;
    const std::vector<Control>& controls = table.controls;
    installAccessibility();
    installKeyGuard();
    drawn::install();
    auto* window = new QWidget(nullptr, Qt::Window);
    markWindow(window);
    window->setObjectName(qs(def.name));
    window->setWindowTitle(qs(def.caption));
    QWidget* canvas = window;
    if (def.resizable)
        canvas = scrolling(window, QSize(px(def.width), px(def.height)));
    else
        window->setFixedSize(px(def.width), px(def.height));
    QFont font(qs(def.font));
    font.setPointSizeF(def.points);
    window->setFont(font);
    window->setAttribute(Qt::WA_QuitOnClose, false); // the shell decides what closing means

    auto* form = new Form(window, table, canvas);

    // Frames first, so that the options inside them find their parent.
    std::vector<std::pair<const Control*, QWidget*>> made;
    auto place = [&](const Control& c) {
        QWidget* parent = canvas;
        if (!c.parent.empty())
            parent = form->control(c.parent);
        QWidget* w = make(c, parent);
        w->setObjectName(qs(c.name));
        if (c.index >= 0)
            w->setProperty("index", c.index);
        form->adopt(w, c.index);
        w->setGeometry(px(c.rect.left), px(c.rect.top), px(c.rect.width), px(c.rect.height));
        if (c.points > 0 || !c.family.empty()) {
            QFont f(c.family.empty() ? font.family() : qs(c.family));
            f.setPointSizeF(c.points > 0 ? c.points : def.points);
            w->setFont(f);
        }
        if (!c.tooltip.empty())
            w->setToolTip(qs(c.tooltip));
        if (c.hidden)
            w->hide();
        if (c.tab >= 0)
            form->setTabIndex(w, c.tab);
        fitCaption(w);
        made.emplace_back(&c, w);
    };
    for (const Control& c : controls)
        if (c.kind == Kind::Frame)
            place(c);
    for (const Control& c : controls)
        if (c.kind != Kind::Frame)
            place(c);

    // One option group per container. Qt's own auto-exclusive grouping would
    // take in the options of frames inside the window too. Of each group only
    // the selected option is a tab stop, as Tab moves from group to group.
    std::map<QWidget*, QButtonGroup*> groups;
    for (auto& [c, w] : made) {
        auto* optionButton = qobject_cast<QRadioButton*>(w);
        if (!optionButton)
            continue;
        QButtonGroup*& group = groups[w->parentWidget()];
        if (!group) {
            group = new QButtonGroup(w->parentWidget());
            QObject::connect(group, &QButtonGroup::buttonToggled, [](QAbstractButton* b, bool on) {
                b->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
            });
        }
        group->addButton(optionButton);
        optionButton->setFocusPolicy(optionButton->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }

    // What a screen reader says for a field: the caption the engineer reads
    // beside it (a label, or a button such as 计算面积S beside the area),
    // else what the table calls it; its tooltip stays its description. Buttons
    // and options are named by their captions as they change. Every caption
    // is linked before any field is named: a field may come before its label.
    for (auto& [c, w] : made) {
        if (c->names.empty())
            continue;
        QWidget* named = form->control(c->names);
        form->nameBy(w, named);
        // A clickable label with no tab index of its own comes just before
        // the field it names.
        if (const std::optional<double> tab = named ? form->tabIndex(named) : std::nullopt; c->tab < 0 && tab)
            form->setTabIndex(w, *tab - 0.5);
    }
    for (auto& [c, w] : made) {
        if (c->kind == Kind::Field || c->kind == Kind::MultiField || c->kind == Kind::Combo || c->kind == Kind::List ||
            c->kind == Kind::Choice || c->kind == Kind::Grid) {
            form->refreshName(w);
            w->setAccessibleDescription(w->toolTip()); // Qt's table says no tooltip by itself
        }
    }

    form->watchChanges();

    // A window that may be made larger gives the room to its table: the
    // table grows with the window, and what lies below or right of it moves.
    if (def.resizable) {
        QWidget* table = nullptr;
        for (auto& [c, w] : made)
            if (c->kind == Kind::Grid)
                table = w;
        if (table) {
            // The table is found by its name at each resize: a window may put
            // a table of its own kind in the builder's place.
            const QString name = table->objectName();
            const QRect at = table->geometry();
            const QSize start(px(def.width), px(def.height));
            std::vector<std::pair<QPointer<QWidget>, QRect>> others;
            for (auto& [c, w] : made)
                if (w != table && w->parentWidget() == canvas)
                    others.emplace_back(w, w->geometry());
            onEvent(canvas, QEvent::Resize, [=] {
                const int dx = canvas->width() - start.width(), dy = canvas->height() - start.height();
                if (QWidget* t = canvas->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
                    t->setGeometry(at.adjusted(0, 0, dx, dy));
                for (const auto& [w, r] : others)
                    if (w)
                        w->move(r.left() >= at.right() ? r.left() + dx : r.left(), r.top() >= at.bottom() ? r.top() + dy : r.top());
                return false;
            });
        }
    }

    // Focus chain in the order of the tab indexes; labels and frames take no
    // focus until a label gets a click handler.
    form->linkFocusChain();
    // The first tab stop holds the focus when the window opens.
    std::vector<std::pair<int, QWidget*>> stops;
    for (auto& [c, w] : made)
        if (c->tab >= 0 && (w->focusPolicy() & Qt::TabFocus))
            stops.emplace_back(c->tab, w);
    if (!stops.empty())
        std::min_element(stops.begin(), stops.end(), [](auto& a, auto& b) { return a.first < b.first; })->second->setFocus();

    return form;
}

} // namespace ui
