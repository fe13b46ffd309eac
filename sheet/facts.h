#pragma once
// What a calculation sheet knows of its window: the window's table and one
// snapshot of its state. A sheet states only what the snapshot holds: each
// result with the figures its step used, each input as it was used with the
// window's present text beside it where that differs, and why a result may
// no longer match the window.

#include "control.h"
#include "state.h"
#include "sheet.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sheet {

class Facts {
public:
    Facts(const ui::Table& table, const ui::State& state) : table_(table), state_(state) {}

    const ui::Table& table() const { return table_; }
    const ui::State& state() const { return state_; }

    // The window's text of a field now.
    QString text(const std::string& field) const;
    // A result field that still shows the text it starts with (the symbol
    // "Td" before the first calculation) holds no result.
    bool placeholder(const std::string& field) const;
    const ui::Record* record(const std::string& result) const { return state_.record(result); }
    // The figure `name` that `result`'s step used, with 15 significant digits
    // (or an option's caption), or none.
    std::optional<QString> used(const std::string& result, const std::string& name) const;
    // The option of the group of `member` that `result`'s step found
    // selected, or else the one selected now.
    const ui::Control* optionUsed(const std::string& result, const std::string& member) const;
    const ui::Control* optionNow(const std::string& member) const;
    // The value an option stands for, from the table.
    double optionValue(const ui::Control* option) const { return option && option->value ? *option->value : 0; }

    // How a field or control is called on the sheet: its symbol, else its
    // term, else its label's caption.
    QString nameOf(const std::string& control) const;

    // "symbol = expression = figures = value unit": the figures the step used,
    // put into `pattern` at %1, %2, … in the order of `figures`, and the
    // field's text as the value. A result typed by hand is stated as an
    // input value (or, no number, as notANumber()), an empty one as 未计算.
    QString equation(const std::string& result, const QString& symbol, const QString& expression,
                     const QString& pattern, const std::vector<std::string>& figures, const QString& unit = {}) const;
    // A result that is no arithmetic (a value taken from an option): "symbol =
    // value unit（why）", an input value, or 未计算.
    QString value(const std::string& result, const QString& symbol, const QString& unit, const QString& why) const;
    // The record of the field whose figure `result`'s step read as `name`:
    // what that figure was itself made from, or nullptr.
    const ui::Record* madeFrom(const std::string& result, const std::string& name) const;
    // The same with figures the sheet has already chosen (texts).
    static QString equationOf(const QString& symbol, const QString& expression, const QString& pattern,
                              const QStringList& figures, const QString& value, const QString& unit = {});

    // What the engineer must know beside a result: typed by hand (输入值);
    // the last calculation failed after it was made; the window now shows
    // other inputs than it was made from. Empty when none applies.
    QString remark(const std::string& result) const;
    // Only the part of the remark about a failed calculation.
    QString failureRemark(const std::string& result) const;
    // The failures not yet mended by a successful step, one line each.
    QStringList failures() const;

    // The conditions: every input field and option group of the table in
    // table order, as used, with the present text beside any that differs.
    // Results: every result field with its text and remark. Fields named in
    // `skip` are left to the sheet's own tables.
    std::vector<QStringList> conditions(const std::vector<std::string>& skip = {}) const;
    std::vector<QStringList> results(const std::vector<std::string>& skip = {}) const;
    // The columns of both: 项目, 符号, 数值, 单位, 说明.
    static QStringList tableHeader();

    // Adds the results table and, below it, every pending failure.
    void addResults(Section& section, const std::vector<std::string>& skip = {}) const;
    // Adds the remark of a result as a note of its own, if it has one beyond
    // being an input value (which its line already says).
    void addRemark(Section& section, const std::string& result) const;
    // Adds the equation of a result and its remark, if any, on the next line.
    void addEquation(Section& section, const std::string& result, const QString& symbol, const QString& expression,
                     const QString& pattern, const std::vector<std::string>& figures, const QString& unit = {}) const;

private:
    // Where a used figure and the window differ: the window's text, or none.
    std::optional<QString> differs(const ui::Figure& figure) const;

    const ui::Table& table_;
    const ui::State& state_;
};

// A field's text that is no number, as the sheet states it instead of a
// figure (no unit, no equation): "窗口中为“x7.7”，不是一个数"; empty for a
// number or an empty field.
QString notANumber(const QString& fieldText);

QString shown(double value);    // 15 significant digits
// A field's text as the window reads it leniently, with 15 significant digits
// ("7m" → "7"), for a case's name.
std::string asRead(const ui::State& state, const std::string& field);
QString shown(const std::string& text);
// A figure as it stands in an equation: a signed one in brackets.
QString bracketed(const QString& figure);

} // namespace sheet
