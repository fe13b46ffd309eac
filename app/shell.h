#pragma once
// The program's windows and the engineer's work in them: the menu at start,
// each window built on its first use, show before hide, exactly one window
// visible at any moment; the project they belong to, saved and opened on
// request; and the recovery file that keeps what was typed through any end
// of the program.

#include "project.h"
#include "schedule_file.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
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

    enum class Choice { Save, Open };
    struct Options {
        // Ends the process's event loop (tests count the calls instead).
        std::function<void()> endProgram;
        // The platform's file dialog, asked only when the engineer chooses a
        // file: the path chosen, or empty when none was.
        std::function<QString(Choice, QWidget* parent, const QString& suggested)> chooseFile;
        // Where the recovery file and the recent projects are kept.
        QString dataFolder;
        // Where a first save suggests the project file.
        QString projectsFolder;
    };

    explicit Shell(Options options = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    void start();
    void open(const std::string& name);
    void backToMenu(const std::string& from);
    void end();

    // The window with this name, or nullptr while it has not been created.
    QWidget* window(const std::string& name) const;
    ui::Form* form(const std::string& name) const;
    // The window the engineer sees.
    ui::Form* visible() const;

    // The project as it stands: header, every opened window, cases, boards.
    project::Project project() const;
    const QString& file() const { return file_; }
    bool unsaved() const { return unsaved_; }

    // What the keys and the project window do.
    void save(bool choosing);
    bool openProject(const QString& path);
    void chooseAndOpen();
    void newProject();
    void bringBack();
    void saveCase(const std::string& window);
    void projectWindow();
    void schedule(std::size_t board);
    void projectSheet(bool odt = false);

    // The recovery file, and the recent projects' list.
    QString recoveryPath() const;
    void writeRecovery();
    void writeRecoverySoon();

private:
    struct Entry {
        std::string name;
        Builder builder;
        ui::Form* form = nullptr;
        SheetMaker sheet; // none for the menu and the project windows
    };
    Entry* find(const std::string& name);
    void adopt(Entry& entry, ui::Form* form);
    ui::Form* ensure(const std::string& name);
    void go(const std::string& to);
    void tell(const QString& text);
    void changed();
    void apply(const project::Project& p);
    void refreshProjectWindow();
    bool writeProject(const QString& path);
    void remember(const QString& path);
    QStringList recent() const;
    sheet::Header header() const;

    Options options_;
    std::vector<Entry> windows_; // the menu first
    project::Project project_;   // header and cases; the windows hold their own state
    load::Schedule schedule_;    // the load schedule's boards
    QString file_;
    bool unsaved_ = false;
    bool applying_ = false;
    std::optional<project::Recovery> offer_; // what Ctrl+Shift+T brings back
    QTimer recoveryTimer_;
    std::map<std::string, std::string> returnTo_;
    // The cases as the files write them, made again only when they change.
    mutable QJsonObject casesText_;
    mutable bool casesChanged_ = true;
    const QJsonObject& casesText() const; // the project and schedule windows go back where they came from
};
