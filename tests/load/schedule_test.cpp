#include "schedule.h"
#include "schedule_text.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace load;

namespace {

ScheduleRow row(const char* name, const char* pe, const char* kx, const char* cos, const char* phases = "")
{
    return {name, pe, kx, cos, phases, ""};
}

ScheduleRow boardRow(const char* board) { return {"", "", "", "", "", board}; }

Board board(const char* name, std::vector<ScheduleRow> rows, const char* kp = "0.9", const char* kq = "0.95")
{
    Board b;
    b.name = name;
    b.rows = std::move(rows);
    b.kp = kp;
    b.kq = kq;
    return b;
}

// A board of n random groups: Pe up to 200 kW, Kx and cosφ over their whole ranges.
std::vector<ScheduleRow> randomRows(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> pe(0, 200), factor(0, 1);
    std::vector<ScheduleRow> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({"组" + std::to_string(i), std::to_string(pe(rng)), std::to_string(factor(rng)),
                        std::to_string(0.05 + 0.95 * factor(rng)), i % 4 == 0 ? "单相" : "", ""});
    return rows;
}

void expectNear(double a, double b) { EXPECT_NEAR(a, b, 1e-9 * std::max(1.0, std::abs(b))); }

void expectSameTotals(const BoardResult& a, const BoardResult& b)
{
    ASSERT_TRUE(a.totals && b.totals);
    expectNear(a.totals->installed, b.totals->installed);
    expectNear(a.totals->load.p, b.totals->load.p);
    expectNear(a.totals->load.q, b.totals->load.q);
    expectNear(a.totals->load.i, b.totals->load.i);
}

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }
bool finite(const Load& l) { return std::isfinite(l.p + l.q + l.s + l.i) && finite(l.cos); }

bool allFinite(const BoardResult& r)
{
    for (const RowResult& row : r.rows)
        if (!finite(row.load) || !finite(row.pe) || !finite(row.kx) || !finite(row.cos) || !finite(row.tan))
            return false;
    if (r.totals && (!finite(r.totals->load) || !finite(r.totals->tan)
                     || !std::isfinite(r.totals->sumP + r.totals->sumQ + r.totals->installed)))
        return false;
    if (r.compensation && (!finite(r.compensation->load) || !std::isfinite(r.compensation->used)))
        return false;
    return !r.transformer || (finite(r.transformer->rating) && finite(r.transformer->beta));
}

} // namespace

TEST(Schedule, WorkedExampleOfTheHandbook)
{
    const std::vector<Board> boards{board("AL1", {row("照明", "120", "0.8", "0.9"), row("空调", "300", "0.7", "0.8"),
                                                  row("水泵", "90", "0.7", "0.8"), row("电梯", "60", "0.5", "0.6")})};
    const BoardResult r = evaluate(boards, 0);
    ASSERT_TRUE(r.problems.empty() && r.excluded.empty());
    ASSERT_TRUE(r.totals && r.compensation && r.transformer);
    const Totals& t = *r.totals;
    EXPECT_EQ(shown(t.sumP, 2), "399.00");
    EXPECT_EQ(shown(t.sumQ, 2), "291.24");
    EXPECT_EQ(shown(t.load.p, 2), "359.10");
    EXPECT_EQ(shown(t.load.q, 2), "276.68");
    EXPECT_EQ(shown(t.load.s, 2), "453.33");
    EXPECT_EQ(shown(*t.load.cos, 3), "0.792");
    EXPECT_EQ(shown(t.load.i, 1), "688.8");
    EXPECT_EQ(shown(r.compensation->required, 2), "102.76");
    EXPECT_EQ(shown(r.compensation->load.s, 2), "399.00");
    EXPECT_EQ(shown(*r.compensation->load.cos, 2), "0.90");
    EXPECT_EQ(r.transformer->rating, 500);
    EXPECT_EQ(shown(*r.transformer->beta, 2), "0.80");
    EXPECT_EQ(shown(r.rows[0].load.q, 2), "46.49");
    EXPECT_EQ(shown(*r.rows[3].tan, 3), "1.333");
}

TEST(Schedule, TotalsDoNotDependOnRowOrder)
{
    std::mt19937 rng(7);
    std::vector<ScheduleRow> rows = randomRows(rng, 60);
    rows[5].kx = "1.5"; // left out wherever it goes
    const BoardResult first = evaluate({board("AL", rows)}, 0);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(rows.begin(), rows.end(), rng);
        const BoardResult shuffled = evaluate({board("AL", rows)}, 0);
        expectSameTotals(shuffled, first);
        EXPECT_EQ(shuffled.excluded.size(), 1u);
    }
}

