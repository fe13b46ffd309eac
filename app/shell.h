#pragma once
// The program's windows: the menu at start, each window built on its first
// use, show before hide, exactly one window visible at any moment. The
// windows form a tree below the menu: a calculator goes back to the menu, and
// our own windows (the project window, the load schedule) go back to the
// calculator or the menu the first of them was opened from, never round a
// loop. The engineer's work in them is the session's (session.h).

#include "session.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;
namespace ui { class Form; struct State; }
namespace sheet { struct Sheet; struct Header; }

class Shell {
public:
    // A calculator's builder; `back` returns from it to the menu.
    using Builder = std::function<ui::Form*(std::function<void()> back)>;
    // A calculator's calculation sheet, made from one snapshot of its window.
    using SheetMaker = std::function<sheet::Sheet(const ui::State&)>;

    using Choice = Session::Choice;
    struct Options {
        // Ends the process's event loop (tests count the calls instead).
        std::function<void()> endProgram;
        Session::ChooseFile chooseFile;
        // Where the recovery file and the recent projects are kept.
        QString dataFolder;
        // Where a first save suggests the project file.
        QString projectsFolder;
    };

    explicit Shell(Options options = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Shows the menu; at the first start the last run's inputs that no
    // saved project holds are offered at once (Ctrl+Shift+T).
    void start();
    // The program's start: the menu drawn first, and only then the face of
    // the fields, the offer and `onceDrawn` (what the menu's first drawing
    // does not need).
    void startDrawingFirst(std::function<void()> onceDrawn);
    void open(const std::string& name);
    void backToMenu(const std::string& from);
    // Back from one of our own windows, down the tree toward the menu.
    void back(const std::string& from);
    void end();

    // The window with this name, or nullptr while it has not been created.
    QWidget* window(const std::string& name) const;
    ui::Form* form(const std::string& name) const;
    // The window the engineer sees.
    ui::Form* visible() const;

    Session& session() { return *session_; }
    project::Project project() const { return session_->project(); }
    const QString& file() const { return session_->file(); }
    bool unsaved() const { return session_->unsaved(); }
    void save(bool choosing) { session_->save(choosing); }
    bool openProject(const QString& path) { return session_->openProject(path); }
    void bringBack() { session_->bringBack(); }
    QString recoveryPath() const { return session_->recoveryPath(); }
    void writeRecovery() { session_->writeRecovery(); }

    void saveCase(const std::string& window);
    void projectWindow();
    void schedule(std::size_t board);
    void projectSheet(bool odt = false);

private:
    struct Entry {
        std::string name;
        Builder builder;
        ui::Form* form = nullptr;
        SheetMaker sheet; // none for the menu and our own windows
    };
    Entry* find(const std::string& name);
    // Shows the menu; whether this is the program's first showing of it.
    bool showMenu();
    void offerLastRun();
    bool isOwn(const std::string& name) const;
    void adopt(Entry& entry, ui::Form* form);
    ui::Form* ensure(const std::string& name);
    ui::Form* buildProjectWindow();
    void go(const std::string& to);
    void tell(const QString& text, bool failure = false);
    void applyWindows(const project::Project& p);
    void refreshProjectWindow(bool evenHidden = false);
    sheet::Header header() const;

    Options options_;
    std::vector<Entry> windows_; // the menu first
    std::unique_ptr<Session> session_;
    // Where each of our own windows goes back to: the calculator or menu the
    // first of them was opened from.
    std::map<std::string, std::string> returnTo_;
};
