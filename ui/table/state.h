#pragma once
// A window's state as one value: what its fields, options and lists show, and
// for every result the record of the figures it was made from. The window
// layer takes it and puts it back; sheets, project files, cases and recovery
// all use this one value. Standard C++ only.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ui {

struct Record;

// One thing a step used: a field it read (as the number it read, with 15
// significant digits), an option it found selected, or the row of a table
// it looked a figure up in.
struct Figure {
    enum class Kind { Strict, Lenient, Option, Lookup };
    std::string name;  // field or option, or the table looked in
    Kind kind = Kind::Strict;
    std::string value; // the number read; the option's caption; the row taken
    // What the field read was itself made from, when a step had written it.
    std::shared_ptr<const Record> from;

    bool operator==(const Figure& other) const;
};

// What a step wrote a result from. Records are shared, never changed after
// they are made.
struct Record {
    std::string by;  // the control whose event ran the step
    long long step = 0; // the window's count of steps when it ran
    std::vector<Figure> figures; // in the order the step used them
    int depth = 1;   // records reached through `from`, itself included

    // The figure of that name, or nullptr.
    const Figure* figure(const std::string& name) const
    {
        for (const Figure& f : figures)
            if (f.name == name)
                return &f;
        return nullptr;
    }
    bool operator==(const Record& other) const;
};
using RecordPtr = std::shared_ptr<const Record>;

// A step that failed: where and why. It stays until the same control's step
// next succeeds.
struct Failed {
    std::string by;
    long long step = 0;
    std::string field; // the field the engineer must correct
    std::string why;
    bool operator==(const Failed&) const = default;
};

struct State {
    std::map<std::string, std::string> texts;    // fields and drop-down texts; lines joined by CR LF
    std::set<std::string> checked;               // the selected options
    std::map<std::string, bool> shown;           // list boxes: visible or not
    std::map<std::string, int> current;          // list boxes: the current item, -1 for none
    std::map<std::string, std::string> captions; // buttons showing another of their captions
    std::map<std::string, RecordPtr> records;    // result fields a step wrote
    std::map<std::string, Failed> failures;      // by the control whose step failed
    long long steps = 0;

    const Record* record(const std::string& field) const
    {
        const auto it = records.find(field);
        return it == records.end() ? nullptr : it->second.get();
    }
    std::string text(const std::string& field) const
    {
        const auto it = texts.find(field);
        return it == texts.end() ? std::string() : it->second;
    }
    bool isChecked(const std::string& option) const { return checked.count(option) > 0; }
    bool operator==(const State& other) const;
};

// Deepest chain of records kept: a running total that reads itself keeps its
// history through `from`, and a chain far longer than any engineer adds up
// would only cost memory and stack.
constexpr int maxRecordDepth = 1000;

inline bool Figure::operator==(const Figure& other) const
{
    if (name != other.name || kind != other.kind || value != other.value || !from != !other.from)
        return false;
    return !from || from == other.from || *from == *other.from;
}

inline bool Record::operator==(const Record& other) const
{
    return by == other.by && step == other.step && depth == other.depth && figures == other.figures;
}

inline bool State::operator==(const State& other) const
{
    if (texts != other.texts || checked != other.checked || shown != other.shown || current != other.current ||
        captions != other.captions || failures != other.failures || steps != other.steps ||
        records.size() != other.records.size())
        return false;
    for (const auto& [field, record] : records) {
        const auto it = other.records.find(field);
        if (it == other.records.end() || !record != !it->second || (record && *record != *it->second))
            return false;
    }
    return true;
}

} // namespace ui