TEST(Schedule, BoardRowCountsAsItsRowsTypedIn)
{
    std::mt19937 rng(11);
    const std::vector<ScheduleRow> sub = randomRows(rng, 12), more = randomRows(rng, 5), deeper = randomRows(rng, 4);
    std::vector<ScheduleRow> subWithDeeper = sub, inline_ = more;
    subWithDeeper.push_back(boardRow(" AP-2 ")); // names are matched without the spaces around
    inline_.insert(inline_.end(), sub.begin(), sub.end());
    inline_.insert(inline_.end(), deeper.begin(), deeper.end());
    std::vector<ScheduleRow> parent = more;
    parent.insert(parent.begin() + 2, boardRow("AP-1"));

    const std::vector<Board> boards{board("总箱", parent, "1", "1"), board("AP-1", subWithDeeper, "1", "1"),
                                    board("AP-2", deeper, "1", "1"), board("inline", inline_, "1", "1")};
    const std::vector<BoardResult> all = evaluateAll(boards);
    expectSameTotals(all[0], all[3]);
    expectSameTotals(evaluate(boards, 0), all[3]);

    // Under its own KΣ a sub-board's row is its totals before compensation.
    const std::vector<Board> factored{board("总箱", {boardRow("AP-1")}), board("AP-1", sub, "0.8", "0.85")};
    const BoardResult parentResult = evaluate(factored, 0), subResult = evaluate(factored, 1);
    expectNear(parentResult.rows[0].load.p, subResult.totals->load.p);
    expectNear(parentResult.rows[0].load.q, subResult.totals->load.q);
    expectNear(*parentResult.rows[0].pe, subResult.totals->installed);
}

TEST(Schedule, BoardContainingItselfIsRefused)
{
    struct Case {
        const char* name;
        std::vector<Board> boards;
        std::vector<std::vector<std::size_t>> excluded; // per board
    };
    const ScheduleRow lamp = row("灯", "10", "1", "1");
    const Case cases[] = {
        {"directly", {board("A", {lamp, boardRow("A")})}, {{1}}},
        {"through another", {board("A", {boardRow("B"), lamp}), board("B", {lamp, boardRow("A")})}, {{0}, {1}}},
        {"through two", {board("A", {boardRow("B")}), board("B", {boardRow("C")}), board("C", {boardRow("A"), lamp})},
         {{0}, {0}, {0}}},
        {"a shared sub-board is no loop",
         {board("A", {boardRow("B"), boardRow("C")}), board("B", {boardRow("D")}), board("C", {boardRow("D")}),
          board("D", {lamp})},
         {{}, {}, {}, {}}},
    };
    for (const Case& c : cases) {
        const std::vector<BoardResult> all = evaluateAll(c.boards);
        for (std::size_t b = 0; b < c.boards.size(); ++b) {
            EXPECT_EQ(all[b].excluded, c.excluded[b]) << c.name << " board " << b;
            EXPECT_EQ(evaluate(c.boards, b).excluded, c.excluded[b]) << c.name << " alone, board " << b;
            for (std::size_t i : c.excluded[b])
                EXPECT_EQ(all[b].rows[i].problems.at(0).cell, Cell::Board) << c.name;
        }
    }
    EXPECT_EQ(evaluate(cases[0].boards, 0).rows[1].problems[0].reason, "配电箱不能包含自身");
    EXPECT_EQ(evaluate(cases[1].boards, 0).rows[0].problems[0].reason, "配电箱“B”又包含本配电箱，形成循环");
    // D's lamp reaches A along both paths.
    EXPECT_EQ(evaluate(cases[3].boards, 0).totals->installed, 20);
}

