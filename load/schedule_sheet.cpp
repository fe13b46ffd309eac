#include "schedule_sheet.h"

#include "schedule_sheet_parts.h"
#include "sheet_figures.h"

#include "convert.h"
#include "facts.h"
#include "schedule_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

using numeric::Num;
using sheet::Facts;
using namespace load::figures;
using namespace load::sheetparts;

namespace load {

namespace {

// Boards of up to this many rows counted are worked out row by row, and their
// sums written out term by term; a longer one gives a few rows as examples
// and its sums as the sums of the table's columns.
constexpr std::size_t fewRows = 12;
constexpr std::size_t examples = 3;

// The constants of the schedule's currents, computed as it computes them.
const double threePhaseKv = std::sqrt(3.0) * 0.38;
const double singlePhaseKv = 0.22;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString boardName(const Board& board)
{
    const std::string_view name = trimmed(board.name);
    return name.empty() ? QStringLiteral("（未命名）") : qs(name);
}

// 用电设备组 of a row; a row standing for another board says so.
QString groupName(const ScheduleRow& row)
{
    const QString name = qs(trimmed(row.name));
    if (isBlank(row.board))
        return name;
    const QString sub = QStringLiteral("配电箱 %1（按其同时系数后的计算负荷）").arg(qs(trimmed(row.board)));
    return name.isEmpty() ? sub : name + QStringLiteral("：") + sub;
}

QString phasesText(Phases phases) { return phases == Phases::Single ? QStringLiteral("单相") : QStringLiteral("三相"); }

bool counted(const RowResult& r) { return !r.blank && r.problems.empty(); }

// ---- 一、计算条件

// A board's cell as read, or as typed when it cannot be read, with its problems.
QStringList condition(const QString& item, const QString& symbol, const std::string& text, const QString& unit,
                      const BoardResult& result, Cell cell, const QString& blankMeans = {})
{
    QString value;
    if (isBlank(text)) {
        value = blankMeans.isEmpty() ? QStringLiteral("未填写") : blankMeans;
    } else {
        const Num n = readCell(text);
        value = n ? exact(n.value()) : qs(trimmed(text));
    }
    return {item, symbol, value, unit, reasonsOf(result.problems, {cell})};
}

void conditions(sheet::Sheet& sheet, const Board& board, const BoardResult& result)
{
    std::vector<double> series = board.series;
    std::sort(series.begin(), series.end(), [](double a, double b) {
        return std::isfinite(a) && (!std::isfinite(b) || a < b);
    });
    QStringList ratings;
    for (const double s : series)
        ratings << (std::isfinite(s) ? exact(s) : QStringLiteral("无效数值"));

    std::vector<QStringList> rows;
    rows.push_back({QStringLiteral("配电箱"), {}, boardName(board), {}, {}});
    rows.push_back(condition(QStringLiteral("有功同时系数"), QStringLiteral("KΣp"), board.kp, {}, result, Cell::Kp));
    rows.push_back(condition(QStringLiteral("无功同时系数"), QStringLiteral("KΣq"), board.kq, {}, result, Cell::Kq));
    rows.push_back(condition(QStringLiteral("补偿后的目标功率因数"), QStringLiteral("cosφ₂"), board.cosTarget, {},
                             result, Cell::CosTarget));
    rows.push_back(condition(QStringLiteral("实装补偿容量"), QStringLiteral("Qc"), board.installedQc,
                             QStringLiteral("kvar"), result, Cell::InstalledQc, QStringLiteral("按需要值")));
    rows.push_back(condition(QStringLiteral("变压器负荷率上限"), QStringLiteral("βmax"), board.betaMax, {}, result,
                             Cell::BetaMax));
    rows.push_back(condition(QStringLiteral("变压器台数"), QStringLiteral("n"), board.transformers,
                             QStringLiteral("台"), result, Cell::Transformers));
    rows.push_back({QStringLiteral("变压器容量系列"), QStringLiteral("Sn"),
                    ratings.isEmpty() ? QStringLiteral("（空）") : ratings.join(QStringLiteral("、")),
                    QStringLiteral("kVA"), reasonsOf(result.problems, {Cell::Series})});
    sheet::Section& s = sheet.section(QStringLiteral("一、计算条件"));
    s.table({"项目", "符号", "数值", "单位", "说明"}, rows);
    if (!result.problems.empty()) {
        QStringList lines{QStringLiteral("本配电箱的下列数据有错误，用到它们的各步及其后各步未计算（见各节）：")};
        for (const Problem& p : result.problems)
            lines << qs(p.reason);
        s.text(lines.join('\n'));
    }
}

// ---- 二、负荷计算表

QStringList tableRow(const ScheduleRow& row, std::size_t index, const RowResult& r)
{
    const QString number = QString::number(index + 1);
    const bool boardRow = !isBlank(row.board);
    if (!counted(r)) {
        QStringList reasons;
        for (const Problem& p : r.problems)
            reasons << qs(p.reason);
        const auto typed = [&](const std::string& text) { return boardRow ? QString() : qs(trimmed(text)); };
        return {number, groupName(row), typed(row.pe), typed(row.kx), typed(row.cos), {}, qs(trimmed(row.phases)),
                {}, {}, {}, {}, QStringLiteral("未计入：") + reasons.join(QStringLiteral("；"))};
    }
    const Load& l = r.load;
    const QString none = QStringLiteral("—");
    return {number,
            groupName(row),
            r.pe ? rounded(*r.pe, 2) : none,
            boardRow || !r.kx ? none : factor(*r.kx),
            r.cos ? (boardRow ? rounded(*r.cos, 3) : factor(*r.cos)) : none,
            r.tan ? rounded(*r.tan, 3) : none,
            phasesText(r.phases),
            rounded(l.p, 2),
            rounded(l.q, 2),
            rounded(l.s, 2),
            rounded(l.i, 1),
            {}};
}

void scheduleTable(sheet::Sheet& sheet, const Board& board, const BoardResult& result)
{
    sheet::Section& s = sheet.section(QStringLiteral("二、负荷计算表"));
    std::vector<QStringList> rows;
    for (std::size_t i = 0; i < board.rows.size() && i < result.rows.size(); ++i)
        if (!result.rows[i].blank)
            rows.push_back(tableRow(board.rows[i], i, result.rows[i]));
    if (const std::optional<Totals>& t = result.totals) {
        rows.push_back({{}, QStringLiteral("合计"), rounded(t->installed, 2), {}, {}, {}, {}, rounded(t->sumP, 2),
                        rounded(t->sumQ, 2), {}, {}, QStringLiteral("ΣPe、ΣPjs,i、ΣQjs,i")});
        const Load& l = t->load;
        rows.push_back({{}, QStringLiteral("乘同时系数后"), {}, {}, l.cos ? rounded(*l.cos, 3) : QString(),
                        t->tan ? rounded(*t->tan, 3) : QString(), QStringLiteral("三相"), rounded(l.p, 2),
                        rounded(l.q, 2), rounded(l.s, 2), rounded(l.i, 1),
                        QStringLiteral("KΣp %1，KΣq %2").arg(exact(t->kp), exact(t->kq))});
        if (const std::optional<Compensation>& c = result.compensation) {
            const Load& a = c->load;
            rows.push_back({{}, QStringLiteral("无功补偿后"), {}, {}, a.cos ? rounded(*a.cos, 3) : QString(), {},
                            QStringLiteral("三相"), rounded(a.p, 2), rounded(a.q, 2), rounded(a.s, 2),
                            rounded(a.i, 1), QStringLiteral("Qc %1 kvar").arg(rounded(c->used, 2))});
        }
    } else {
        rows.push_back({{}, QStringLiteral("合计"), {}, {}, {}, {}, {}, {}, {}, {}, {}, QStringLiteral("无法计算，见下")});
    }
    s.table({"序号", "用电设备组", "设备容量Pe(kW)", "需要系数Kx", "功率因数cosφ", "tanφ", "相数", "Pjs(kW)",
             "Qjs(kvar)", "Sjs(kVA)", "Ijs(A)", "备注"},
            rows);
    s.text(QStringLiteral("注：表中数值为四舍五入后的值（kW、kvar、kVA 取两位小数，A 取一位小数，Kx、cosφ、tanφ 取两至三位小数）；"
                          "下文各式均以计算所用的全部位数（15 位有效数字）列出。单相用电设备组按均匀分配于三相计入合计，"
                          "其电流按单相 220 V 计。"));
    if (!result.excluded.empty()) {
        QStringList lines{QStringLiteral("下列各行有错误，未计入合计：")};
        for (const std::size_t row : result.excluded)
            for (const Problem& p : result.rows[row].problems)
                lines << qs(rowNote(row, p));
        s.text(lines.join('\n'));
    }
}

// ---- 三、计算方法及公式

// The row's formulas with the figures it was worked out from.
void rowFormulas(sheet::Section& s, const ScheduleRow& row, std::size_t index, const RowResult& r)
{
    const Load& l = r.load;
    const QString name = groupName(row);
    s.text(QStringLiteral("第 %1 行%2（%3）：").arg(index + 1).arg(name.isEmpty() ? QString() : " " + name,
                                                                   phasesText(r.phases)));
    const QString p = fig(l.p), q = fig(l.q), sj = fig(l.s);
    if (isBlank(row.board)) {
        const QString cos = exact(*r.cos);
        s.formula(equation("Pjs", "Kx × Pe", "%1 × %2", {exact(*r.kx), exact(*r.pe)}, l.p, "kW"));
        s.formula(equation("tanφ", "√(1 − cos²φ) / cosφ", "√(1 − %1²) / %1", {cos}, *r.tan, {}));
        s.formula(equation("Qjs", "Pjs × tanφ", "%1 × %2", {p, fig(*r.tan)}, l.q, "kvar"));
    } else {
        s.text(QStringLiteral("该行为配电箱 %1 乘其同时系数后的计算负荷：Pjs 为 %2 kW，Qjs 为 %3 kvar，"
                              "设备容量取该配电箱的 ΣPe（%4 kW），见该配电箱的计算书。")
                   .arg(qs(trimmed(row.board)), p, q, r.pe ? fig(*r.pe) : QStringLiteral("—")));
        if (r.tan)
            s.formula(equation("tanφ", "Qjs / Pjs", "%1 / %2", {q, p}, *r.tan, {}));
    }
    s.formula(equation("Sjs", "√(Pjs² + Qjs²)", "√(%1² + %2²)", {p, q}, l.s, "kVA"));
    if (!isBlank(row.board) && r.cos)
        s.formula(equation("cosφ", "Pjs / Sjs", "%1 / %2", {p, sj}, *r.cos, {}));
    if (r.phases == Phases::Three)
        s.formula(equation("Ijs", "Sjs / (√3 × 0.38)", "%1 / (√(3) × 0.38)", {sj}, l.i, "A"));
    else if (isBlank(row.board))
        s.formula(equation("Ijs", "Pjs / (0.22 × cosφ)", "%1 / (0.22 × %2)", {p, exact(*r.cos)}, l.i, "A"));
    else
        s.formula(equation("Ijs", "Sjs / 0.22", "%1 / 0.22", {sj}, l.i, "A"));
}

// ΣPjs,i or ΣQjs,i: written out term by term for a few rows, else the sum of the table's column.
void sumLine(sheet::Section& s, const QString& symbol, const QString& term, const std::vector<std::size_t>& rows,
             const std::vector<double>& values, double sum, const QString& unit, const QString& column)
{
    if (rows.empty()) {
        s.formula(QStringLiteral("%1 = 0 %2（没有计入的行）").arg(symbol, unit));
        return;
    }
    if (rows.size() <= fewRows) {
        QStringList terms, figures;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            terms << QStringLiteral("%1,%2").arg(term).arg(rows[k] + 1);
            figures << sheet::bracketed(fig(values[k]));
        }
        s.formula(line(symbol, terms.join(" + "), figures.join(" + "), fig(sum), unit));
        return;
    }
    s.formula(line(symbol, QStringLiteral("Σ %1,i").arg(term), QStringLiteral("上表计入各行 %1 列之和").arg(column),
                   fig(sum), unit + QStringLiteral("（共 %1 项，各项见上表）").arg(rows.size())));
}

void method(sheet::Sheet& sheet, const Board& board, const BoardResult& result)
{
    sheet::Section& s = sheet.section(QStringLiteral("三、计算方法及公式"));
    s.text(QStringLiteral("按需要系数法：各用电设备组 Pjs = Kx × Pe，Qjs = Pjs × tanφ，Sjs = √(Pjs² + Qjs²)；"
                          "三相设备 Ijs = Sjs / (√3 × 0.38 kV)，单相设备 Ijs = Pjs / (0.22 kV × cosφ)。"
                          "配电箱的计算负荷为各组之和乘同时系数：Pjs = KΣp × ΣPjs,i，Qjs = KΣq × ΣQjs,i。"));
    s.text(QStringLiteral("各式代入的数值为计算所用的全部位数（15 位有效数字），结果亦取 15 位有效数字，"
                          "按所列数值复算时末位可能因取舍相差一个单位；√(3) 即 √3，√3 × 0.38 kV 为三相 380 V "
                          "系统求电流的系数。"));

    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < result.rows.size(); ++i)
        if (counted(result.rows[i]))
            rows.push_back(i);

