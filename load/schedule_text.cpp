#include "schedule_text.h"

#include "schedule_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace load {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Cells of a spreadsheet's clipboard text, line by line.
std::vector<std::vector<std::string>> records(std::string_view text)
{
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    std::vector<std::vector<std::string>> out;
    std::vector<std::string> record;
    std::string cell;
    bool atCellStart = true;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (atCellStart && c == '"') {
            // A quoted cell: "" is one quote; text after the closing quote is kept as typed.
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i++];
            }
            atCellStart = false;
            continue;
        }
        atCellStart = false;
        if (c == '\t') {
            record.push_back(std::move(cell));
            cell.clear();
            atCellStart = true;
            ++i;
        } else if (c == '\n' || c == '\r') {
            record.push_back(std::move(cell));
            cell.clear();
            out.push_back(std::move(record));
            record.clear();
            atCellStart = true;
            i += c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        } else {
            cell += c;
            ++i;
        }
    }
    if (!atCellStart || !record.empty()) {
        record.push_back(std::move(cell));
        out.push_back(std::move(record));
    }
    return out;
}

bool isBlankRecord(const std::vector<std::string>& cells)
{
    for (const std::string& c : cells)
        if (!isBlank(c))
            return false;
    return true;
}

// Text in each of the Pe, Kx and cosφ columns, none of it a number, and a
// column heading's word somewhere.
bool looksLikeHeader(const std::vector<std::string>& cells)
{
    if (cells.size() < 4)
        return false;
    for (std::size_t c = 1; c <= 3; ++c)
        if (isBlank(cells[c]) || readCell(cells[c]).ok())
            return false;
    static const char* const words[] = {"名称", "设备", "容量", "负荷", "用电", "需要系数", "功率因数", "相数",
                                        "pe",   "kx",   "cos"};
    for (const std::string& cell : cells) {
        const std::string lower = lowerAscii(cell);
        for (const char* w : words)
            if (lower.find(w) != std::string::npos)
                return true;
    }
    return false;
}

// A row's cells in the window's order; the columns of a load alone where its
// circuit cells are all blank.
std::vector<std::string> cellsOf(const ScheduleRow& row)
{
    std::vector<std::string> cells{row.name,   row.pe,     row.kx,     row.cos,    row.phases, row.board,  row.number,
                                   row.cable,  row.method, row.length, row.ambient, row.circuits, row.breaker};
    while (cells.size() > 5 && cells.back().empty())
        cells.pop_back();
    return cells;
}

void fromCells(ScheduleRow& row, std::vector<std::string>& cells)
{
    std::string* into[] = {&row.name,   &row.pe,     &row.kx,     &row.cos,     &row.phases,   &row.board,  &row.number,
                           &row.cable,  &row.method, &row.length, &row.ambient, &row.circuits, &row.breaker};
    for (std::size_t c = 0; c < std::size(into); ++c)
        *into[c] = std::move(cells[c]);
}

constexpr std::size_t readColumns = 13;

const char* const columnHeadings[] = {"用电设备组", "设备容量Pe(kW)", "需要系数Kx", "功率因数cosφ", "相数",
                                      "子配电箱",   "回路编号",       "线缆",       "敷设方式",     "长度(m)",
                                      "环境温度(℃)", "并列回路数",     "指定In(A)"};

void appendTsvCell(std::string& out, const std::string& cell)
{
    if (cell.find_first_of("\t\r\n\"") == std::string::npos && !cell.starts_with(byteOrderMark)) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendEscaped(std::string& out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "<br>";
            break;
        case '\n': out += "<br>"; break;
        default: out += text[i];
        }
    }
}

std::string shownOrNone(const std::optional<double>& value, int decimals)
{
    return value ? shown(*value, decimals) : std::string();
}

} // namespace

std::string_view trimmed(std::string_view text) { return numeric::trimSpaces(text); }

bool isBlank(std::string_view text) { return trimmed(text).empty(); }

numeric::Num readCell(std::string_view text) { return numeric::parseStrict(text, numeric::Forms::Wide); }

