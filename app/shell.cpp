#include "shell.h"

#include "calculators.h"
#include "icons.h"
#include "menu.h"
#include "project_sheet.h"
#include "project_window.h"
#include "actions.h"
#include "commands.h"
#include "form.h"
#include "widgets.h"
#include "schedule_sheet.h"
#include "schedule_file.h"
#include "schedule_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

const char* const projectName = "gc";
const char* const scheduleName = "fhb";

QString platformChoice(Shell::Choice choice, QWidget* parent, const QString& suggested)
{
    const QString filter = QStringLiteral("Elcarta 工程 (*.elcarta)");
    if (choice == Shell::Choice::Save)
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

// A window's state as it starts: what a file may leave out.
bool isFresh(const ui::Table& table, const ui::State& s)
{
    for (const ui::Control& c : table.controls) {
        switch (c.kind) {
        case ui::Kind::Field:
        case ui::Kind::MultiField:
        case ui::Kind::Combo:
            if (s.text(c.name) != c.caption)
                return false;
            break;
        case ui::Kind::Option:
            if (s.isChecked(c.name) != c.selected)
                return false;
            break;
        case ui::Kind::List:
            if (s.shown.count(c.name) && s.shown.at(c.name) == c.hidden)
                return false;
            break;
        default: break;
        }
    }
    return s.captions.empty();
}

// Whether the project holds anything the engineer typed.
bool holdsInput(const project::Project& p)
{
    if (!(p.header == project::Header{}) || !p.cases.empty())
        return true;
    for (const project::Part& part : projectParts())
        if (part.holdsInput && part.holdsInput(p.parts))
            return true;
    for (const auto& [window, state] : p.windows)
        if (const ui::Table* t = tableOf(window); t && !isFresh(*t, state))
            return true;
    return false;
}

std::string checkState(const std::string& window, const ui::State& state)
{
    const Calculator* c = calculator(window);
    return c && c->check ? c->check(state) : std::string();
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

    // What was typed reaches the recovery file within half a second, never
    // on the path of the keystroke itself.
    recoveryTimer_.setSingleShot(true);
    recoveryTimer_.setInterval(500);
    QObject::connect(&recoveryTimer_, &QTimer::timeout, [this] { writeRecovery(); });
}

Shell::~Shell()
{
    recoveryTimer_.stop();
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

sheet::Header Shell::header() const
{
    return {qs(project_.header.project), qs(project_.header.part), qs(project_.header.calculatedBy),
            qs(project_.header.checkedBy)};
}

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
    // closing a calculator returns to the menu, the project window to where
    // it was opened from.
    new ui::EventHook(w, QEvent::Close, [this, isMenu, isCalculator, name, w](QEvent* event) {
        event->ignore(); // the shell hides and shows the windows itself
        if (isMenu) {
            if (!menuJustShown(w))
                end();
        } else if (isCalculator) {
            backToMenu(name);
        } else {
            go(returnTo_.count(name) ? returnTo_[name] : menuWindow().window.name);
        }
        return true;
    });

    // A project file dropped on any window opens it.
    w->setAcceptDrops(true);
    new ui::EventHook(w, QEvent::DragEnter, [](QEvent* e) {
        auto* enter = static_cast<QDragEnterEvent*>(e);
        if (droppedProject(enter->mimeData()).isEmpty())
            return false;
        enter->acceptProposedAction();
        return true;
    });
    new ui::EventHook(w, QEvent::Drop, [this](QEvent* e) {
        auto* drop = static_cast<QDropEvent*>(e);
        const QString path = droppedProject(drop->mimeData());
        if (path.isEmpty())
            return false;
        drop->acceptProposedAction();
        openProject(path);
        return true;
    });

    if (isCalculator)
        QObject::connect(form, &ui::Form::changed, [this] { changed(); });

    // The window's commands: its sheet, its cases, the project.
    std::vector<ui::Command> commands;
    if (isCalculator) {
        commands = sheet::commands(*form, entry.sheet, [this] { return header(); });
        commands.push_back({QStringLiteral("存为算例"), QKeySequence(Qt::CTRL | Qt::Key_D), [this, name] { saveCase(name); }, true});
        if (name == "fhjs")
            commands.push_back({QStringLiteral("负荷计算表"), QKeySequence(Qt::CTRL | Qt::Key_B), [this] { schedule(schedule_.current); }});
    } else if (name == scheduleName) {
        commands = sheet::sheetCommands(*form, [this] {
            sheet::Sheet s = load::scheduleSheet(schedule_.boards, schedule_.current);
            s.header = header();
            s.made = QDateTime::currentDateTime();
            return s;
        });
    } else {
        commands.push_back({QStringLiteral("保存工程计算书(PDF)"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { projectSheet(); }});
        commands.push_back({QStringLiteral("保存工程计算书(ODT)"), {}, [this] { projectSheet(true); }});
        if (name == projectName)
            commands.push_back({QStringLiteral("负荷计算表"), QKeySequence(Qt::CTRL | Qt::Key_B), [this] { schedule(schedule_.current); }});
    }
    commands.push_back({QStringLiteral("保存工程"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { save(false); }, true});
    commands.push_back({QStringLiteral("工程另存为…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { save(true); }});
    commands.push_back({QStringLiteral("打开工程…"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { chooseAndOpen(); }});
    if (name != projectName)
        commands.push_back({QStringLiteral("工程窗口"), QKeySequence(Qt::CTRL | Qt::Key_G), [this] { projectWindow(); }});
    commands.push_back({QStringLiteral("找回上次未保存的输入"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), [this] { bringBack(); }});
    ui::attachCommands(*form, std::move(commands));
}

ui::Form* Shell::ensure(const std::string& name)
{
    Entry* e = find(name);
    if (!e)
        return nullptr;
    if (!e->form) {
        if (name == menuWindow().window.name) {
            adopt(*e, buildMenu([this](const std::string& w) { open(w); }, [this] { end(); }));
        } else if (name == projectName) {
            project::WindowHooks hooks;
            hooks.back = [this] { go(returnTo_.count(projectName) ? returnTo_[projectName] : menuWindow().window.name); };
            hooks.newProject = [this] { newProject(); };
            hooks.openProject = [this] { chooseAndOpen(); };
            hooks.saveProject = [this] { save(false); };
            hooks.saveAs = [this] { save(true); };
            hooks.sheet = [this] { projectSheet(); };
            hooks.openRecent = [this](const QString& file) { openProject(file); };
            hooks.openBoard = [this](std::size_t board) { schedule(board); };
            hooks.headerEdited = [this](const project::Header& h) {
                project_.header = h;
                changed();
            };
            hooks.loadCase = [this](const project::CaseRef& c) {
                const auto it = project_.cases.find(c.window);
                if (it == project_.cases.end() || c.index >= it->second.size())
                    return;
                ui::Form* f = ensure(c.window);
                applying_ = true;
                f->restore(it->second[c.index].state);
                applying_ = false;
                changed();
                open(c.window);
                tell(QStringLiteral("已载入算例“%1”").arg(qs(it->second[c.index].name)));
            };
            hooks.renameCase = [this](const project::CaseRef& c, const std::string& name) {
                auto it = project_.cases.find(c.window);
                if (it == project_.cases.end() || c.index >= it->second.size())
                    return;
                it->second[c.index].name = name;
                casesChanged_ = true;
                changed();
                tell(QStringLiteral("算例已改名为“%1”").arg(qs(name)));
            };
            hooks.deleteCase = [this](const project::CaseRef& c) {
                auto it = project_.cases.find(c.window);
                if (it == project_.cases.end() || c.index >= it->second.size())
                    return;
                const QString gone = qs(it->second[c.index].name);
                it->second.erase(it->second.begin() + static_cast<std::ptrdiff_t>(c.index));
                if (it->second.empty())
                    project_.cases.erase(it);
                casesChanged_ = true;
                changed();
                tell(QStringLiteral("算例“%1”已删除").arg(gone));
            };
            adopt(*e, project::buildWindow(std::move(hooks)));
        } else if (name == scheduleName) {
            load::ScheduleHooks hooks;
            hooks.boards = &schedule_.boards;
            hooks.current = &schedule_.current;
            hooks.changed = [this] { changed(); };
            hooks.back = [this] { go(returnTo_.count(scheduleName) ? returnTo_[scheduleName] : menuWindow().window.name); };
            adopt(*e, load::buildScheduleWindow(std::move(hooks)));
        } else if (e->builder) {
            adopt(*e, e->builder([this, name] { backToMenu(name); }));
        }
    }
    return e->form;
}

void Shell::start()
{
    const bool first = !windows_.front().form;
    ensure(menuWindow().window.name)->window()->show();
    if (!first)
        return;
    // The last run's inputs that no saved project holds wait for Ctrl+Shift+T;
    // until then this run leaves them where they are.
    QFile file(recoveryPath());
    if (file.open(QIODevice::ReadOnly)) {
        std::optional<project::Recovery> last = project::readRecovery(file.readAll(), tableOf, checkState, projectParts());
        if (last && last->unsaved && holdsInput(last->project)) {
            offer_ = std::move(last);
            windows_.front().form->showMessage(QStringLiteral("上次有未保存的输入，按 Ctrl+Shift+T 找回"),
                                               [this] { bringBack(); });
        }
    }
}

void Shell::go(const std::string& to)
{
    ui::Form* target = ensure(to);
    if (!target)
        return;
    ui::Form* from = visible();
    if (from == target)
        return;
    if (to == projectName || to == scheduleName)
        returnTo_[to] = from ? from->def().name : menuWindow().window.name;
    if (to == projectName)
        refreshProjectWindow();
    target->window()->show();
    target->window()->activateWindow();
    if (from) {
        from->clearMessage(); // a note goes at the first action
        from->window()->hide();
    }
    writeRecoverySoon();
}

void Shell::open(const std::string& name) { go(name); }

void Shell::backToMenu(const std::string& from)
{
    start(); // creates the menu if it does not exist, and shows it
    windows_.front().form->window()->activateWindow();
    if (QWidget* w = window(from); w && from != windows_.front().name)
        w->hide();
    windows_.front().form->clearMessage();
    writeRecoverySoon();
}

void Shell::end()
{
    writeRecovery();
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

void Shell::tell(const QString& text)
{
    if (ui::Form* f = visible())
        f->showMessage(text);
}

project::Project Shell::project() const
{
    project::Project p = project_;
    p.windows.clear();
    p.parts = load::entries(schedule_);
    for (const Entry& e : windows_)
        if (e.form && e.sheet)
            p.windows[e.name] = e.form->snapshot();
    return p;
}

void Shell::changed()
{
    if (applying_)
        return;
    unsaved_ = true;
    // The last run's inputs are no longer offered once this run has its own;
    // they stay beside the recovery file.
    if (offer_) {
        offer_.reset();
        QFile::remove(recoveryPath() + QStringLiteral(".previous"));
        QFile::copy(recoveryPath(), recoveryPath() + QStringLiteral(".previous"));
    }
    if (!recoveryTimer_.isActive())
        recoveryTimer_.start(500);
    if (ui::Form* gc = form(projectName); gc && gc->window()->isVisible())
        refreshProjectWindow();
}

const QJsonObject& Shell::casesText() const
{
    if (casesChanged_) {
        casesText_ = project::casesJson(project_.cases);
        casesChanged_ = false;
    }
    return casesText_;
}

// At a change of window the recovery file is written as soon as the new
// window is drawn, not on the way to it.
void Shell::writeRecoverySoon()
{
    if (!recoveryTimer_.isActive() || recoveryTimer_.remainingTime() > 100)
        recoveryTimer_.start(100);
}

QString Shell::recoveryPath() const { return options_.dataFolder + QStringLiteral("/recovery.json"); }

void Shell::writeRecovery()
{
    recoveryTimer_.stop();
    if (offer_)
        return; // what Ctrl+Shift+T would bring back is not written over
    if (!QDir().mkpath(options_.dataFolder))
        return;
    QSaveFile out(recoveryPath());
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(project::writeRecovery({project(), file_, unsaved_}, &casesText()));
    out.commit();
}

void Shell::apply(const project::Project& p)
{
    casesChanged_ = true;
    applying_ = true;
    project_ = p;
    project_.windows.clear();
    project_.parts = {};
    schedule_ = load::scheduleFrom(p.parts);
    for (const Calculator& c : calculators()) {
        const auto it = p.windows.find(c.window);
        if (it != p.windows.end())
            ensure(c.window)->restore(it->second);
        else if (ui::Form* f = form(c.window))
            f->restore({}); // as it starts: the project never had it open
    }
    if (ui::Form* f = form(scheduleName))
        load::showBoards(*f);
    applying_ = false;
    refreshProjectWindow();
}

void Shell::refreshProjectWindow()
{
    ui::Form* gc = form(projectName);
    if (!gc)
        return;
    project::Shown s;
    s.project = &project_;
    s.file = file_;
    s.unsaved = unsaved_;
    s.recent = recent();
    for (const load::Board& b : schedule_.boards)
        s.boards << qs(b.name);
    s.captionOf = [](const std::string& window) {
        const ui::Table* t = tableOf(window);
        return t ? qs(t->window.caption) : qs(window);
    };
    project::show(*gc, s);
}

bool Shell::writeProject(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    // The previous file stays whole until the new one is complete.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        tell(QStringLiteral("工程未能保存：无法在文件夹“%1”中写入“%2”").arg(QFileInfo(path).dir().dirName(), name));
        return false;
    }
    const QByteArray bytes = project::write(project(), &casesText());
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        tell(QStringLiteral("工程未能保存：写入“%1”时出错，磁盘可能已满；输入仍保留在恢复文件中").arg(name));
        return false;
    }
    return true;
}

void Shell::save(bool choosing)
{
    QString path = file_;
    if (choosing || path.isEmpty()) {
        QDir().mkpath(options_.projectsFolder);
        const QString base = project_.header.project.empty() ? QStringLiteral("未命名工程") : qs(project_.header.project);
        const QString suggested = path.isEmpty() ? options_.projectsFolder + "/" + base + QStringLiteral(".elcarta") : path;
        path = options_.chooseFile(Choice::Save, visible() ? visible()->window() : nullptr, suggested);
        if (path.isEmpty())
            return;
        if (!path.endsWith(QStringLiteral(".elcarta"), Qt::CaseInsensitive))
            path += QStringLiteral(".elcarta");
    }
    if (!writeProject(path)) {
        writeRecovery();
        return;
    }
    file_ = path;
    unsaved_ = false;
    remember(path);
    writeRecovery();
    refreshProjectWindow();
    tell(QStringLiteral("工程已保存为 %1").arg(QFileInfo(path).fileName()));
}

bool Shell::openProject(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        tell(QStringLiteral("无法打开工程“%1”：文件无法读取").arg(name));
        return false;
    }
    const project::Read read = project::read(in.readAll(), tableOf, checkState, projectParts());
    if (!read.project) {
        tell(QStringLiteral("无法打开工程“%1”：%2").arg(name, read.error));
        return false;
    }
    // What was typed and not saved is kept as recovery first, and Ctrl+Shift+T
    // brings it back until something is changed.
    if (unsaved_ && holdsInput(project())) {
        writeRecovery();
        offer_ = project::Recovery{project(), file_, true};
    }
    apply(*read.project);
    file_ = QFileInfo(path).absoluteFilePath();
    unsaved_ = false;
    remember(file_);
    refreshProjectWindow();
    tell(QStringLiteral("已打开工程 %1").arg(name));
    return true;
}

void Shell::chooseAndOpen()
{
    const QString start = file_.isEmpty() ? options_.projectsFolder : QFileInfo(file_).absolutePath();
    const QString path = options_.chooseFile(Choice::Open, visible() ? visible()->window() : nullptr, start);
    if (!path.isEmpty())
        openProject(path);
}

void Shell::newProject()
{
    if (unsaved_ && holdsInput(project())) {
        writeRecovery();
        offer_ = project::Recovery{project(), file_, true};
    }
    apply({});
    file_.clear();
    unsaved_ = false;
    refreshProjectWindow();
    tell(offer_ ? QStringLiteral("已新建工程；原来未保存的输入可按 Ctrl+Shift+T 找回") : QStringLiteral("已新建工程"));
}

void Shell::bringBack()
{
    if (!offer_) {
        tell(QStringLiteral("没有可找回的输入"));
        return;
    }
    const project::Recovery r = *offer_;
    offer_.reset();
    apply(r.project);
    file_ = r.file;
    unsaved_ = true;
    refreshProjectWindow();
    writeRecovery();
    tell(QStringLiteral("已找回上次未保存的输入"));
}

void Shell::saveCase(const std::string& window)
{
    const Calculator* c = calculator(window);
    ui::Form* f = form(window);
    if (!c || !f)
        return;
    const ui::State state = f->snapshot();
    std::vector<project::Case>& list = project_.cases[window];
    const std::string base = c->caseName(state);
    std::string name = base;
    for (int n = 2;; ++n) {
        bool taken = false;
        for (const project::Case& existing : list)
            taken = taken || existing.name == name;
        if (!taken)
            break;
        name = base + " (" + std::to_string(n) + ")";
    }
    list.push_back({name, state});
    casesChanged_ = true;
    changed();
    tell(QStringLiteral("已存为算例“%1”，可在工程窗口（Ctrl+G）中改名").arg(qs(name)));
}

void Shell::projectWindow() { go(projectName); }

void Shell::schedule(std::size_t board)
{
    schedule_.current = board;
    ui::Form* f = ensure(scheduleName);
    load::showBoards(*f);
    go(scheduleName);
}

void Shell::projectSheet(bool odt)
{
    ui::Form* f = visible();
    if (!f)
        return;
    sheet::Sheet s = project::projectSheet(project());
    s.header = header();
    s.made = QDateTime::currentDateTime();
    sheet::saveAndTell(*f, s, odt ? sheet::Format::Odt : sheet::Format::Pdf, sheet::defaultFolder());
}

QStringList Shell::recent() const
{
    QFile in(options_.dataFolder + QStringLiteral("/recent.json"));
    QStringList files;
    if (in.open(QIODevice::ReadOnly))
        for (const QJsonValue& v : QJsonDocument::fromJson(in.readAll()).array())
            if (v.isString())
                files << v.toString();
    return files;
}

void Shell::remember(const QString& path)
{
    QStringList files = recent();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > 10)
        files.removeLast();
    QDir().mkpath(options_.dataFolder);
    QSaveFile out(options_.dataFolder + QStringLiteral("/recent.json"));
    if (out.open(QIODevice::WriteOnly)) {
        out.write(QJsonDocument(QJsonArray::fromStringList(files)).toJson());
        out.commit();
    }
}
