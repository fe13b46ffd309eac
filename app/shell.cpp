#include "shell.h"

#include "actions.h"
#include "builder.h"
#include "calculators.h"
#include "circuit_sheet.h"
#include "commands.h"
#include "drawn.h"
#include "form.h"
#include "icons.h"
#include "menu.h"
#include "project_sheet.h"
#include "project_window.h"
#include "schedule_window.h"
#include "widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QStandardPaths>
#include <QWidget>

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

const char* const projectName = "gc";
const char* const scheduleName = "fhb";

QString platformChoice(Session::Choice choice, QWidget* parent, const QString& suggested)
{
    const QString filter = QStringLiteral("Elcarta 工程 (*.elcarta)");
    if (choice == Session::Choice::Save)
        return QFileDialog::getSaveFileName(parent, QStringLiteral("保存工程"), suggested, filter);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("打开工程"), suggested, filter);
}

QString documents()
{
    QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return d.isEmpty() ? QDir::homePath() : d;
}

// The project file dropped on a window, if that is what was dropped.
QString droppedProject(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".elcarta"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

// A project file dropped on any window opens it.
void acceptProjectDrops(QWidget* w, std::function<void(const QString&)> open)
{
    w->setAcceptDrops(true);
    ui::onEvent(w, QEvent::DragEnter, [](QEvent* e) {
        auto* enter = static_cast<QDragEnterEvent*>(e);
        if (droppedProject(enter->mimeData()).isEmpty())
            return false;
        enter->acceptProposedAction();
        return true;
    });
    ui::onEvent(w, QEvent::Drop, [open](QEvent* e) {
        auto* drop = static_cast<QDropEvent*>(e);
        const QString path = droppedProject(drop->mimeData());
        if (path.isEmpty())
            return false;
        drop->acceptProposedAction();
        open(path);
        return true;
    });
}

} // namespace

Shell::Shell(Options options) : options_(std::move(options))
{
    if (!options_.endProgram)
        options_.endProgram = [] { QCoreApplication::quit(); };
    if (!options_.chooseFile)
        options_.chooseFile = platformChoice;
    if (options_.dataFolder.isEmpty())
        options_.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (options_.projectsFolder.isEmpty())
        options_.projectsFolder = documents() + QStringLiteral("/Elcarta工程");

    windows_.push_back({menuWindow().window.name, nullptr, nullptr, nullptr});
    for (const Calculator& c : calculators())
        windows_.push_back({c.window, c.build, nullptr, c.sheet});
    windows_.push_back({projectName, nullptr, nullptr, nullptr});
    windows_.push_back({scheduleName, nullptr, nullptr, nullptr});

    Session::Windows hooks;
    hooks.states = [this] {
        std::map<std::string, ui::State> states;
        for (const Entry& e : windows_)
            if (e.form && e.sheet)
                states[e.name] = e.form->snapshot();
        return states;
    };
    hooks.apply = [this](const project::Project& p) { applyWindows(p); };
    hooks.tell = [this](const QString& text, bool failure) { tell(text, failure); };
    hooks.parent = [this] { return visible() ? visible()->window() : nullptr; };
    hooks.refresh = [this] { refreshProjectWindow(); };
    session_ = std::make_unique<Session>(std::move(hooks), options_.chooseFile, options_.dataFolder,
                                         options_.projectsFolder);
}

Shell::~Shell()
{
    for (Entry& e : windows_)
        if (e.form)
            delete e.form->window();
}

Shell::Entry* Shell::find(const std::string& name)
{
    for (Entry& e : windows_)
        if (e.name == name)
            return &e;
    return nullptr;
}

bool Shell::isOwn(const std::string& name) const { return name == projectName || name == scheduleName; }

sheet::Header Shell::header() const { return session_->header(); }

