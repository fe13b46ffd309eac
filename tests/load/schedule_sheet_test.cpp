// The load schedule's calculation sheet states what a checker can work out
// again: every equation on it holds when its figures are worked by an
// evaluator of its own, its sums agree with the table's columns, and it says
// which rows and cells were left out and why.

#include "sheet.h"
#include "circuit_sheet.h"
#include "schedule_sheet.h"
#include "schedule_text.h"
#include "equation.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

using namespace load;

namespace {

ScheduleRow row(const std::string& name, const std::string& pe, const std::string& kx, const std::string& cos,
                const std::string& phases = "")
{
    return {name, pe, kx, cos, phases, ""};
}

Board board(const std::string& name, std::vector<ScheduleRow> rows)
{
    Board b;
    b.name = name;
    b.rows = std::move(rows);
    return b;
}

Board workedExample()
{
    return board("AL1", {row("照明", "120", "0.8", "0.9"), row("空调", "300", "0.7", "0.8"), row("水泵", "90", "0.7", "0.8"),
                         row("电梯", "60", "0.5", "0.6")});
}

// Every line that states an equation with figures works out to the value it
// states; a line that looks like one and is no arithmetic is a fault too.
// Returns how many lines were worked out.
int checkEquations(const QString& text, const std::string& context)
{
    int checked = 0;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        const std::optional<equation::Line> e = equation::parse(line);
        if (!e)
            continue;
        ++checked;
        EXPECT_TRUE(e->evaluated) << context << "\nnot arithmetic: " << line.toStdString();
        if (e->evaluated) {
            EXPECT_TRUE(equation::agrees(*e->evaluated, e->stated))
                << context << "\nfalse: " << line.toStdString() << "\nworks out to " << *e->evaluated;
        }
    }
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\\b(inf|nan)\\b"),
                                                  QRegularExpression::CaseInsensitiveOption)))
        << context;
    return checked;
}

// The value the line "symbol = … = value unit" states, if the sheet has one.
std::optional<double> stated(const QString& text, const QString& symbol)
{
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (!line.startsWith(symbol + " = "))
            continue;
        const QString value = line.section(QStringLiteral(" = "), -1).section(' ', 0, 0);
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (ok)
            return v;
    }
    return std::nullopt;
}

const sheet::Block* scheduleTable(const sheet::Sheet& s)
{
    for (const sheet::Section& section : s.sections)
        for (const sheet::Block& b : section.blocks)
            if (b.kind == sheet::Block::Kind::Table && !b.header.isEmpty() && b.header[0] == QStringLiteral("序号"))
                return &b;
    return nullptr;
}

// The table's Pjs column adds up to the sheet's ΣPjs,i within the table's
// rounding, and its 合计 row is that sum rounded.
void checkColumnSum(const sheet::Sheet& s, const QString& text, const std::string& context)
{
    const sheet::Block* table = scheduleTable(s);
    ASSERT_TRUE(table) << context;
    const int pjs = static_cast<int>(table->header.indexOf(QStringLiteral("Pjs(kW)")));
    ASSERT_GE(pjs, 0);
    double sum = 0;
    int terms = 0;
    std::optional<double> total;
    for (const QStringList& r : table->rows) {
        if (r[1] == QStringLiteral("合计") && !r[pjs].isEmpty())
            total = r[pjs].toDouble();
        if (r[0].isEmpty() || !r.back().isEmpty())
            continue;
        sum += r[pjs].toDouble();
        ++terms;
    }
    const std::optional<double> sigma = stated(text, QStringLiteral("ΣPjs,i"));
    if (!total) {
        EXPECT_FALSE(sigma) << context;
        return;
    }
    ASSERT_TRUE(sigma) << context;
    EXPECT_NEAR(*total, *sigma, 0.005 + 1e-12 * *sigma) << context;
    EXPECT_NEAR(sum, *sigma, 0.005 * terms + 1e-9 * *sigma) << context;
}

