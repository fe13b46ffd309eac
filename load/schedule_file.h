#pragma once
// The load schedule in a project file: its boards and the one the window
// shows, as entries of the file of their own ("boards", "currentBoard").

#include "project.h"
#include "schedule.h"

#include <QJsonObject>
#include <cstddef>
#include <vector>

namespace load {

struct Schedule {
    std::vector<Board> boards;
    std::size_t current = 0; // the board the schedule window shows
    bool operator==(const Schedule&) const = default;
};

// What the project layer needs to carry and check the schedule.
project::Part schedulePart();

QJsonObject entries(const Schedule& schedule);
// The schedule of entries that schedulePart()'s check took; an empty one
// where there are none.
Schedule scheduleFrom(const QJsonObject& entries);

} // namespace load