std::optional<double> readFigure(std::string_view text, Cell cell, const char* name, Range range,
                                 std::vector<Problem>& problems)
{
    const auto problem = [&](const char* what) {
        problems.push_back({cell, std::string(name) + what});
        return std::nullopt;
    };
    if (isBlank(text))
        return problem("未填写");
    const numeric::Num n = readCell(text);
    if (!n)
        return problem(n.failure() == numeric::Failure::Overflow ? "超出可计算的范围" : "不是一个数");
    const double v = n.value();
    switch (range) {
    case Range::Any: break;
    case Range::NotNegative:
        if (v < 0)
            return problem("不能为负");
        break;
    case Range::AboveZero:
        if (v <= 0)
            return problem("须大于 0");
        break;
    case Range::ZeroToOne:
        if (v < 0 || v > 1)
            return problem("须在 0 与 1 之间");
        break;
    case Range::AboveZeroToOne:
        if (v <= 0 || v > 1)
            return problem("须大于 0 且不大于 1");
        break;
    case Range::WholeFromOne:
        if (v < 1 || v != std::floor(v))
            return problem("须为不小于 1 的整数");
        break;
    }
    return v;
}

std::optional<Phases> readPhases(std::string_view text)
{
    const std::string_view typed = trimmed(text);
    if (typed.empty())
        return Phases::Three;
    const std::string t = lowerAscii(numeric::asciiForms(typed));
    if ( t == "三相" || t == "三" || t == "3" || t == "3p" || t == "3相")
        return Phases::Three;
    if (t == "单相" || t == "单" || t == "1" || t == "1p" || t == "1相")
        return Phases::Single;
    return std::nullopt;
}

std::string shown(double value, int decimals) { return numeric::formatDecimals(value, decimals); }

namespace {

const std::string& typedCell(const ScheduleRow& row, int c)
{
    const std::string* cells[column::inputs] = {&row.name,   &row.pe,     &row.kx,      &row.cos,      &row.phases,
                                                &row.board,  &row.number, &row.cable,   &row.method,   &row.length,
                                                &row.ambient, &row.circuits, &row.breaker};
    return *cells[c];
}

std::string defaultOf(const ScheduleRow& row, std::size_t index, const RowResult& r, int c)
{
    switch (c) {
    case column::Number: return r.number.empty() ? defaultNumber(index) : r.number;
    case column::Cable: return defaultCable;
    case column::Method: {
        if (r.circuit)
            return circuits::methodInfo(r.circuit->cable.method).code;
        const std::string_view typed = trimmed(row.cable);
        if (const auto kind = circuits::cableByCode(typed.empty() ? std::string_view(defaultCable) : typed))
            return circuits::methodInfo(circuits::cableInfo(*kind).usualMethod).code;
        return {};
    }
    case column::Ambient: return numeric::formatNumber(circuits::defaultAmbient);
    case column::Circuits: return "1";
    default: return {};
    }
}

std::string checkOf(const RowResult& r)
{
    std::string why;
    for (const auto* list : {&r.problems, &r.circuitProblems})
        for (const Problem& p : *list)
            why += (why.empty() ? "" : "；") + p.reason;
    if (!why.empty())
        return "未计算：" + why;
    return r.circuit ? r.circuit->check : r.circuitNote;
}

} // namespace

std::string shownCell(const ScheduleRow& row, std::size_t index, const RowResult* r, int c)
{
    if (column::isInput(c)) {
        const std::string& typed = typedCell(row, c);
        return isBlank(typed) && r && !r->blank ? defaultOf(row, index, *r, c) : typed;
    }
    if (!r || r->blank)
        return {};
    if (c == column::Check)
        return checkOf(*r);
    if (!r->problems.empty())
        return {};
    switch (c) {
    case column::Tan: return r->tan ? shown(*r->tan, 3) : std::string();
    case column::Pjs: return shown(r->load.p, 2);
    case column::Qjs: return shown(r->load.q, 2);
    case column::Sjs: return shown(r->load.s, 2);
    case column::Ijs: return shown(r->load.i, 1);
    default: break;
    }
    if (!r->circuit)
        return {};
    const circuits::CircuitFigures& f = *r->circuit;
    switch (c) {
    case column::In: return numeric::formatNumber(f.breaker.in);
    case column::Designation: return f.cable.designation;
    case column::Iz: return shown(f.cable.capacity.iz, 2);
    case column::Drop: return f.drop ? shown(f.drop->own, 2) : std::string();
    case column::DropEnd: return f.drop && f.drop->originKnown ? shown(f.drop->end, 2) : std::string();
    case column::Ik3: return f.farEnd ? shown(f.farEnd->ik3, 2) : std::string();
    case column::Id: return f.earthFault ? shown(f.earthFault->id, 2) : std::string();
    default: return {};
    }
}

