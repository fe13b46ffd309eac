#include "schedule_sheet_parts.h"

#include "convert.h"
#include "facts.h"
#include "schedule_text.h"
#include "sheet_figures.h"

#include <algorithm>
#include <cmath>

using numeric::Num;
using sheet::Facts;
using namespace load::figures;

namespace load::sheetparts {

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

// tanφ = √(1 − cos²φ) / cosφ, in the schedule's order of operations.
numeric::Num tanOf(double cos)
{
    return numeric::divide(numeric::squareRoot(numeric::add(1.0, numeric::multiply(-cos, cos))), cos);
}

QString reasonsOf(const std::vector<Problem>& problems, std::initializer_list<Cell> cells)
{
    QStringList out;
    for (const Cell cell : cells)
        for (const Problem& p : problems)
            if (p.cell == cell)
                out << qs(p.reason);
    return out.join(QStringLiteral("；"));
}

// ---- 四、无功补偿

void compensation(sheet::Sheet& sheet, const BoardResult& result)
{
    sheet::Section& s = sheet.section(QStringLiteral("四、无功补偿"));
    const std::optional<Compensation>& c = result.compensation;
    if (!result.totals) {
        s.text(QStringLiteral("配电箱的计算负荷无法计算，未计算无功补偿。"));
        return;
    }
    if (!c) {
        s.text(QStringLiteral("未计算无功补偿：") + reasonsOf(result.problems, {Cell::CosTarget, Cell::InstalledQc}) +
               QStringLiteral("。"));
        return;
    }
    const Totals& t = *result.totals;
    const Load& l = t.load;
    const QString target = exact(c->target);
    s.text(QStringLiteral("按补偿后的功率因数 cosφ₂ 为 %1 求补偿容量 Qc = Pjs × (tanφ₁ − tanφ₂)。").arg(target));
    if (t.tan)
        s.formula(equation("tanφ₁", "Qjs / Pjs", "%1 / %2", {fig(l.q), fig(l.p)}, *t.tan, {}));
    const Num tan2 = tanOf(c->target);
    if (tan2)
        s.formula(equation("tanφ₂", "√(1 − cos²φ₂) / cosφ₂", "√(1 − %1²) / %1", {target}, tan2.value(), {}));

    if (c->required > 0 && t.tan && tan2) {
        // The 15-digit figures unless the difference of the two tangents is lost in them.
        QStringList figures{fig(l.p), fig(*t.tan), fig(tan2.value())};
        const double worked = valueOf(figures[0]) * (valueOf(figures[1]) - valueOf(figures[2]));
        const bool full = !holds(worked, c->required);
        if (full)
            figures = {exact(l.p), exact(*t.tan), exact(tan2.value())};
        s.formula(equation("Qc", "Pjs × (tanφ₁ − tanφ₂)", "%1 × (%2 − %3)", figures, c->required, "kvar",
                           roundedTo(c->required, 2, "kvar")));
        if (full)
            s.text(QStringLiteral("注：tanφ₁ 与 tanφ₂ 相差甚小，上式代入各数的全部位数。"));
    } else if (l.cos && *l.cos >= c->target) {
        s.text(QStringLiteral("补偿前 cosφ 为 %1，不低于 cosφ₂（%2）：已达到 cosφ₂，无需补偿，需要的补偿容量为 0。")
                   .arg(fig(*l.cos), target));
    } else if (l.s == 0) {
        s.text(QStringLiteral("计算负荷为 0，无需补偿，需要的补偿容量为 0。"));
    } else if (!t.tan) {
        s.text(QStringLiteral("Pjs 为 0，按 Qc = Pjs × (tanφ₁ − tanφ₂) 需要的补偿容量为 0。"));
    } else {
        s.text(QStringLiteral("tanφ₁ 不大于 tanφ₂：已达到 cosφ₂，无需补偿，需要的补偿容量为 0。"));
    }

    if (c->installed) {
        QString note = QStringLiteral("实装补偿容量为 %1 kvar，以下按实装容量计算补偿后的负荷").arg(exact(*c->installed));
        if (*c->installed < c->required)
            note += QStringLiteral("；实装容量小于需要值 %1 kvar，补偿后的 cosφ′ 低于 cosφ₂").arg(rounded(c->required, 2));
        if (c->leading)
            note += QStringLiteral("；实装容量大于 Qjs，过补偿，Q′ 为负（超前）");
        s.text(note + QStringLiteral("。"));
    } else {
        s.text(QStringLiteral("未填写实装补偿容量，按需要值 %1 kvar 计算补偿后的负荷。").arg(fig(c->required)));
    }

    const Load& a = c->load;
    // Q′ = Qjs − Qc: a difference, worked with all the digits where 15 would lose it.
    const QString used = c->installed ? exact(c->used) : fig(c->used);
    QStringList figures{fig(l.q), used};
    if (!holds(valueOf(figures[0]) - valueOf(figures[1]), a.q))
        figures = {exact(l.q), exact(c->used)};
    s.formula(equation("Q′", "Qjs − Qc", "%1 − %2", figures, a.q, "kvar", roundedTo(a.q, 2, "kvar")));
    const QString p = fig(a.p), sj = fig(a.s);
    s.formula(equation("S′", "√(Pjs² + Q′²)", "√(%1² + %2²)", {p, fig(a.q)}, a.s, "kVA", roundedTo(a.s, 2, "kVA")));
    if (a.cos)
        s.formula(equation("cosφ′", "Pjs / S′", "%1 / %2", {p, sj}, *a.cos, {}, roundedTo(*a.cos, 3, {})));
    else
        s.text(QStringLiteral("S′ 为 0，cosφ′ 无从计算。"));
    s.formula(equation("I′", "S′ / (√3 × 0.38)", "%1 / (√(3) × 0.38)", {sj}, a.i, "A", roundedTo(a.i, 1, "A")));
}

// ---- 五、变压器选择

// β = S′ / (n × Sn) for one rating, computed as the schedule computes it.
QString betaLine(double s, double n, double rating, double beta, const QString& after)
{
    return equation(QStringLiteral("β"), QStringLiteral("S′ / (n × Sn)"), QStringLiteral("%1 / (%2 × %3)"),
                    {fig(s), exact(n), exact(rating)}, beta, {}, after);
}

void transformer(sheet::Sheet& sheet, const Board& board, const BoardResult& result)
{
    sheet::Section& s = sheet.section(QStringLiteral("五、变压器选择"));
    const std::optional<TransformerChoice>& choice = result.transformer;
    if (!result.compensation) {
        s.text(QStringLiteral("补偿后的负荷无法计算，未选择变压器。"));
        return;
    }
    if (!choice) {
        s.text(QStringLiteral("未选择变压器：") +
               reasonsOf(result.problems, {Cell::BetaMax, Cell::Transformers, Cell::Series}) + QStringLiteral("。"));
        return;
    }
    const double after = result.compensation->load.s;
    const QString limit = exact(choice->betaMax);
    s.text(QStringLiteral("变压器 %1 台，负荷率上限 βmax 为 %2；在容量系列中取负荷率 β = S′ / (n × Sn) 不超过上限的最小容量 Sn。")
               .arg(exact(choice->count), limit));
    std::vector<double> series = board.series;
    std::sort(series.begin(), series.end());
    const auto betaOf = [&](double rating) { return numeric::divide(numeric::divide(after, choice->count), rating); };
    const auto exceeds = [&limit](const QString& which) {
        return QStringLiteral("（%1，大于上限 %2，不满足）").arg(which, limit);
    };

    if (choice->rating && choice->beta) {
        const double sn = *choice->rating;
        s.formula(betaLine(after, choice->count, sn, *choice->beta,
                           QStringLiteral("（Sn 为 %1 kVA，不大于上限 %2；%3）")
                               .arg(exact(sn), limit, roundingOf(*choice->beta, 2, {}))));
        const auto smaller = std::lower_bound(series.begin(), series.end(), sn);
        if (smaller == series.begin()) {
            s.text(QStringLiteral("%1 kVA 为容量系列中最小的容量。").arg(exact(sn)));
        } else {
            const double rating = *(smaller - 1);
            const Num beta = betaOf(rating);
            if (beta)
                s.formula(betaLine(after, choice->count, rating, beta.value(),
                                   exceeds(QStringLiteral("小一级的 %1 kVA").arg(exact(rating)))));
            else
                s.text(QStringLiteral("小一级的 %1 kVA 负荷率过大，不满足。").arg(exact(rating)));
        }
        s.text(QStringLiteral("选用 %1 台 %2 kVA 变压器，负荷率 %3。")
                   .arg(exact(choice->count), exact(sn), rounded(*choice->beta, 2)));
        return;
    }
    if (!series.empty()) {
        const double largest = series.back();
        const Num beta = betaOf(largest);
        if (beta)
            s.formula(betaLine(after, choice->count, largest, beta.value(),
                               exceeds(QStringLiteral("系列中最大的 %1 kVA").arg(exact(largest)))));
    }
    s.text(qs(choice->note) + QStringLiteral("：应增加台数或扩大容量系列。"));
}

} // namespace load::sheetparts