TEST(Schedule, BadRowsAreReportedWithTheirIndexes)
{
    struct Case {
        ScheduleRow row;
        Cell cell; // of the first problem
        const char* reason;
    };
    const Case cases[] = {
        {row("a", "十", "0.5", "0.8"), Cell::Pe, "设备容量不是一个数"},
        {row("b", "10", "", "0.8"), Cell::Kx, "需要系数未填写"},
        {row("c", "10", "1.2", "0.8"), Cell::Kx, "需要系数须在 0 与 1 之间"},
        {row("d", "10", "0.5", "0"), Cell::Cos, "功率因数须大于 0 且不大于 1"},
        {row("e", "10", "0.5", "1.01"), Cell::Cos, "功率因数须大于 0 且不大于 1"},
        {row("f", "-5", "0.5", "0.8"), Cell::Pe, "设备容量不能为负"},
        {row("g", "10", "0.5", "0.8", "两相"), Cell::Phases, "相数须为三相或单相"},
        {boardRow("AP-9"), Cell::Board, "没有名为“AP-9”的配电箱"},
        {row("h", "1E308", "1", "1E-300"), Cell::Pe, "数值过大，无法计算"},
        {row("i", "1E999", "1", "1"), Cell::Pe, "设备容量超出可计算的范围"},
    };
    std::vector<ScheduleRow> rows{row("good", "10", "0.5", "0.8"), row("", "", "", "　")}; // the second is blank
    for (const Case& c : cases)
        rows.push_back(c.row);
    const BoardResult r = evaluate({board("AL", rows)}, 0);
    std::vector<std::size_t> expected(std::size(cases));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("row " + (cases[i].row.name.empty() ? "for board " + cases[i].row.board : cases[i].row.name));
        expected[i] = i + 2;
        EXPECT_FALSE(r.rows[i + 2].problems.empty());
        if (!r.rows[i + 2].problems.empty()) {
            EXPECT_EQ(r.rows[i + 2].problems[0], (Problem{cases[i].cell, cases[i].reason}));
        }
    }
    EXPECT_EQ(r.excluded, expected);
    EXPECT_TRUE(r.rows[1].blank);
    EXPECT_EQ(r.totals->sumP, 5);
    EXPECT_EQ(rowNote(4, r.rows[4].problems[0]), "第 5 行：需要系数须在 0 与 1 之间");
}