std::string pick(std::mt19937& rng, std::initializer_list<const char*> texts)
{
    const auto i = std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(rng);
    return *(texts.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string decimals(double value, int places)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    return buffer;
}

// A schedule of a few boards: rows of every kind (three- and single-phase
// groups, other boards, now and then loops and unknown names, bad cells),
// installed Qc or none, several transformers, series in which nothing fits.
std::vector<Board> randomSchedule(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0, 1);
    const int count = std::uniform_int_distribution<int>(1, 4)(rng);
    std::vector<Board> boards;
    for (int b = 0; b < count; ++b) {
        Board board;
        board.name = "AP" + std::to_string(b + 1);
        const int rows = std::uniform_int_distribution<int>(0, 25)(rng);
        for (int i = 0; i < rows; ++i) {
            const double kind = unit(rng);
            if (kind < 0.12) {
                // Mostly a board further down the schedule; now and then itself, an earlier one or none.
                const int target = unit(rng) < 0.8 ? b + 1 + std::uniform_int_distribution<int>(0, 2)(rng)
                                                   : std::uniform_int_distribution<int>(0, count)(rng);
                board.rows.push_back({unit(rng) < 0.5 ? "" : "分箱", "", "", "", pick(rng, {"", "", "单相"}),
                                      "AP" + std::to_string(target + 1)});
                continue;
            }
            ScheduleRow r = row("组" + std::to_string(i + 1), decimals(200 * unit(rng), 2),
                                pick(rng, {"0.5", "0.65", "0.8", "1", "0"}), decimals(0.05 + 0.95 * unit(rng), 2),
                                pick(rng, {"", "三相", "单相", "1", "3"}));
            if (unit(rng) < 0.5)
                r.kx = decimals(unit(rng), 3);
            if (unit(rng) < 0.1)
                r.cos = pick(rng, {"1", "0.999", "0.05"});
            if (kind > 0.9) { // a cell the schedule cannot take
                const std::string bad = pick(rng, {"abc", "1.5", "-3", "", "0"});
                switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
                case 0: r.pe = bad == "1.5" || bad == "0" ? "-1" : bad; break;
                case 1: r.kx = bad; break;
                case 2: r.cos = bad == "-3" || bad == "abc" ? bad : "0"; break;
                default: r.phases = "二相"; break;
                }
            }
            if (kind > 0.98)
                r = {};
            board.rows.push_back(r);
        }
        // The rows as circuits: every kind of cable and method, lengths or none, now and then a slip.
        for (ScheduleRow& r : board.rows) {
            r.cable = pick(rng, {"", "", "YJV", "BV", "VV", "YJLV", "yjv", "ZZ"});
            r.method = pick(rng, {"", "", "", "A1", "B1", "C", "E", "D"});
            r.length = pick(rng, {"", "15", "40", "85.5", "160", "320", "-2"});
            r.ambient = pick(rng, {"", "", "25", "30", "37", "40", "52", "75"});
            r.circuits = pick(rng, {"", "", "1", "2", "3", "6", "10", "14", "25"});
            r.breaker = unit(rng) < 0.1 ? pick(rng, {"16", "32", "125", "5"}) : "";
        }
        board.kp = pick(rng, {"0.9", "0.85", "1", "0.8", "1.2"});
        board.kq = pick(rng, {"0.95", "0.9", "1", "x"});
        board.cosTarget = pick(rng, {"0.90", "0.92", "0.95", "0.9"});
        board.installedQc = unit(rng) < 0.6 ? "" : decimals(400 * unit(rng), pick(rng, {"0", "1"}) == "0" ? 0 : 1);
        board.betaMax = pick(rng, {"0.85", "0.75", "0.9", "0.8"});
        board.transformers = pick(rng, {"1", "1", "2", "3", "1.5"});
        std::vector<double> series = standardRatings();
        std::shuffle(series.begin(), series.end(), rng);
        series.resize(std::uniform_int_distribution<std::size_t>(1, series.size())(rng));
        board.series = series;
        board.loadLoss = pick(rng, {"", "", "6.2", "10.3"});
        board.uk = pick(rng, {"6", "6", "4.5", "8"});
        board.networkMva = pick(rng, {"300", "200", "500"});
        board.reactance = pick(rng, {"0.08", "0.08", "0.1", "0.07"});
        boards.push_back(board);
    }
    return boards;
}

} // namespace

