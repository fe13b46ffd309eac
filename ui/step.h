#pragma once
// One run of a window's handler: it reads the fields it needs, writes its
// results, and keeps for each result the figures it was made from.

#include "form.h"

#include <QString>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

// One run of a handler. Reads and writes fields in order; the first failure
// ends it: later reads give 0 and later writes are skipped, so every field
// written before the failure keeps its new text and every later one its old.
class Step {
public:
    // A quiet step shows no failure and clears none (handlers that run on
    // every keystroke, where an unfinished number is part of typing).
    explicit Step(Form& form, bool quiet = false);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

    bool ok() const { return !failed_; }
    // Each reading is kept, as the number read, in the record of the next
    // field the step writes: a window passes each value through a field and
    // reads it back for the next, so a result is made from what was read
    // since the step's last write.
    double strict(std::string_view name);
    double lenient(std::string_view name);
    // A selected option is kept in the record the same way.
    bool checked(std::string_view name);
    // The row of a table a figure was looked up in, for the record.
    void lookedUp(std::string_view table, std::string_view row);

    // Writes the number with 15 significant digits. A result that cannot be
    // formed fails on the input the window's table blames for it (Blame).
    void write(std::string_view name, numeric::Num value);
    void writeText(std::string_view name, std::string_view text);
    void fail(std::string_view name, numeric::Failure failure, const QString& why = {});

private:
    void use(std::string_view name, Figure::Kind kind, std::string value);
    double read(std::string_view name, Figure::Kind kind);
    // The input a failure to form `result` lies on, and what to say there.
    std::pair<std::string, QString> blame(std::string_view result, numeric::Failure failure) const;
    RecordPtr record() const;

    Form& form_;
    bool quiet_;
    bool failed_ = false;
    std::string failedField_;
    QString why_;
    std::string by_;
    long long step_;
    std::vector<Figure> used_;
};



// What the engineer is told about a failure of this kind.
QString reasonText(numeric::Failure failure);

} // namespace ui