TEST(Schedule, BoardFactorsOutOfRangeFailTheBoard)
{
    struct Case {
        const char* name;
        void (*edit)(Board&);
        Cell cell;
        bool totals;
    };
    const Case cases[] = {
        {"KΣp 0", [](Board& b) { b.kp = "0"; }, Cell::Kp, false},
        {"KΣq 1.1", [](Board& b) { b.kq = "1.1"; }, Cell::Kq, false},
        {"cosφ₂ blank", [](Board& b) { b.cosTarget = ""; }, Cell::CosTarget, true},
        {"Qc negative", [](Board& b) { b.installedQc = "-10"; }, Cell::InstalledQc, true},
        {"β limit 1.5", [](Board& b) { b.betaMax = "1.5"; }, Cell::BetaMax, true},
        {"n 1.5", [](Board& b) { b.transformers = "1.5"; }, Cell::Transformers, true},
        {"n 0", [](Board& b) { b.transformers = "0"; }, Cell::Transformers, true},
        {"no ratings", [](Board& b) { b.series.clear(); }, Cell::Series, true},
        {"NaN rating", [](Board& b) { b.series.push_back(std::nan("")); }, Cell::Series, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Board b = board("AL", {row("a", "100", "0.8", "0.8")});
        c.edit(b);
        const BoardResult r = evaluate({b}, 0);
        EXPECT_EQ(r.problems.size(), 1u);
        if (!r.problems.empty()) {
            EXPECT_EQ(r.problems[0].cell, c.cell);
        }
        EXPECT_EQ(r.totals.has_value(), c.totals);
        EXPECT_FALSE(r.transformer);
    }
}

TEST(Schedule, CompensationAndTransformer)
{
    Board b = board("AL", {row("a", "100", "1", "0.8")}, "1", "1"); // 100 kW, 75 kvar
    EXPECT_NEAR(evaluate({b}, 0).compensation->required, 100 * (0.75 - std::sqrt(1 - 0.81) / 0.9), 1e-9);
    b.cosTarget = "0.7"; // reached already
    EXPECT_EQ(evaluate({b}, 0).compensation->required, 0);
    b.installedQc = "100"; // more than the board's 75 kvar
    const BoardResult over = evaluate({b}, 0);
    EXPECT_EQ(over.compensation->used, 100);
    EXPECT_TRUE(over.compensation->leading);
    EXPECT_NEAR(over.compensation->load.s, std::hypot(100, 25), 1e-9);

    b.installedQc = "75";                 // S′ 100 kVA
    b.series = {2500, 100, 125, 50, 125}; // in any order
    b.betaMax = "0.8";
    EXPECT_EQ(evaluate({b}, 0).transformer->rating, 125); // β 0.8 exactly is allowed
    b.transformers = "2";
    EXPECT_EQ(evaluate({b}, 0).transformer->rating, 100);
    b.series = {30, 50};
    const TransformerChoice none = *evaluate({b}, 0).transformer;
    EXPECT_FALSE(none.rating);
    EXPECT_EQ(none.note, "容量系列中最大的 50 kVA 负荷率为 1.00，超过上限 0.8，没有合适的变压器");
}

TEST(ScheduleText, CellsAndPhases)
{
    const std::pair<const char*, double> numbers[] = {
        {"0.8", 0.8}, {"　０．８５　", 0.85}, {" －１２ ", -12}, {"1,200", 1200}, {"\t3.5\u00A0", 3.5},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(readCell(text).value(), value) << text;
    for (const char* text : {"", "　", "0.8kW", "八", "1..2", "0。8"})
        EXPECT_FALSE(readCell(text).ok()) << text;
    for (const char* text : {"", "三相", "3", "３Ｐ", "3p", " 三 "})
        EXPECT_EQ(readPhases(text), Phases::Three) << text;
    for (const char* text : {"单相", "1", "1P", "单"})
        EXPECT_EQ(readPhases(text), Phases::Single) << text;
    for (const char* text : {"2", "两相", "3PN", "single"})
        EXPECT_FALSE(readPhases(text)) << text;
}

// Every full-width digit, as a Chinese input method types it, is its digit
// (U+FF10 onwards); a no-break space copied from a web page before a cell is
// a space. Pasted so, the row counts with its figures.
TEST(ScheduleText, FullWidthDigitsAndNoBreakSpacesAsPasted)
{
    for (int d = 0; d <= 9; ++d) {
        const std::string wide{'\xEF', '\xBC', static_cast<char>(0x90 + d)};
        EXPECT_EQ(readCell(wide).value(), d) << "full-width " << d;
        EXPECT_EQ(readCell("1" + wide).value(), 10 + d) << "full-width " << d << " after a 1";
    }
    const std::vector<ScheduleRow> rows = pasteRows("\u00A0水泵\t\u00A0９0\t\u00A0０.７\t０.９\n");
    ASSERT_EQ(rows.size(), 1u);
    const BoardResult r = evaluate({board("AL", rows, "1", "1")}, 0);
    EXPECT_TRUE(r.rows[0].problems.empty()) << r.rows[0].problems.at(0).reason;
    EXPECT_EQ(r.rows[0].pe, 90);
    EXPECT_EQ(r.rows[0].kx, 0.7);
    EXPECT_EQ(r.rows[0].cos, 0.9);
}

TEST(ScheduleText, ShownRoundsTheDecimalText)
{
    const std::tuple<double, int, const char*> cases[] = {
        {0.285, 2, "0.29"},   {1.005, 2, "1.01"},     {2.675, 2, "2.68"},  {-0.005, 2, "-0.01"},
        {-0.001, 2, "0.00"},  {-0.0, 1, "0.0"},       {0.5, 0, "1"},       {-2.5, 0, "-3"},
        {999.995, 2, "1000.00"}, {688.76, 1, "688.8"}, {1e20, 2, "100000000000000000000.00"},
        {1e-300, 3, "0.000"}, {0.0005, 3, "0.001"},   {0.00049, 3, "0.000"}, {0.792, 3, "0.792"},
    };
    for (const auto& [value, decimals, text] : cases)
        EXPECT_EQ(shown(value, decimals), text) << value;
}

TEST(ScheduleText, PasteSkipsHeaderAndBlankLines)
{
    struct Case {
        const char* name;
        const char* text;
        std::vector<ScheduleRow> rows;
    };
    const Case cases[] = {
        {"header, CR LF, trailing newline", "名称\t设备容量(kW)\tKx\tcosφ\r\n照明\t120\t0.8\t0.9\r\n",
         {row("照明", "120", "0.8", "0.9")}},
        {"latin header, blank lines", "\n Name\tPe\tKx\tcos\tphases\n\n\t\t\n水泵\t90\t0.7\t0.8\t单相\n",
         {row("水泵", "90", "0.7", "0.8", "单相")}},
        {"only the first line is a header", "a\t1\t1\t1\n名称\t容量\tKx\tcos",
         {row("a", "1", "1", "1"), row("名称", "容量", "Kx", "cos")}},
        {"text cells without a heading's word", "a\tb\tc\td", {row("a", "b", "c", "d")}},
        {"quoted cells, BOM, board column", "\xEF\xBB\xBF\"a\tb\"\t\"1\n2\"\t\"say \"\"x\"\"\"\t\t\tAP-1",
         {{"a\tb", "1\n2", "say \"x\"", "", "", "AP-1"}}},
        {"the circuit's columns, then one more", "a\t1\t1\t1\t单相\t\tWL9\tBV\tB1\t40\t30\t2\t16\textra",
         {{"a", "1", "1", "1", "单相", "", "WL9", "BV", "B1", "40", "30", "2", "16"}}},
        {"short line", "x\t5", {row("x", "5", "", "")}},
        {"tab-only lines between rows", "照明\t1\t1\t1\n\t\n\t\t\t\r\n水泵\t2\t1\t1\n\t",
         {row("照明", "1", "1", "1"), row("水泵", "2", "1", "1")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pasteRows(c.text), c.rows) << c.name;
}

TEST(ScheduleText, PasteOfCopyGivesTheRowsBack)
{
    std::mt19937 rng(3);
    const char* pieces[] = {"照明", "a", "\t", "\"", "\n", "\r\n", " ", "　", "0.8", "12", "-", "\xEF\xBB\xBF",
                            "名称", "Kx", "<b>&"};
    const auto cell = [&](int maxPieces) {
        std::string s;
        for (int n = std::uniform_int_distribution<int>(0, maxPieces)(rng); n > 0; --n)
            s += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(rng)];
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<ScheduleRow> rows;
        for (int n = std::uniform_int_distribution<int>(0, 6)(rng); n > 0; --n) {
            ScheduleRow r{cell(4), cell(2), cell(2), cell(2), cell(1), rng() % 3 ? "" : cell(2)};
            if (!isBlank(r.name) || !isBlank(r.pe) || !isBlank(r.kx) || !isBlank(r.cos) || !isBlank(r.phases)
                || !isBlank(r.board))
                rows.push_back(r);
        }
        const std::string tsv = copyTsv(rows);
        ASSERT_EQ(pasteRows(tsv), rows) << tsv;
    }
}

TEST(ScheduleText, HtmlTableIsEscaped)
{
    const std::vector<Board> boards{board("AL", {row("<灯&\"插座\">", "10", "0.8", "0.8", "1P"), row("x", "y", "", "")})};
    const std::string html = copyHtml(boards[0].rows, evaluate(boards, 0).rows);
    EXPECT_NE(html.find("<tr><th>用电设备组</th><th>设备容量Pe(kW)</th><th>需要系数Kx</th><th>功率因数cosφ</th>"
                        "<th>相数</th><th>tanφ</th>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>&lt;灯&amp;&quot;插座&quot;&gt;</td><td>10</td><td>0.8</td><td>0.8</td><td>单相</td>"
                        "<td>0.750</td><td>8.00</td><td>6.00</td><td>10.00</td><td>45.5</td>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>x</td><td>y</td><td></td><td></td><td>三相</td><td></td>"), std::string::npos);
}

TEST(Schedule, NoCellGivesAnInfiniteOrNaNFigure)
{
    std::mt19937 rng(5);
    const char* pieces[] = {"1", "9", "0", ".", "-", "E", "308", "-320", "e154", "０", "．", "　", ",", "x", "1E308",
                            "0.0000001"};
    const auto cell = [&] {
        std::string s;
        for (int n = std::uniform_int_distribution<int>(0, 4)(rng); n > 0; --n)
            s += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(rng)];
        return s;
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<Board> boards(2);
        for (int r = 0; r < 8; ++r)
            boards[0].rows.push_back({"", cell(), cell(), cell(), "", ""});
        boards[1].rows = {boardRow(""), boardRow("x")};
        boards[0].name = "x";
        for (std::string* c : {&boards[1].kp, &boards[1].kq, &boards[1].cosTarget, &boards[1].installedQc,
                               &boards[1].betaMax, &boards[1].transformers})
            *c = rng() % 2 ? cell() : "1";
        for (const BoardResult& r : evaluateAll(boards))
            ASSERT_TRUE(allFinite(r)) << round;
        const numeric::Num n = readCell(boards[0].rows[0].pe);
        ASSERT_TRUE(!n.ok() || std::isfinite(n.value()));
    }
}