TEST(ScheduleSheet, WorkedExample)
{
    const std::vector<Board> boards{workedExample()};
    const sheet::Sheet s = scheduleSheet(boards, 0);
    const QString text = sheet::toPlainText(s);
    if (qEnvironmentVariableIsSet("ELCARTA_PRINT_SHEETS"))
        std::cout << text.toStdString() << "\n";
    EXPECT_EQ(s.title, QStringLiteral("负荷计算书"));
    EXPECT_TRUE(s.landscape);
    const QStringList lines{
        "Pjs = Kx × Pe = 0.8 × 120 = 96 kW",
        "tanφ = √(1 − cos²φ) / cosφ = √(1 − 0.9²) / 0.9 = 0.484322104837853",
        "ΣPjs,i = Pjs,1 + Pjs,2 + Pjs,3 + Pjs,4 = 96 + 210 + 63 + 30 = 399 kW",
        "Pjs = KΣp × ΣPjs,i = 0.9 × 399 = 359.1 kW",
        "ΣQjs,i", "291.24", "276.68 kvar", "453.33 kVA", "0.792", "688.8 A",
        "Qc = Pjs × (tanφ₁ − tanφ₂) = 359.1 × (", "102.76 kvar", "399.00 kVA",
        "β = S′ / (n × Sn) = ", "（Sn 为 500 kVA，不大于上限 0.85；四舍五入至两位小数为 0.80）",
        "（小一级的 400 kVA，大于上限 0.85，不满足）", "选用 1 台 500 kVA 变压器，负荷率 0.80。",
        "配电箱", "AL1", "按需要值", "GB 51348", "JGJ 16", "0.90",
    };
    for (const QString& line : lines)
        EXPECT_TRUE(text.contains(line)) << line.toStdString();
    EXPECT_GE(checkEquations(text, "worked example"), 30);
    checkColumnSum(s, text, "worked example");
}

// Cases that sit on an edge of the arithmetic, each stating true lines.
TEST(ScheduleSheet, EdgesOfTheArithmetic)
{
    struct Case {
        const char* name;
        std::vector<Board> boards;
        QStringList lines; // each must be on the sheet
    };
    std::vector<Case> cases;
    {
        Board b = board("AL", {row("a", "100", "1", "0.8999999999")});
        b.kp = b.kq = "1";
        cases.push_back({"barely short of the target cosφ₂", {b}, {"相差甚小，上式代入各数的全部位数"}});
        b.rows = {row("a", "100", "1", "0.8")};
        b.installedQc = "75"; // the board's Qjs to the last digits but one
        cases.push_back({"installed Qc equal to Qjs", {b}, {"Q′ = Qjs − Qc = "}});
        b.installedQc = "100";
        cases.push_back({"more installed than Qjs", {b}, {"过补偿", "S′ = √(Pjs² + Q′²) = √(100² + (-25"}});
        b.installedQc.clear();
        b.cosTarget = "0.7";
        cases.push_back({"target reached", {b}, {"已达到 cosφ₂，无需补偿"}});
        b.rows = {row("a", "0", "0.8", "0.9"), row("b", "20", "0", "1")};
        cases.push_back({"no load at all", {b}, {"计算负荷为 0", "Sjs 为 0"}});
        b.rows = {row("单相照明", "10", "1", "0.9", "单相")};
        cases.push_back(
            {"single-phase row", {b}, {"Ijs = Pjs / (0.22 × cosφ) = 10 / (0.22 × 0.9) = 50.5050505050505 A"}});
        b.rows = {row("a", "1000", "1", "0.8")};
        b.series = {30, 50, 100};
        cases.push_back({"no transformer fits", {b}, {"（系列中最大的 100 kVA，大于上限 0.85，不满足）", "没有合适的变压器"}});
    }
    {
        Board sub = board("AP1", {row("a", "100", "0.8", "0.8"), row("b", "50", "1", "0.9", "单相")});
        Board main = board("AL", {row("c", "10", "1", "1"), {"", "", "", "", "单相", "AP1"}});
        cases.push_back({"a sub-board's row", {main, sub},
                         {"配电箱 AP1（按其同时系数后的计算负荷）", "tanφ = Qjs / Pjs = ", "Ijs = Sjs / 0.22 = "}});
    }
    for (const Case& c : cases) {
        const sheet::Sheet s = scheduleSheet(c.boards, 0);
        const QString text = sheet::toPlainText(s);
        for (const QString& line : c.lines)
            EXPECT_TRUE(text.contains(line)) << c.name << ": " << line.toStdString() << "\n" << text.toStdString();
        EXPECT_GT(checkEquations(text, c.name), 0);
        checkColumnSum(s, text, c.name);
    }
}

