#pragma once
// The project window `gc` (工程): the header every sheet carries, the project
// file and whether it holds everything typed, the cases of each calculator,
// the boards of the load schedule and the recent projects.

#include "project.h"
#include "project_table.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace ui { class Form; }

namespace project {

// One case as the window lists it: which calculator, which of its cases.
struct CaseRef {
    std::string window;
    std::size_t index = 0;
};

struct WindowHooks {
    std::function<void()> back, newProject, openProject, saveProject, saveAs, sheet;
    std::function<void(const QString& file)> openRecent;
    std::function<void(const CaseRef&)> loadCase, deleteCase;
    std::function<void(const CaseRef&, const std::string& name)> renameCase;
    std::function<void(const Header&)> headerEdited;
    std::function<void(std::size_t board)> openBoard;
};

ui::Form* buildWindow(WindowHooks hooks);

// What the window shows of the project; none of it counts as an edit.
struct Shown {
    const Project* project = nullptr;
    QString file;     // empty: not saved yet
    bool unsaved = false;
    QStringList recent;
    QStringList boards; // the load schedule's boards by name
    std::function<QString(const std::string& window)> captionOf; // 负荷计算 for fhjs
};
void show(ui::Form& form, const Shown& shown);
// The cases in the order the window lists them.
std::vector<CaseRef> listed(const Project& project, const std::vector<std::string>& windows);

} // namespace project