    s.text(QStringLiteral("（一）各用电设备组"));
    std::vector<std::size_t> shownRows;
    if (rows.size() <= fewRows) {
        shownRows = rows;
    } else {
        // One row of each kind the board has, then the first rows, up to a few.
        const auto firstOf = [&](auto kind) {
            for (std::size_t i : rows)
                if (kind(board.rows[i], result.rows[i]))
                    return std::optional<std::size_t>(i);
            return std::optional<std::size_t>();
        };
        const auto three = [](const ScheduleRow& row, const RowResult& r) {
            return isBlank(row.board) && r.phases == Phases::Three;
        };
        const auto single = [](const ScheduleRow& row, const RowResult& r) {
            return isBlank(row.board) && r.phases == Phases::Single;
        };
        const auto sub = [](const ScheduleRow& row, const RowResult&) { return !isBlank(row.board); };
        for (const auto& found : {firstOf(three), firstOf(single), firstOf(sub)})
            if (found)
                shownRows.push_back(*found);
        for (std::size_t k = 0; k < rows.size() && shownRows.size() < examples; ++k)
            if (std::find(shownRows.begin(), shownRows.end(), rows[k]) == shownRows.end())
                shownRows.push_back(rows[k]);
        std::sort(shownRows.begin(), shownRows.end());
        QStringList numbers;
        for (std::size_t i : shownRows)
            numbers << QString::number(i + 1);
        s.text(QStringLiteral("计入合计的共 %1 行，以下以第 %2 行为例列出代入的数值；其余各行同法计算，结果见上表。")
                   .arg(rows.size())
                   .arg(numbers.join(QStringLiteral("、"))));
    }
    if (rows.empty())
        s.text(QStringLiteral("没有计入合计的用电设备组。"));
    for (std::size_t i : shownRows)
        rowFormulas(s, board.rows[i], i, result.rows[i]);