TEST(ScheduleSheet, ProblemsAreStatedAndRowsLeftOut)
{
    Board b = workedExample();
    b.rows.insert(b.rows.begin() + 1, row("坏行", "100", "1.5", "0.8"));
    b.kq = "abc";
    const QString text = sheet::toPlainText(scheduleSheet({b}, 0));
    for (const char* line : {"第 2 行：需要系数须在 0 与 1 之间", "未计入：需要系数须在 0 与 1 之间", "无功同时系数不是一个数",
                             "配电箱的计算负荷无法计算", "未计算无功补偿", "未选择变压器"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    checkEquations(text, "problems");

    const QString none = sheet::toPlainText(scheduleSheet({b}, 3));
    EXPECT_TRUE(none.contains(QStringLiteral("没有这个配电箱")));
}

// Up to twelve rows each is worked out and the sums written term by term;
// past that a few rows stand as examples and the sums are the table's.
TEST(ScheduleSheet, LongBoardsGiveExamplesAndColumnSums)
{
    for (const int rows : {12, 13, 200}) {
        Board b = board("AL", {});
        for (int i = 0; i < rows; ++i)
            b.rows.push_back(
                row("组" + std::to_string(i + 1), std::to_string(10 + i), "0.75", "0.85", i % 3 ? "" : "单相"));
        const sheet::Sheet s = scheduleSheet({b}, 0);
        const QString text = sheet::toPlainText(s);
        const std::string context = std::to_string(rows) + " rows";
        EXPECT_EQ(text.contains(QStringLiteral("上表计入各行 Pjs(kW) 列之和")), rows > 12) << context;
        EXPECT_EQ(text.contains(QStringLiteral("第 12 行")), rows <= 12) << context;
        checkEquations(text, context);
        checkColumnSum(s, text, context);
    }
}

// Every equation of the circuits' sheet holds, for every board of random
// schedules: tops and sub-boards, with lengths or none, slips among them.
TEST(CircuitSheet, RandomSchedulesStateTrueEquations)
{
    const bool print = qEnvironmentVariableIsSet("ELCARTA_PRINT_SHEETS");
    std::mt19937 rng(20261209);
    int checked = 0;
    for (int schedule = 0; schedule < 40; ++schedule) {
        const std::vector<Board> boards = randomSchedule(rng);
        for (std::size_t b = 0; b < boards.size(); ++b) {
            const QString text = sheet::toPlainText(circuitSheet(boards, b));
            const std::string context = "schedule " + std::to_string(schedule) + " board " + std::to_string(b) + "\n"
                + text.toStdString();
            if (print)
                std::cout << "==== " << context << "\n";
            checked += checkEquations(text, context);
            if (::testing::Test::HasFailure())
                return;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(ScheduleSheet, RandomSchedulesStateTrueEquations)
{
    const bool print = qEnvironmentVariableIsSet("ELCARTA_PRINT_SHEETS");
    std::mt19937 rng(20260317);
    int checked = 0;
    for (int schedule = 0; schedule < 60; ++schedule) {
        const std::vector<Board> boards = randomSchedule(rng);
        for (std::size_t b = 0; b < boards.size(); ++b) {
            const sheet::Sheet s = scheduleSheet(boards, b);
            const QString text = sheet::toPlainText(s);
            const std::string context = "schedule " + std::to_string(schedule) + " board " + std::to_string(b) + "\n"
                + text.toStdString();
            if (print)
                std::cout << "==== " << context << "\n";
            checked += checkEquations(text, context);
            checkColumnSum(s, text, context);
            if (::testing::Test::HasFailure())
                return;
        }
    }
    EXPECT_GT(checked, 1000);
}
