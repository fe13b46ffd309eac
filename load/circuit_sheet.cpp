#include "circuit_sheet.h"

#include "schedule_sheet.h"
#include "schedule_sheet_parts.h"
#include "schedule_table.h"
#include "schedule_text.h"
#include "sheet_figures.h"

#include <algorithm>
#include <cmath>

using namespace load::figures;

namespace load {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The sheet writes impedances in mΩ.
double milli(double ohms) { return ohms * 1000; }
// A figure in a sum: in brackets when signed.
QString term(double value) { return value < 0 ? "(" + fig(value) + ")" : fig(value); }

QString boardName(const Board& board)
{
    const std::string_view name = trimmed(board.name);
    return name.empty() ? QStringLiteral("（未命名）") : qs(name);
}

QString seriesText(const std::vector<double>& series)
{
    std::vector<double> sorted = series;
    std::sort(sorted.begin(), sorted.end());
    QStringList out;
    for (const double v : sorted)
        out << exact(v);
    return out.isEmpty() ? QStringLiteral("（空）") : out.join(QStringLiteral("、"));
}

QString typedOr(const std::string& text, const QString& blank)
{
    return isBlank(text) ? blank : qs(trimmed(text));
}

// ---- 一、计算条件

void conditions(sheet::Sheet& sheet, const Board& b, const BoardResult& r, const std::vector<Board>& boards)
{
    std::vector<QStringList> rows;
    rows.push_back({QStringLiteral("配电箱"), {}, boardName(b), {}, {}});
    rows.push_back({QStringLiteral("断路器额定电流系列"), QStringLiteral("In"), seriesText(b.breakers),
                    QStringLiteral("A"), sheetparts::reasonsOf(r.problems, {Cell::Breakers})});
    rows.push_back({QStringLiteral("电缆电抗"), QStringLiteral("X′"), typedOr(b.reactance, QStringLiteral("未填写")),
                    QStringLiteral("Ω/km"), sheetparts::reasonsOf(r.problems, {Cell::Reactance})});
    rows.push_back({QStringLiteral("末端电压损失限值"), QStringLiteral("ΔUmax"),
                    typedOr(b.dropLimit, QStringLiteral("未填写")), QStringLiteral("%"),
                    sheetparts::reasonsOf(r.problems, {Cell::DropLimit})});
    rows.push_back({QStringLiteral("短路持续时间"), QStringLiteral("t"),
                    typedOr(b.withstandTime, QStringLiteral("未填写")), QStringLiteral("s"),
                    sheetparts::reasonsOf(r.problems, {Cell::WithstandTime})});
    const bool top = !r.feeder;
    const QString onlyTop = top ? QString() : QStringLiteral("本配电箱由上级馈电，不用此值");
    rows.push_back({QStringLiteral("系统短路容量"), QStringLiteral("S″kQ"),
                    typedOr(b.networkMva, QStringLiteral("未填写")), QStringLiteral("MVA"),
                    sheetparts::reasonsOf(r.problems, {Cell::NetworkMva}) + onlyTop});
    rows.push_back({QStringLiteral("变压器阻抗电压"), QStringLiteral("uk"), typedOr(b.uk, QStringLiteral("未填写")),
                    QStringLiteral("%"), sheetparts::reasonsOf(r.problems, {Cell::Uk}) + onlyTop});
    rows.push_back({QStringLiteral("变压器负载损耗"), QStringLiteral("Pk"),
                    typedOr(b.loadLoss, QStringLiteral("未填写，忽略变压器电阻")), QStringLiteral("kW"),
                    sheetparts::reasonsOf(r.problems, {Cell::LoadLoss}) + onlyTop});
    QString feed;
    if (r.feeder)
        feed = QStringLiteral("由配电箱“%1”第 %2 行馈电")
                   .arg(boardName(boards[r.feeder->board]))
                   .arg(r.feeder->row + 1);
    else if (r.transformer && r.transformer->rating)
        feed = QStringLiteral("由本配电箱的变压器供电：%1 台 %2 kVA")
                   .arg(exact(r.transformer->count), exact(*r.transformer->rating));
    else
        feed = QStringLiteral("由本配电箱的变压器供电，未选出变压器");
    rows.push_back({QStringLiteral("电源"), {}, feed, {}, {}});
    sheet::Section& s = sheet.section(QStringLiteral("一、计算条件"));
    s.table({"项目", "符号", "数值", "单位", "说明"}, rows);
    s.text(QStringLiteral("低压配电系统为 TN-S 系统，标称电压 Un 为 0.4 kV（相电压 U0 为 0.22 kV）；三相回路按三根负载导体、"
                          "线电压 0.38 kV 计算电压损失，单相回路按两根负载导体、相电压 0.22 kV 计算。空着的回路单元格按默认值："
                          "线缆 YJV，敷设方式 BV 为 B1、其余为 E，环境温度 35 ℃，并列回路数 1。"));
}

// ---- 二、配电回路表

QString kindOf(const circuits::CircuitFigures& f)
{
    return QStringLiteral("%1 %2 A").arg(f.breaker.kind == circuits::BreakerKind::Miniature ? QStringLiteral("微型断路器")
                                                                                        : QStringLiteral("塑壳断路器"),
                                         fig(f.breaker.in));
}

void circuitTable(sheet::Sheet& sheet, const Board& b, const BoardResult& r)
{
    std::vector<QStringList> rows;
    for (std::size_t i = 0; i < b.rows.size() && i < r.rows.size(); ++i) {
        const RowResult& row = r.rows[i];
        if (row.blank)
            continue;
        const auto cell = [&](int c) { return qs(shownCell(b.rows[i], i, &row, c)); };
        QString name = cell(column::Name);
        if (!isBlank(b.rows[i].board))
            name = (name.isEmpty() ? QString() : name + QStringLiteral("：")) +
                   QStringLiteral("配电箱 %1 馈线").arg(qs(trimmed(b.rows[i].board)));
        const circuits::CircuitFigures* f = row.circuit ? &*row.circuit : nullptr;
        rows.push_back({cell(column::Number), name, row.pe && row.problems.empty() ? rounded(*row.pe, 2) : QString(),
                        cell(column::Ijs), f ? kindOf(*f) : QString(), cell(column::Designation), cell(column::Method),
                        typedOr(b.rows[i].length, QString()), cell(column::Drop), cell(column::DropEnd),
                        cell(column::Ik3), cell(column::Id), cell(column::Check)});
    }
    sheet::Section& s = sheet.section(QStringLiteral("二、配电回路表"));
    s.table({"回路编号", "用电设备组", "Pe(kW)", "Ijs(A)", "断路器", "电缆规格", "敷设方式", "L(m)", "ΔU(%)",
             "末端ΔU(%)", "Ik3(kA)", "Id(kA)", "校验"},
            rows);
    s.text(QStringLiteral("注：表中 Ijs 四舍五入至一位小数，ΔU、末端ΔU 及短路电流四舍五入至两位小数；下文各式以计算所用的全部位数"
                          "（15 位有效数字）列出，阻抗以 mΩ 计，短路电流以 kA 计。"));
    if (!r.circuitsLeftOut.empty()) {
        QStringList lines{QStringLiteral("下列各行的回路数据有错误，未计算回路：")};
        for (const std::size_t row : r.circuitsLeftOut)
            for (const Problem& p : r.rows[row].circuitProblems)
                lines << qs(rowNote(row, p));
        s.text(lines.join('\n'));
    }
}

// ---- 三、母线的短路电流

void busbar(sheet::Sheet& sheet, const BoardResult& r, const std::vector<Board>& boards)
{
    sheet::Section& s = sheet.section(QStringLiteral("三、母线短路电流"));
    if (!r.origin) {
        s.text(QStringLiteral("母线的短路电流未能计算：%1。以下各回路只按载流量选择，并列出本回路的电压损失。")
                   .arg(qs(r.originNote)));
        return;
    }
    const circuits::Origin& o = *r.origin;
    if (r.supply) {
        const circuits::SupplyFigures& f = *r.supply;
        s.text(QStringLiteral("按 GB/T 15544.1-2013 的阻抗法，电压系数 c 取 %1，Un 为 %2 kV；阻抗以 mΩ 计（Un 以 kV、"
                              "S″kQ 以 MVA、SrT 以 kVA 代入）。")
                   .arg(fig(f.c), fig(f.un)));
        s.formula(equation(QStringLiteral("ZQ"), QStringLiteral("c × Un² / S″kQ × 1000"), QStringLiteral("%1 × %2² / %3 × 1000"),
                           {fig(f.c), fig(f.un), exact(f.given.networkMva)}, milli(f.zq), QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("XQ"), QStringLiteral("0.995 × ZQ"), QStringLiteral("%1 × %2"),
                           {fig(circuits::networkReactanceShare), fig(milli(f.zq))}, milli(f.xq), QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("RQ"), QStringLiteral("0.1 × XQ"), QStringLiteral("%1 × %2"),
                           {fig(circuits::networkResistanceRatio), fig(milli(f.xq))}, milli(f.rq), QStringLiteral("mΩ")));
        const double sr = f.given.transformerKva;
        s.text(f.transformers > 1 ? QStringLiteral("变压器：%1 台 %2 kVA 并列，每台的阻抗如下。").arg(f.transformers).arg(exact(sr))
                                  : QStringLiteral("变压器：%1 kVA。").arg(exact(sr)));
        s.formula(equation(QStringLiteral("ZT"), QStringLiteral("uk / 100 × Un² / SrT × 1000000"),
                           QStringLiteral("%1 / 100 × %2² / %3 × 1000000"), {exact(f.given.ukPercent), fig(f.un), exact(sr)},
                           milli(f.zt), QStringLiteral("mΩ")));
        if (f.rtNeglected) {
            s.text(qs(f.note) + QStringLiteral("：RT 取 0。"));
        } else {
            s.formula(equation(QStringLiteral("RT"), QStringLiteral("Pk × Un² / SrT² × 1000000"),
                               QStringLiteral("%1 × %2² / %3² × 1000000"), {exact(*f.given.loadLossKw), fig(f.un), exact(sr)},
                               milli(f.rt), QStringLiteral("mΩ")));
        }
        s.formula(equation(QStringLiteral("XT"), QStringLiteral("√(ZT² − RT²)"), QStringLiteral("√(%1² − %2²)"),
                           {fig(milli(f.zt)), fig(milli(f.rt))}, milli(f.xt), QStringLiteral("mΩ")));
        if (f.transformers > 1)
            s.text(QStringLiteral("%1 台并列：变压器的电阻 %2 mΩ、电抗 %3 mΩ 各除以 %1。")
                       .arg(f.transformers)
                       .arg(fig(milli(f.transformer.r)), fig(milli(f.transformer.x))));
    } else if (r.feeder) {
        s.text(QStringLiteral("本配电箱由配电箱“%1”第 %2 行馈电；母线处的阻抗为上级母线的阻抗加馈线电缆的阻抗（见上级配电箱的"
                              "配电回路计算书）。")
                   .arg(boardName(boards[r.feeder->board]))
                   .arg(r.feeder->row + 1));
    }
    // The path, part by part.
    std::vector<QStringList> parts;
    for (const circuits::PathPart& p : o.parts)
        parts.push_back({qs(p.name), fig(milli(p.phase.r)), fig(milli(p.phase.x)), fig(milli(p.loop.r)),
                         fig(milli(p.loop.x))});
    s.table({"阻抗", "短路 R(mΩ)", "短路 X(mΩ)", "相保 R(mΩ)", "相保 X(mΩ)"}, parts);
    QStringList rs, xs;
    for (const circuits::PathPart& p : o.parts) {
        rs << term(milli(p.phase.r));
        xs << term(milli(p.phase.x));
    }
    if (parts.size() > 1) {
        s.formula(line(QStringLiteral("ΣR"), QStringLiteral("各段电阻之和"), rs.join(" + "), fig(milli(o.shortCircuit.r)),
                       QStringLiteral("mΩ")));
        s.formula(line(QStringLiteral("ΣX"), QStringLiteral("各段电抗之和"), xs.join(" + "), fig(milli(o.shortCircuit.x)),
                       QStringLiteral("mΩ")));
    }
    const double z = milli(o.shortCircuit.magnitude());
    s.formula(equation(QStringLiteral("|Z|"), QStringLiteral("√(ΣR² + ΣX²)"), QStringLiteral("√(%1² + %2²)"),
                       {fig(milli(o.shortCircuit.r)), fig(milli(o.shortCircuit.x))}, z, QStringLiteral("mΩ")));
    s.formula(equation(QStringLiteral("Ik3"), QStringLiteral("c × Un / (√3 × |Z|)"), QStringLiteral("%1 × %2 / (√(3) × %3)"),
                       {fig(circuits::voltageFactor), fig(circuits::nominalVoltage * 1000), fig(z)}, o.ik3,
                       QStringLiteral("kA"), QStringLiteral("（母线处；Un 以 V 代入）")));
    if (o.drop > 0)
        s.text(QStringLiteral("母线处的电压损失（各级馈线之和）ΔU0 为 %1 %。").arg(fig(o.drop)));
}

// ---- 四、各回路

void oneCircuit(sheet::Section& s, const Board& b, std::size_t i, const RowResult& row, const BoardResult& r)
{
    const ScheduleRow& typed = b.rows[i];
    QString title = QStringLiteral("回路 %1").arg(qs(row.number));
    if (!isBlank(typed.name))
        title += " " + qs(trimmed(typed.name));
    if (!isBlank(typed.board))
        title += QStringLiteral("（配电箱 %1 的馈线）").arg(qs(trimmed(typed.board)));
    if (!row.circuit) {
        QStringList why;
        for (const auto* list : {&row.problems, &row.circuitProblems})
            for (const Problem& p : *list)
                why << qs(p.reason);
        if (!row.circuitNote.empty())
            why << qs(row.circuitNote);
        s.text(title + QStringLiteral("：未计算。") + why.join(QStringLiteral("；")));
        return;
    }
    const circuits::CircuitFigures& f = *row.circuit;
    const circuits::CableInfo& cable = circuits::cableInfo(f.cable.kind);
    const bool three = f.phases == circuits::Phases::Three;
    const circuits::BreakerFigures& br = f.breaker;
    s.text(title + QStringLiteral("：%1，%2，敷设方式 %3（%4），%5根负载导体；Ijs 为 %6 A（见负荷计算书），cosφ 为 %7；"
                                  "断路器 In %8。")
                       .arg(three ? QStringLiteral("三相") : QStringLiteral("单相"), qs(cable.code),
                            qs(circuits::methodInfo(f.cable.method).code),
                            qs(circuits::methodInfo(f.cable.method).description),
                            three ? QStringLiteral("三") : QStringLiteral("两"), fig(f.ijs), fig(f.cos))
                       .arg(br.typed ? QStringLiteral("按指定为 %1 A%2").arg(exact(br.in), br.belowIjs
                                                                                           ? QStringLiteral("，小于 Ijs，不满足")
                                                                                           : QString())
                                     : QStringLiteral("取断路器系列中不小于 Ijs 的最小值 %1 A").arg(exact(br.in))));
    const bool miniature = br.kind == circuits::BreakerKind::Miniature;
    s.formula(equation(QStringLiteral("I2"), QStringLiteral("%1 × In").arg(fig(br.i2Factor)), QStringLiteral("%1 × %2"),
                       {fig(br.i2Factor), exact(br.in)}, br.i2, QStringLiteral("A"),
                       miniature ? QStringLiteral("（微型断路器）") : QStringLiteral("（塑壳断路器）")));
    s.formula(equation(QStringLiteral("Ii"), QStringLiteral("10 × In"), QStringLiteral("%1 × %2"),
                       {fig(br.iiMultiple), exact(br.in)}, br.ii, QStringLiteral("A")));

    // The cable by current-carrying capacity.
    const circuits::Derating& d = f.derating;
    const circuits::Capacity& c = f.cable.capacity;
    // The tables by their numbers; the standard is named under 计算依据.
    const auto number = [](const char* table) { return qs(table).section(' ', -1); };
    s.text(QStringLiteral("Iz0 为 %1 A（%2，%3，%4 mm²）；Kt 为 %5（%6，%7 ℃ 取 %8 ℃ 一行）；Kg 为 %9（%10 第 %11 项，"
                          "%12 回路取 %13 回路一栏）。")
               .arg(fig(c.iz0), number(c.table), qs(c.column), qs(circuits::sectionText(c.section)), fig(d.kt),
                    number(d.ktTable), exact(f.ambient), fig(d.ktRow), fig(d.kg))
               .arg(number(d.kgTable))
               .arg(d.kgItem)
               .arg(f.circuits)
               .arg(d.kgColumn));
    const auto capacityLine = [&](const circuits::Capacity& k, const QString& after) {
        return equation(QStringLiteral("Iz"), QStringLiteral("Iz0 × Kt × Kg"), QStringLiteral("%1 × %2 × %3"),
                        {fig(k.iz0), fig(d.kt), fig(d.kg)}, k.iz, QStringLiteral("A"), after);
    };
    s.formula(capacityLine(c, QStringLiteral("（%1 mm²）；条件一 Iz ≥ In：%2 A ≥ %3 A，满足")
                                  .arg(qs(circuits::sectionText(c.section)), fig(c.iz), exact(br.in))));
    s.formula(equation(QStringLiteral("1.45Iz"), QStringLiteral("1.45 × Iz"), QStringLiteral("%1 × %2"),
                       {fig(circuits::overloadFactor), fig(c.iz)}, c.overloadLimit, QStringLiteral("A"),
                       QStringLiteral("；条件二 I2 ≤ 1.45Iz：%1 A ≤ %2 A，满足。").arg(fig(br.i2), fig(c.overloadLimit))));
    if (f.cable.smaller) {
        const circuits::Capacity& k = *f.cable.smaller;
        QString fails;
        if (!k.carries)
            fails = QStringLiteral("Iz 小于 In %1 A").arg(exact(br.in));
        else
            fails = QStringLiteral("1.45Iz 为 %1 A，小于 I2 %2 A").arg(fig(k.overloadLimit), fig(br.i2));
        s.formula(capacityLine(k, QStringLiteral("（小一级截面 %1 mm²：%2，不满足）")
                                      .arg(qs(circuits::sectionText(k.section)), fails)));
    } else {
        s.text(QStringLiteral("%1 mm² 为%2导体允许的最小截面。")
                   .arg(qs(circuits::sectionText(c.section)),
                        cable.conductor == circuits::Conductor::Copper ? QStringLiteral("铜") : QStringLiteral("铝")));
    }
    if (f.cable.raisedByAtLeast)
        s.text(QStringLiteral("截面按指定的最小截面取用。"));
    s.text(QStringLiteral("保护导体 %1 mm²（表54.2）；电缆规格 %2。")
               .arg(qs(circuits::sectionText(f.cable.pe)), qs(f.cable.designation)));

    // The voltage drop.
    if (!f.drop) {
        s.text(QStringLiteral("未给长度：仅按载流量选择，未计算电压损失、末端短路电流及接地故障电流。"));
    } else {
        const circuits::VoltageDrop& v = *f.drop;
        const circuits::Resistance& rp = v.phase;
        s.formula(equation(QStringLiteral("R′"), QStringLiteral("R20 × (1 + α × (θ − 20))"),
                           QStringLiteral("%1 × (1 + %2 × (%3 − 20))"), {fig(rp.r20), fig(rp.alpha), fig(rp.theta)},
                           rp.r, QStringLiteral("Ω/km"),
                           QStringLiteral("（%1 mm²）").arg(qs(circuits::sectionText(rp.section)))));
        s.formula(equation(QStringLiteral("sinφ"), QStringLiteral("√(1 − cos²φ)"), QStringLiteral("√(1 − %1²)"),
                           {fig(v.cos)}, v.sin, {}));
        if (three)
            s.formula(equation(QStringLiteral("ΔU"), QStringLiteral("√3 × Ijs × L × (R′ × cosφ + X′ × sinφ) / (10 × 0.38)"),
                               QStringLiteral("√(3) × %1 × %2 × (%3 × %4 + %5 × %6) / (10 × 0.38)"),
                               {fig(f.ijs), fig(v.lengthKm), fig(rp.r), fig(v.cos), fig(v.x), fig(v.sin)}, v.own,
                               QStringLiteral("%")));
        else
            s.formula(equation(QStringLiteral("ΔU"), QStringLiteral("2 × Ijs × L × (R′ × cosφ + X′ × sinφ) / (10 × 0.22)"),
                               QStringLiteral("2 × %1 × %2 × (%3 × %4 + %5 × %6) / (10 × 0.22)"),
                               {fig(f.ijs), fig(v.lengthKm), fig(rp.r), fig(v.cos), fig(v.x), fig(v.sin)}, v.own,
                               QStringLiteral("%")));
        if (v.originKnown) {
            QString after = v.within ? QStringLiteral("，不大于限值 %1 %，满足").arg(fig(v.limit))
                                     : QStringLiteral("，大于限值 %1 %，不满足").arg(fig(v.limit));
            if (v.sectionWithin)
                after += QStringLiteral("；截面不小于 %1 mm² 时满足").arg(qs(circuits::sectionText(*v.sectionWithin)));
            s.formula(equation(QStringLiteral("末端ΔU"), QStringLiteral("ΔU0 + ΔU"), QStringLiteral("%1 + %2"),
                               {fig(v.origin), fig(v.own)}, v.end, QStringLiteral("%"), after));
        }
    }

    // Short circuit and earth fault at the far end.
    if (f.farEnd && r.origin) {
        const circuits::FarEndShortCircuit& e = *f.farEnd;
        const circuits::Resistance r20 = f.drop->phase;
        s.formula(equation(QStringLiteral("R"), QStringLiteral("ΣR + R20 × L"), QStringLiteral("%1 + %2 × %3"),
                           {fig(milli(r.origin->shortCircuit.r)), fig(r20.r20), exact(*f.length)}, milli(e.total.r),
                           QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("X"), QStringLiteral("ΣX + X′ × L"), QStringLiteral("%1 + %2 × %3"),
                           {fig(milli(r.origin->shortCircuit.x)), fig(f.drop->x), exact(*f.length)}, milli(e.total.x),
                           QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("|Z|"), QStringLiteral("√(R² + X²)"), QStringLiteral("√(%1² + %2²)"),
                           {fig(milli(e.total.r)), fig(milli(e.total.x))}, milli(e.z), QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("Ik3"), QStringLiteral("c × Un / (√3 × |Z|)"),
                           QStringLiteral("%1 × %2 / (√(3) × %3)"),
                           {fig(circuits::voltageFactor), fig(circuits::nominalVoltage * 1000), fig(milli(e.z))}, e.ik3,
                           QStringLiteral("kA"), QStringLiteral("（末端）")));
    }
    if (f.earthFault) {
        const circuits::EarthFault& e = *f.earthFault;
        s.formula(equation(QStringLiteral("R′PE"), QStringLiteral("R20 × (1 + α × (θ − 20))"),
                           QStringLiteral("%1 × (1 + %2 × (%3 − 20))"), {fig(e.pe.r20), fig(e.pe.alpha), fig(e.pe.theta)},
                           e.pe.r, QStringLiteral("Ω/km"),
                           QStringLiteral("（保护导体 %1 mm²）").arg(qs(circuits::sectionText(e.pe.section)))));
        s.formula(equation(QStringLiteral("Rs"), QStringLiteral("ΣRs + (R′ + R′PE) × L"), QStringLiteral("%1 + (%2 + %3) × %4"),
                           {fig(milli(e.origin.r)), fig(e.phase.r), fig(e.pe.r), exact(*f.length)}, milli(e.total.r),
                           QStringLiteral("mΩ"), QStringLiteral("（相保回路）")));
        s.formula(equation(QStringLiteral("Xs"), QStringLiteral("ΣXs + 2 × X′ × L"), QStringLiteral("%1 + 2 × %2 × %3"),
                           {fig(milli(e.origin.x)), fig(f.drop->x), exact(*f.length)}, milli(e.total.x),
                           QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("|Zs|"), QStringLiteral("√(Rs² + Xs²)"), QStringLiteral("√(%1² + %2²)"),
                           {fig(milli(e.total.r)), fig(milli(e.total.x))}, milli(e.zs), QStringLiteral("mΩ")));
        s.formula(equation(QStringLiteral("Id"), QStringLiteral("U0 / |Zs|"), QStringLiteral("%1 / %2"),
                           {fig(e.u0 * 1000), fig(milli(e.zs))}, e.id, QStringLiteral("kA")));
        s.formula(equation(QStringLiteral("1.3Ii"), QStringLiteral("1.3 × Ii / 1000"), QStringLiteral("%1 × %2 / 1000"),
                           {fig(circuits::instantaneousMargin), fig(f.breaker.ii)}, e.required, QStringLiteral("kA"),
                           e.trips ? QStringLiteral("；Id ≥ 1.3Ii，满足")
                                   : QStringLiteral("；Id < 1.3Ii，不满足%1")
                                         .arg(e.sectionTrips ? QStringLiteral("：截面不小于 %1 mm²，或瞬时脱扣电流不大于 %2 A")
                                                                   .arg(qs(circuits::sectionText(*e.sectionTrips)))
                                                                   .arg(std::floor(e.largestIi * 10) / 10)
                                                             : QStringLiteral("：瞬时脱扣电流须不大于 %1 A")
                                                                   .arg(std::floor(e.largestIi * 10) / 10))));
    }
    if (f.withstand) {
        const circuits::Withstand& w = *f.withstand;
        s.formula(equation(QStringLiteral("k²S²"), QStringLiteral("k² × S²"), QStringLiteral("%1² × %2²"),
                           {fig(w.k), qs(circuits::sectionText(w.section))}, w.k2s2, QStringLiteral("A²s")));
        s.formula(equation(QStringLiteral("I²t"), QStringLiteral("Ik3² × t"), QStringLiteral("%1² × %2"),
                           {fig(w.current), fig(w.time)}, w.i2t, QStringLiteral("A²s"),
                           w.withstands ? QStringLiteral("；k²S² ≥ I²t，满足") : QStringLiteral("；k²S² < I²t，不满足")));
    }
}

void circuitsOneByOne(sheet::Sheet& sheet, const Board& b, const BoardResult& r)
{
    sheet::Section& s = sheet.section(QStringLiteral("四、各回路计算"));
    s.text(QStringLiteral("载流量 Iz 为 Iz0 × Kt × Kg，所选截面为同时满足 Iz ≥ In 与 I2 ≤ 1.45Iz 的最小截面（铜芯不小于 2.5 mm²，"
                          "铝芯不小于 16 mm²）。Iz0 见 GB/T 16895.6-2014 附录 B 所注之表，Kt 见表B.52.14，Kg 见表B.52.17，保护导体截面见 "
                          "GB/T 16895.3-2017 表54.2；R20 见 GB/T 3956-2008 表2，R′ 为导体最高工作温度（PVC 70 ℃，XLPE 90 ℃）"
                          "下的电阻。短路电流计算中电缆取 20 ℃ 的电阻 R20；接地故障电流按相线与保护导体的回路（相保回路）计算，"
                          "其电阻取两者在最高工作温度下的电阻之和，电抗取 2X′，ΣRs、ΣXs 为变压器及上级各馈线的相保回路阻抗。"
                          "ΔU 式中 L 以 km 计，阻抗式中 L 以 m 计（Ω/km × m 为 mΩ）；Un、U0 以 V 代入（V / mΩ 为 kA）；"
                          "I²t 中的 Ik3 取母线处的值，以 A 代入。I2 为断路器的约定动作电流（In 不大于 63 A 的微型断路器为 1.45 In，"
                          "其余为塑壳断路器 1.30 In），Ii 为瞬时脱扣电流。各回路的结论见配电回路表的“校验”一栏。"));
    bool any = false;
    for (std::size_t i = 0; i < b.rows.size() && i < r.rows.size(); ++i)
        if (!r.rows[i].blank) {
            oneCircuit(s, b, i, r.rows[i], r);
            any = true;
        }
    if (!any)
        s.text(QStringLiteral("本配电箱尚无回路。"));
}

void basis(sheet::Sheet& sheet)
{
    sheet.section(QStringLiteral("五、计算依据"))
        .text(QStringLiteral("GB/T 16895.6-2014（IEC 60364-5-52:2009）《低压电气装置 第5-52部分：电气设备的选择和安装 布线系统》："
                             "附录 B 表B.52.2～B.52.5（敷设方式 A1、B1、C）、表B.52.10～B.52.13（敷设方式 E）的载流量，"
                             "表B.52.14 的环境温度校正系数，表B.52.17 的并列敷设校正系数。"))
        .text(QStringLiteral("GB/T 16895.5-2012（IEC 60364-4-43:2008）433.1：过负荷保护 In ≤ Iz，I2 ≤ 1.45Iz；"
                             "GB/T 10963.1（微型断路器约定动作电流 1.45 In）、GB/T 14048.2（塑壳断路器约定动作电流 1.30 In）。"))
        .text(QStringLiteral("GB/T 3956-2008（IEC 60228:2004）第 2 类导体 20 ℃ 直流电阻；"
                             "GB/T 16895.3-2017（IEC 60364-5-54:2011）表54.2 保护导体截面。"))
        .text(QStringLiteral("GB/T 15544.1-2013（IEC 60909-0:2001）三相短路电流的阻抗法计算，电压系数 c 取 1.05；"
                             "未计变压器阻抗校正系数 KT。"))
        .text(QStringLiteral("GB/T 16895.21-2020（IEC 60364-4-41:2017）TN 系统的自动切断电源：接地故障电流不小于 1.3 倍瞬时脱扣电流时"
                             "断路器瞬时切断；GB/T 16895.5-2012 434.5.2：k²S² ≥ I²t。"));
}

} // namespace

sheet::Sheet circuitSheet(const std::vector<Board>& boards, std::size_t board)
{
    sheet::Sheet sheet;
    sheet.title = QStringLiteral("配电回路计算书");
    sheet.landscape = true;
    if (board >= boards.size()) {
        sheet.section(QStringLiteral("一、计算条件")).text(QStringLiteral("没有这个配电箱，无法编制计算书。"));
        return sheet;
    }
    const BoardResult result = evaluate(boards, board);
    const Board& b = boards[board];
    conditions(sheet, b, result, boards);
    circuitTable(sheet, b, result);
    busbar(sheet, result, boards);
    circuitsOneByOne(sheet, b, result);
    basis(sheet);
    return sheet;
}

sheet::Sheet boardSheets(const std::vector<Board>& boards, std::size_t board)
{
    sheet::Sheet s = scheduleSheet(boards, board);
    if (board >= boards.size())
        return s;
    const sheet::Sheet circuits = circuitSheet(boards, board);
    sheet::Section& opening = s.section(circuits.title);
    opening.opensSheet = true;
    for (const sheet::Section& part : circuits.sections)
        s.sections.push_back(part);
    return s;
}

} // namespace load