std::string rowNote(std::size_t row, const Problem& problem)
{
    return "第 " + std::to_string(row + 1) + " 行：" + problem.reason;
}

std::vector<ScheduleRow> pasteRows(std::string_view text)
{
    std::vector<ScheduleRow> rows;
    bool first = true;
    for (std::vector<std::string>& cells : records(text)) {
        cells.resize(readColumns); // the columns after the circuit's are not read
        if (isBlankRecord(cells))
            continue;
        if (first) {
            first = false;
            if (looksLikeHeader(cells))
                continue;
        }
        ScheduleRow row;
        fromCells(row, cells);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string copyTsv(const std::vector<ScheduleRow>& rows)
{
    std::string out;
    for (const ScheduleRow& row : rows) {
        const std::vector<std::string> cells = cellsOf(row);
        if (isBlankRecord(cells))
            continue;
        if (looksLikeHeader(cells)) { // it would be skipped as the header: give it one to skip
            for (std::size_t c = 0; c < 5; ++c) {
                out += c > 0 ? "\t" : "";
                out += columnHeadings[c];
            }
            out += "\r\n";
        }
        break;
    }
    for (const ScheduleRow& row : rows) {
        const std::vector<std::string> cells = cellsOf(row);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0)
                out += '\t';
            appendTsvCell(out, cells[c]);
        }
        out += "\r\n";
    }
    return out;
}

std::string copyHtml(const std::vector<ScheduleRow>& rows, const std::vector<RowResult>& results)
{
    std::string out = "<meta charset=\"utf-8\"><table>\n<tr>";
    for (std::size_t h = 0; h < 5; ++h) {
        const char* heading = columnHeadings[h];
        out += "<th>";
        out += heading;
        out += "</th>";
    }
    out += "<th>tanφ</th><th>Pjs(kW)</th><th>Qjs(kvar)</th><th>Sjs(kVA)</th><th>Ijs(A)</th>";
    for (int c = column::Number; c < column::Count; ++c)
        if (c < column::Tan || c > column::Ijs)
            out += std::string("<th>") + columnOf(c).heading + "</th>";
    out += "</tr>\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ScheduleRow& row = rows[i];
        const RowResult* result = i < results.size() && !results[i].blank && results[i].problems.empty()
            ? &results[i]
            : nullptr;
        const bool boardRow = !isBlank(row.board);
        std::vector<std::string> cells;
        cells.push_back(boardRow && isBlank(row.name) ? std::string(trimmed(row.board)) : row.name);
        if (boardRow) {
            cells.push_back(result ? shownOrNone(result->pe, 2) : std::string());
            cells.emplace_back();
            cells.push_back(result ? shownOrNone(result->cos, 3) : std::string());
        } else {
            cells.insert(cells.end(), {row.pe, row.kx, row.cos});
        }
        const std::optional<Phases> phases = readPhases(row.phases);
        cells.push_back(phases ? (*phases == Phases::Three ? "三相" : "单相") : row.phases);
        if (result) {
            cells.push_back(shownOrNone(result->tan, 3));
            cells.push_back(shown(result->load.p, 2));
            cells.push_back(shown(result->load.q, 2));
            cells.push_back(shown(result->load.s, 2));
            cells.push_back(shown(result->load.i, 1));
        } else {
            cells.resize(10);
        }
        const RowResult* any = i < results.size() ? &results[i] : nullptr;
        for (int c = column::Number; c < column::Count; ++c)
            if (c < column::Tan || c > column::Ijs)
                cells.push_back(shownCell(row, i, any, c));
        out += "<tr>";
        for (const std::string& cell : cells) {
            out += "<td>";
            appendEscaped(out, cell);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
    return out;
}

} // namespace load