    s.text(QStringLiteral("（二）配电箱 %1 的计算负荷").arg(boardName(board)));
    const std::optional<Totals>& t = result.totals;
    if (!t) {
        s.text(QStringLiteral("配电箱的计算负荷无法计算：") +
               reasonsOf(result.problems, {Cell::Rows, Cell::Kp, Cell::Kq}) + QStringLiteral("。"));
        return;
    }
    std::vector<double> active, reactive;
    for (std::size_t i : rows) {
        active.push_back(result.rows[i].load.p);
        reactive.push_back(result.rows[i].load.q);
    }
    sumLine(s, QStringLiteral("ΣPjs,i"), QStringLiteral("Pjs"), rows, active, t->sumP, QStringLiteral("kW"),
            QStringLiteral("Pjs(kW)"));
    sumLine(s, QStringLiteral("ΣQjs,i"), QStringLiteral("Qjs"), rows, reactive, t->sumQ, QStringLiteral("kvar"),
            QStringLiteral("Qjs(kvar)"));
    const Load& l = t->load;
    const QString p = fig(l.p), q = fig(l.q), sj = fig(l.s);
    s.formula(equation("Pjs", "KΣp × ΣPjs,i", "%1 × %2", {exact(t->kp), fig(t->sumP)}, l.p, "kW",
                       roundedTo(l.p, 2, "kW")));
    s.formula(equation("Qjs", "KΣq × ΣQjs,i", "%1 × %2", {exact(t->kq), fig(t->sumQ)}, l.q, "kvar",
                       roundedTo(l.q, 2, "kvar")));
    s.formula(equation("Sjs", "√(Pjs² + Qjs²)", "√(%1² + %2²)", {p, q}, l.s, "kVA", roundedTo(l.s, 2, "kVA")));
    if (l.cos)
        s.formula(equation("cosφ", "Pjs / Sjs", "%1 / %2", {p, sj}, *l.cos, {}, roundedTo(*l.cos, 3, {})));
    else
        s.text(QStringLiteral("Sjs 为 0，cosφ 无从计算。"));
    s.formula(equation("Ijs", "Sjs / (√3 × 0.38)", "%1 / (√(3) × 0.38)", {sj}, l.i, "A", roundedTo(l.i, 1, "A")));
}

