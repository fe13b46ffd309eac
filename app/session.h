#pragma once
// The engineer's work as a project: its header, its cases, the load
// schedule's boards, the project file it belongs to and whether it holds what
// that file does not. Saved and opened on request, and kept in the recovery
// file through any end of the program: within a second of a change, never on
// the path of the keystroke itself.

#include "clock.h"
#include "project.h"
#include "schedule_file.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QWidget;

class Session {
public:
    enum class Choice { Save, Open };
    // The platform's file dialog, asked only when the engineer chooses a
    // file: the path chosen, or empty when none was.
    using ChooseFile = std::function<QString(Choice, QWidget* parent, const QString& suggested)>;

    // What the session needs of the windows.
    struct Windows {
        // Every opened calculator's state, by window.
        std::function<std::map<std::string, ui::State>()> states;
        // Puts every calculator and the schedule back as the project has them.
        std::function<void(const project::Project&)> apply;
        // A note in the window the engineer sees: a confirmation, or a failure.
        std::function<void(const QString&, bool failure)> tell;
        // The window a file dialog belongs to.
        std::function<QWidget*()> parent;
        // The project window shows the project afresh.
        std::function<void()> refresh;
    };

    Session(Windows windows, ChooseFile chooseFile, QString dataFolder, QString projectsFolder);

    // The project as it stands: header, every opened window, cases, boards.
    project::Project project() const;
    // The header and the cases alone, without the windows' states.
    const project::Project& headerAndCases() const { return project_; }
    project::Header& header() { return project_.header; }
    const project::Header& header() const { return project_.header; }
    std::map<std::string, std::vector<project::Case>>& cases() { return project_.cases; }
    load::Schedule& schedule() { return schedule_; }
    const QString& file() const { return file_; }
    bool unsaved() const { return unsaved_; }

    // After the last run: its unsaved inputs wait for Ctrl+Shift+T. True when
    // there are such.
    bool offerLastRun();

    void save(bool choosing);
    bool openProject(const QString& path);
    void chooseAndOpen();
    void newProject();
    void bringBack();
    // Keeps a calculator's state as a case named from its inputs; the name.
    QString saveCase(const std::string& window, const ui::State& state, const std::string& name);
    // The cases changed in place (renamed, deleted).
    void casesEdited();

    // Something the engineer typed or chose changed (not while the windows
    // are being put back).
    void changed();
    // Another window was shown: the recovery file is written once it is drawn.
    void windowChanged();
    bool applying() const { return applying_; }

    QString recoveryPath() const;
    void writeRecovery();
    QStringList recent() const;

private:
    void apply(const project::Project& p);
    bool writeProject(const QString& path);
    void remember(const QString& path);
    bool holdsInput(const project::Project& p) const;
    void keepForBringingBack();
    const QJsonObject& casesJson() const;

    Windows windows_;
    ChooseFile chooseFile_;
    QString dataFolder_, projectsFolder_;
    project::Project project_; // header and cases; the windows hold their own state
    load::Schedule schedule_;
    QString file_;
    bool unsaved_ = false;
    bool applying_ = false;
    std::optional<project::Recovery> offer_; // what Ctrl+Shift+T brings back
    ui::clock::Timer recoveryTimer_;
    bool writeWaiting_ = false; // due, and waiting for the windows to be drawn
    // The cases as the files hold them, made again only when they change.
    mutable QJsonObject casesJson_;
    mutable bool casesChanged_ = true;
};
