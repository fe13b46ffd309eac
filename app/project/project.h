#pragma once
// A project (工程): the header every sheet carries, the state of every window
// that has been opened, the named cases (算例) of each calculator and the load
// schedules of its boards. Written as UTF-8 JSON (*.elcarta) with a format
// name and a format version, and read back all or nothing: a file that is not
// a project, is of a newer version or holds a value a window cannot take is
// refused whole, with the reason.

#include "app/ui/control.h"
#include "app/ui/state.h"
#include "load/schedule.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace project {

constexpr const char* formatName = "elcarta-project";
constexpr int formatVersion = 1;

struct Header {
    std::string project;      // 工程名称
    std::string part;         // 子项
    std::string calculatedBy; // 计算
    std::string checkedBy;    // 校对
    bool operator==(const Header&) const = default;
};

struct Case {
    std::string name;
    ui::State state;
    bool operator==(const Case&) const = default;
};

struct Project {
    Header header;
    std::map<std::string, ui::State> windows;          // by window name: those that have been opened
    std::map<std::string, std::vector<Case>> cases;    // by calculator window
    std::vector<load::Board> boards;                   // the load schedules, one per board
    std::size_t currentBoard = 0;                      // the board the schedule window shows
    bool operator==(const Project&) const = default;
};

// The table of a window by its name, or nullptr for a name no window has.
using Tables = std::function<const ui::Table*(const std::string& window)>;
// What a window itself refuses beyond its table (a reason, or empty).
using Check = std::function<std::string(const std::string& window, const ui::State& state)>;

// The project file. `cases`, when given, is what casesJson() gave for the
// project's cases: they change seldom, and a file written often (recovery)
// need not write them afresh each time.
QByteArray write(const Project& project, const QByteArray* cases = nullptr);
QByteArray casesJson(const std::map<std::string, std::vector<Case>>& cases);

struct Read {
    std::optional<Project> project;
    QString error; // why not, in Chinese, when there is no project
};
Read read(const QByteArray& bytes, const Tables& tables, const Check& check = {});

// The recovery file: the project as it stands, which file it belongs to and
// whether it holds what that file does not.
struct Recovery {
    Project project;
    QString file;     // the project file it was opened from or saved as, or empty
    bool unsaved = false;
};
QByteArray writeRecovery(const Recovery& recovery, const QByteArray* cases = nullptr);
std::optional<Recovery> readRecovery(const QByteArray& bytes, const Tables& tables, const Check& check = {});

} // namespace project
