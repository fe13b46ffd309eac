// libFuzzer target over the project reader: whatever the bytes, reading
// never crashes and is all or nothing; a project it accepts is written and
// read again to the same project, and the recovery file reads the same way.

#include "lighting_table.h"
#include "lightning_table.h"
#include "load_table.h"
#include "menu_table.h"
#include "project.h"
#include "schedule_file.h"
#include "trunking_table.h"

#include <cstdlib>

namespace {

const ui::Table* tableOf(const std::string& window)
{
    for (const ui::Table* t : {&menuWindow(), &load::window(), &lightning::window(), &lighting::window(), &trunking::window()})
        if (t->window.name == window)
            return t;
    return nullptr;
}

const project::Parts& parts()
{
    static const project::Parts all{load::schedulePart()};
    return all;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const project::Read read = project::read(bytes, tableOf, {}, parts());
    check(read.project.has_value() == read.error.isEmpty());
    if (read.project) {
        const project::Read again = project::read(project::write(*read.project), tableOf, {}, parts());
        check(again.project && *again.project == *read.project);
    }
    if (const auto recovery = project::readRecovery(bytes, tableOf, {}, parts())) {
        const auto again = project::readRecovery(project::writeRecovery(*recovery), tableOf, {}, parts());
        check(again && again->project == recovery->project && again->file == recovery->file);
    }
    return 0;
}