void basis(sheet::Sheet& sheet)
{
    sheet.section(QStringLiteral("六、计算依据"))
        .text(QStringLiteral("《工业与民用供配电设计手册》：负荷计算的需要系数法（用电设备组的计算负荷、配电箱的同时系数），"
                             "无功功率补偿容量 Qc = Pjs × (tanφ₁ − tanφ₂)，变压器按负荷率选择。"))
        .text(QStringLiteral("《民用建筑电气设计标准》GB 51348-2019（原《民用建筑电气设计规范》JGJ 16-2008）："
                             "负荷计算、无功功率补偿及变压器选择的规定。"))
        .text(QStringLiteral("规范要求补偿后的功率因数不低于 0.90：目标 cosφ₂ 取 0.90 为规范所允许的最低值，"
                             "取值不应低于此。"));
}

} // namespace

sheet::Sheet scheduleSheet(const std::vector<Board>& boards, std::size_t board)
{
    sheet::Sheet sheet;
    sheet.title = QStringLiteral("负荷计算书");
    sheet.landscape = true;
    const BoardResult result = evaluate(boards, board);
    if (board >= boards.size()) {
        QStringList reasons;
        for (const Problem& p : result.problems)
            reasons << qs(p.reason);
        sheet.section(QStringLiteral("一、计算条件"))
            .text(reasons.join(QStringLiteral("；")) + QStringLiteral("，无法编制计算书。"));
        return sheet;
    }
    const Board& b = boards[board];
    conditions(sheet, b, result);
    scheduleTable(sheet, b, result);
    method(sheet, b, result);
    compensation(sheet, result);
    transformer(sheet, b, result);
    basis(sheet);
    return sheet;
}

} // namespace load