void Shell::adopt(Entry& entry, ui::Form* form)
{
    entry.form = form;
    QWidget* w = form->window();
    w->setWindowIcon(icons::windowIcon(entry.name, form->def().iconSize));
    const std::string name = entry.name;
    const bool isMenu = &entry == &windows_.front();
    const bool isCalculator = static_cast<bool>(entry.sheet);

    // Closing the menu ends the program, unless the menu has only just
    // appeared (the second of two close requests meant for a calculator);
    // closing any other window goes back down the tree.
    ui::onEvent(w, QEvent::Close, [this, isMenu, name, w](QEvent* event) {
        event->ignore(); // the shell hides and shows the windows itself
        if (!isMenu)
            back(name);
        else if (!menuJustShown(w))
            end();
        return true;
    });
    // Escape in our own windows is their 返回, as in a dialog; a key the
    // window's controls take (a cell being typed into) never gets here.
    if (isOwn(name))
        ui::onEvent(w, QEvent::KeyPress, [this, name](QEvent* event) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
                return false;
            back(name);
            return true;
        });

    acceptProjectDrops(w, [this](const QString& path) { session_->openProject(path); });

    if (isCalculator)
        QObject::connect(form, &ui::Form::changed, [this] { session_->changed(); });

    // The window's commands: its sheet, its cases, the project.
    std::vector<ui::Command> commands;
    const auto scheduleKey = [this] {
        return ui::Command{QStringLiteral("负荷计算表(&B)"), QKeySequence(Qt::CTRL | Qt::Key_B),
                           [this] { schedule(session_->schedule().current); }};
    };
    if (isCalculator) {
        commands = sheet::commands(*form, entry.sheet, [this] { return header(); });
        commands.push_back({QStringLiteral("存为算例(&K)"), QKeySequence(Qt::CTRL | Qt::Key_D),
                            [this, name] { saveCase(name); }, true});
        if (name == "fhjs")
            commands.push_back(scheduleKey());
    } else if (name == scheduleName) {
        commands = sheet::sheetCommands(*form, [this] {
            sheet::Sheet s = load::boardSheets(session_->schedule().boards, session_->schedule().current);
            s.header = header();
            s.made = QDateTime::currentDateTime();
            return s;
        });
    } else {
        commands.push_back({QStringLiteral("保存工程计算书(PDF)(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P),
                            [this] { projectSheet(); }});
        commands.push_back({QStringLiteral("保存工程计算书(ODT)(&D)"), {}, [this] { projectSheet(true); }});
        if (name == projectName)
            commands.push_back(scheduleKey());
    }
    commands.push_back({QStringLiteral("保存工程(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S),
                        [this] { session_->save(false); }, true});
    commands.push_back({QStringLiteral("工程另存为(&A)…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                        [this] { session_->save(true); }});
    commands.push_back({QStringLiteral("打开工程(&O)…"), QKeySequence(Qt::CTRL | Qt::Key_O),
                        [this] { session_->chooseAndOpen(); }});
    if (name != projectName)
        commands.push_back({QStringLiteral("工程窗口(&G)"), QKeySequence(Qt::CTRL | Qt::Key_G),
                            [this] { projectWindow(); }});
    commands.push_back({QStringLiteral("找回上次未保存的输入(&H)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
                        [this] { session_->bringBack(); }});
    ui::attachCommands(*form, std::move(commands));
}

ui::Form* Shell::buildProjectWindow()
{
    project::WindowHooks hooks;
    hooks.back = [this] { back(projectName); };
    hooks.newProject = [this] { session_->newProject(); };
    hooks.openProject = [this] { session_->chooseAndOpen(); };
    hooks.saveProject = [this] { session_->save(false); };
    hooks.saveAs = [this] { session_->save(true); };
    hooks.sheet = [this] { projectSheet(); };
    hooks.openRecent = [this](const QString& file) { session_->openProject(file); };
    hooks.openBoard = [this](std::size_t board) { schedule(board); };
    hooks.headerEdited = [this](const project::Header& h) {
        session_->header() = h;
        session_->changed();
    };
    hooks.loadCase = [this](const project::CaseRef& c) {
        const auto& cases = session_->cases();
        const auto it = cases.find(c.window);
        if (it == cases.end() || c.index >= it->second.size())
            return;
        const project::Case chosen = it->second[c.index];
        ui::Form* f = ensure(c.window);
        f->restore(chosen.state);
        session_->changed();
        open(c.window);
        tell(QStringLiteral("已载入算例“%1”").arg(qs(chosen.name)));
    };
    hooks.renameCase = [this](const project::CaseRef& c, const std::string& name) {
        auto& cases = session_->cases();
        auto it = cases.find(c.window);
        if (it == cases.end() || c.index >= it->second.size())
            return;
        it->second[c.index].name = name;
        session_->casesEdited();
        tell(QStringLiteral("算例已改名为“%1”").arg(qs(name)));
    };
    hooks.deleteCase = [this](const project::CaseRef& c) {
        auto& cases = session_->cases();
        auto it = cases.find(c.window);
        if (it == cases.end() || c.index >= it->second.size())
            return;
        const QString gone = qs(it->second[c.index].name);
        it->second.erase(it->second.begin() + static_cast<std::ptrdiff_t>(c.index));
        if (it->second.empty())
            cases.erase(it);
        session_->casesEdited();
        tell(QStringLiteral("算例“%1”已删除").arg(gone));
    };
    return project::buildWindow(std::move(hooks));
}

ui::Form* Shell::ensure(const std::string& name)
{
    Entry* e = find(name);
    if (!e)
        return nullptr;
    if (!e->form) {
        if (e == &windows_.front()) {
            adopt(*e, buildMenu([this](const std::string& w) { open(w); }, [this] { end(); }));
        } else if (name == projectName) {
            adopt(*e, buildProjectWindow());
        } else if (name == scheduleName) {
            load::ScheduleHooks hooks;
            hooks.boards = &session_->schedule().boards;
            hooks.current = &session_->schedule().current;
            hooks.changed = [this] { session_->changed(); };
            hooks.back = [this] { back(scheduleName); };
            adopt(*e, load::buildScheduleWindow(std::move(hooks)));
        } else if (e->builder) {
            adopt(*e, e->builder([this, name] { backToMenu(name); }));
        }
    }
    return e->form;
}

bool Shell::showMenu()
{
    const bool first = !windows_.front().form;
    ensure(menuWindow().window.name)->window()->show();
    return first;
}

void Shell::start()
{
    if (showMenu())
        offerLastRun();
}

void Shell::startDrawingFirst(std::function<void()> onceDrawn)
{
    if (!showMenu())
        return;
    // The menu appears before the recovery file is read; a second is the
    // latest, should it never be drawn.
    ui::drawn::afterFirstDrawing(windows_.front().form->window(), 1000, [this, onceDrawn = std::move(onceDrawn)] {
        ui::loadFieldFace();
        offerLastRun();
        if (onceDrawn)
            onceDrawn();
    });
}

void Shell::offerLastRun()
{
    // The last run's inputs that no saved project holds wait for Ctrl+Shift+T;
    // until then this run leaves them where they are.
    if (session_->offerLastRun())
        windows_.front().form->showMessage(QStringLiteral("上次有未保存的输入，按 Ctrl+Shift+T 找回"),
                                           [this] { session_->bringBack(); });
}

void Shell::go(const std::string& to)
{
    ui::Form* target = ensure(to);
    if (!target)
        return;
    ui::Form* from = visible();
    if (from == target)
        return;
    if (isOwn(to)) {
        // Our own windows go back where the first of them was opened from.
        const std::string fromName = from ? from->def().name : menuWindow().window.name;
        const auto base = returnTo_.find(fromName);
        returnTo_[to] = isOwn(fromName) && base != returnTo_.end() ? base->second : fromName;
    }
    if (to == projectName)
        refreshProjectWindow(true);
    target->window()->show();
    target->window()->activateWindow();
    if (from) {
        from->clearMessage(); // a note goes at the first action
        from->window()->hide();
    }
    session_->windowChanged();
}

void Shell::open(const std::string& name) { go(name); }

void Shell::back(const std::string& from)
{
    if (!isOwn(from)) {
        backToMenu(from);
        return;
    }
    const auto it = returnTo_.find(from);
    const std::string to = it == returnTo_.end() ? menuWindow().window.name : it->second;
    if (to == menuWindow().window.name)
        backToMenu(from);
    else
        go(to);
}

void Shell::backToMenu(const std::string& from)
{
    start(); // creates the menu if it does not exist, and shows it
    windows_.front().form->window()->activateWindow();
    if (QWidget* w = window(from); w && from != windows_.front().name) {
        if (ui::Form* f = form(from))
            f->clearMessage();
        w->hide();
    }
    windows_.front().form->clearMessage();
    session_->windowChanged();
}

void Shell::end()
{
    session_->writeRecovery();
    for (Entry& e : windows_)
        if (e.form)
            e.form->window()->hide();
    options_.endProgram();
}

QWidget* Shell::window(const std::string& name) const
{
    ui::Form* f = form(name);
    return f ? f->window() : nullptr;
}

ui::Form* Shell::form(const std::string& name) const
{
    for (const Entry& e : windows_)
        if (e.name == name)
            return e.form;
    return nullptr;
}

ui::Form* Shell::visible() const
{
    for (const Entry& e : windows_)
        if (e.form && e.form->window()->isVisible())
            return e.form;
    return nullptr;
}

void Shell::tell(const QString& text, bool failure)
{
    if (ui::Form* f = visible()) {
        if (failure)
            f->showProblem(text);
        else
            f->showMessage(text);
    }
}

void Shell::applyWindows(const project::Project& p)
{
    for (const Calculator& c : calculators()) {
        const auto it = p.windows.find(c.window);
        if (it != p.windows.end())
            ensure(c.window)->restore(it->second);
        else if (ui::Form* f = form(c.window))
            f->restore({}); // as it starts: the project never had it open
    }
    if (ui::Form* f = form(scheduleName))
        load::showBoards(*f);
}

void Shell::refreshProjectWindow(bool evenHidden)
{
    ui::Form* gc = form(projectName);
    if (!gc || (!evenHidden && !gc->window()->isVisible()))
        return;
    // The window shows the header and the cases: no window's state is
    // taken for it, at every keystroke in its header.
    project::Shown s;
    s.project = &session_->headerAndCases();
    s.file = session_->file();
    s.unsaved = session_->unsaved();
    s.recent = session_->recent();
    for (const load::Board& b : session_->schedule().boards)
        s.boards << qs(b.name);
    s.captionOf = [](const std::string& window) {
        const ui::Table* t = tableOf(window);
        return t ? qs(t->window.caption) : qs(window);
    };
    project::show(*gc, s);
}

void Shell::saveCase(const std::string& window)
{
    const Calculator* c = calculator(window);
    ui::Form* f = form(window);
    if (!c || !f)
        return;
    const ui::State state = f->snapshot();
    const QString name = session_->saveCase(window, state, c->caseName(state));
    tell(QStringLiteral("已存为算例“%1”，可在工程窗口（Ctrl+G）中改名").arg(name));
}

void Shell::projectWindow() { go(projectName); }

void Shell::schedule(std::size_t board)
{
    session_->schedule().current = board;
    ui::Form* f = ensure(scheduleName);
    load::showBoards(*f);
    go(scheduleName);
}

void Shell::projectSheet(bool odt)
{
    ui::Form* f = visible();
    if (!f)
        return;
    sheet::Sheet s = project::projectSheet(session_->project());
    s.header = header();
    s.made = QDateTime::currentDateTime();
    sheet::saveAndTell(*f, s, odt ? sheet::Format::Odt : sheet::Format::Pdf, sheet::defaultFolder());
}
