#pragma once
// A project (工程): the header every sheet carries, the state of every window
// that has been opened, the named cases (算例) of each calculator and what a
// calculator keeps beyond its window (the load schedule its boards). Written
// as UTF-8 JSON (*.elcarta) with a format name and a format version, and read
// back all or nothing: a file that is not a project, is of a newer version or
// holds a value a window or a part cannot take is refused whole, with the
// reason.

#include "control.h"
#include "sheet.h"
#include "state.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace project {

constexpr const char* formatName = "elcarta-project";
// 2: the load schedule's rows are circuits too. A file of version 1 opens
// with every circuit cell at its default.
constexpr int formatVersion = 2;

// The lines every sheet of the project carries at its head.
using Header = sheet::Header;

struct Case {
    std::string name;
    ui::State state;
    bool operator==(const Case&) const = default;
};

// What a calculator keeps in a project beyond its window's state (the load
// schedule its boards): entries of its own at the top of the file, which the
// project carries as they are and the part itself checks on reading.
struct Part {
    QStringList keys; // its entries in the file
    // Why the entries (those of `keys` the file holds) cannot be taken, in
    // Chinese, or empty.
    std::function<QString(const QJsonObject& entries)> check;
    // Whether they hold anything the engineer typed.
    std::function<bool(const QJsonObject& entries)> holdsInput;
};
using Parts = std::vector<Part>;

struct Project {
    Header header;
    std::map<std::string, ui::State> windows;          // by window name: those that have been opened
    std::map<std::string, std::vector<Case>> cases;    // by calculator window
    QJsonObject parts;                                 // the parts' entries, by key
    bool operator==(const Project&) const = default;
};

// The table of a window by its name, or nullptr for a name no window has.
using Tables = std::function<const ui::Table*(const std::string& window)>;
// What a window itself refuses beyond its table (a reason, or empty).
using Check = std::function<std::string(const std::string& window, const ui::State& state)>;

// The project file. `cases`, when given, is what casesJson() gave for the
// project's cases: they change seldom, and a file written often (recovery)
// need not make them afresh each time.
QByteArray write(const Project& project, const QJsonObject* cases = nullptr);
QJsonObject casesJson(const std::map<std::string, std::vector<Case>>& cases);

struct Read {
    std::optional<Project> project;
    QString error; // why not, in Chinese, when there is no project
};
Read read(const QByteArray& bytes, const Tables& tables, const Check& check = {}, const Parts& parts = {});

// The recovery file: the project as it stands, which file it belongs to and
// whether it holds what that file does not.
struct Recovery {
    Project project;
    QString file;     // the project file it was opened from or saved as, or empty
    bool unsaved = false;
};
QByteArray writeRecovery(const Recovery& recovery, const QJsonObject* cases = nullptr);
std::optional<Recovery> readRecovery(const QByteArray& bytes, const Tables& tables, const Check& check = {},
                                     const Parts& parts = {});

} // namespace project
