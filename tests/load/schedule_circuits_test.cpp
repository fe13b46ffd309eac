// The rows of the schedule as circuits: sized from what the engineer typed,
// down the chain of feeders from the transformer, and every cell that cannot
// be read named with its row while the load totals still count the row.

#include "schedule.h"
#include "schedule_table.h"
#include "schedule_text.h"

#include <gtest/gtest.h>

using namespace load;

namespace {

// name, Pe, Kx, cosφ, 相数, 子配电箱, 回路编号, 线缆, 敷设方式, 长度, 环境温度, 并列回路数, 指定In
ScheduleRow circuit(std::vector<std::string> cells)
{
    cells.resize(column::inputs);
    return {cells[0], cells[1], cells[2], cells[3], cells[4],  cells[5], cells[6],
            cells[7], cells[8], cells[9], cells[10], cells[11], cells[12]};
}

Board board(const char* name, std::vector<ScheduleRow> rows)
{
    Board b = Board::named(name);
    b.rows = std::move(rows);
    return b;
}

} // namespace

// The two cases worked by hand.
TEST(ScheduleCircuits, WorkedExamples)
{
    // A 45 kW motor at cosφ 0.85: Ijs = 45 / (√3 × 0.38 × 0.85) = 80.44 A, In 100 A (moulded case, I2 = 130 A).
    // YJV method E, three loaded, 40 °C (Kt 0.91), 3 circuits on a tray (Kg 0.82): 25 mm² gives 127 × 0.91 × 0.82
    // = 94.77 A < 100 A, 35 mm² gives 158 × 0.91 × 0.82 = 117.90 A; R′ = 0.524 × (1 + 0.00393 × 70) = 0.66815 Ω/km,
    // ΔU = √3 × 80.44 × 0.08 × (0.66815 × 0.85 + 0.08 × 0.52678) / 3.8 = 1.79 %.
    // A 2 kW lighting circuit at cosφ 0.9, single-phase: Ijs = 2 / (0.22 × 0.9) = 10.10 A, In 16 A; BV, B1,
    // 35 °C (Kt 0.94): 2.5 mm² (the least for copper) 24 × 0.94 = 22.56 A; R′ = 7.41 × (1 + 0.00393 × 50)
    // = 8.866 Ω/km, ΔU = 2 × 10.10 × 0.04 × (8.866 × 0.9 + 0.08 × 0.43589) / 2.2 = 2.94 %.
    const std::vector<Board> boards{board("AP", {circuit({"电动机", "45", "1", "0.85", "", "", "", "YJV", "E", "80", "40", "3"}),
                                                 circuit({"照明", "2", "1", "0.9", "单相", "", "", "BV", "B1", "40", "35"})})};
    const BoardResult r = evaluate(boards, 0);
    ASSERT_TRUE(r.rows[0].circuit && r.rows[1].circuit) << r.rows[0].circuitNote << r.rows[1].circuitNote;
    const auto cell = [&](std::size_t row, int column) { return shownCell(boards[0].rows[row], row, &r.rows[row], column); };
    const struct {
        std::size_t row;
        int column;
        const char* text;
    } expected[] = {
        {0, column::Number, "WL1"},
        {0, column::In, "100"},
        {0, column::Designation, "YJV-4×35+1×16"},
        {0, column::Iz, "117.90"},
        {0, column::Drop, "1.79"},
        {1, column::Number, "WL2"},
        {1, column::In, "16"},
        {1, column::Designation, "BV-3×2.5"},
        {1, column::Iz, "22.56"},
        {1, column::Drop, "2.94"},
        {1, column::Method, "B1"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(cell(e.row, e.column), e.text) << "row " << e.row + 1 << ", " << columnOf(e.column).heading;
    EXPECT_NEAR(r.rows[0].load.i, 80.44, 0.005);
    EXPECT_NEAR(r.rows[1].load.i, 10.10, 0.005);
}

// Down a chain: 末端ΔU is the busbar's ΔU plus the circuit's own, a busbar's
// ΔU is its feeder's 末端ΔU, and the short-circuit current falls board by board.
TEST(ScheduleCircuits, AChainAddsItsDropsAndLosesCurrent)
{
    const std::vector<Board> boards{
        board("总箱", {circuit({"", "", "", "", "", "AP1", "", "YJV", "", "60"}), circuit({"风机", "15", "1", "0.8", "", "", "", "", "", "25"})}),
        board("AP1", {circuit({"", "", "", "", "", "AP2", "", "YJV", "", "40"}), circuit({"水泵", "11", "1", "0.8", "", "", "", "", "", "30"})}),
        board("AP2", {circuit({"照明", "3", "1", "0.9", "单相", "", "", "BV", "", "35"})}),
    };
    const std::vector<BoardResult> all = evaluateAll(boards);
    for (std::size_t b = 0; b < boards.size(); ++b) {
        SCOPED_TRACE(boards[b].name);
        ASSERT_TRUE(all[b].origin) << all[b].originNote;
        for (const RowResult& row : all[b].rows) {
            ASSERT_TRUE(row.circuit && row.circuit->drop && row.circuit->farEnd) << row.circuitNote;
            EXPECT_DOUBLE_EQ(row.circuit->drop->end, all[b].origin->drop + row.circuit->drop->own);
            EXPECT_LT(row.circuit->farEnd->ik3, all[b].origin->ik3);
        }
    }
    EXPECT_FALSE(all[0].feeder);
    ASSERT_TRUE(all[1].feeder && all[2].feeder);
    EXPECT_EQ(all[1].feeder->board, 0u);
    EXPECT_DOUBLE_EQ(all[1].origin->drop, all[0].rows[0].circuit->drop->end);
    EXPECT_DOUBLE_EQ(all[2].origin->drop, all[1].rows[0].circuit->drop->end);
    EXPECT_GT(all[0].origin->ik3, all[1].origin->ik3);
    EXPECT_GT(all[1].origin->ik3, all[2].origin->ik3);
    // One board alone works out what the whole schedule does.
    EXPECT_DOUBLE_EQ(evaluate(boards, 2).origin->ik3, all[2].origin->ik3);
}

// A circuit cell that cannot be read leaves the row out of the circuits, not
// of the totals, and says which cell and why; a current no section carries
// is a sentence too.
TEST(ScheduleCircuits, BadCircuitCellsAreNamed)
{
    const struct {
        const char* name;
        std::vector<std::string> cells;
        Cell cell;
        const char* reason;
    } cases[] = {
        {"cable", {"a", "10", "1", "0.8", "", "", "", "XYZ"}, Cell::Cable, "线缆须为 BV、VV、YJV 或 YJLV"},
        {"method", {"a", "10", "1", "0.8", "", "", "", "", "Z9"}, Cell::Method, "敷设方式须为 A1、B1、C 或 E"},
        {"length", {"a", "10", "1", "0.8", "", "", "", "", "", "-3"}, Cell::Length, "长度不能为负"},
        {"temperature", {"a", "10", "1", "0.8", "", "", "", "BV", "", "", "65"}, Cell::Ambient,
         "环境温度须在 10～60 ℃ 之间（PVC 绝缘，表B.52.14）"},
        {"circuits", {"a", "10", "1", "0.8", "", "", "", "", "", "", "", "0"}, Cell::Circuits, "并列回路数须为不小于 1 的整数"},
        {"breaker", {"a", "10", "1", "0.8", "", "", "", "", "", "", "", "", "x"}, Cell::Breaker, "指定In不是一个数"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BoardResult r = evaluate({board("AL", {circuit(c.cells)})}, 0);
        ASSERT_EQ(r.rows[0].circuitProblems.size(), 1u);
        EXPECT_EQ(r.rows[0].circuitProblems[0], (Problem{c.cell, c.reason}));
        EXPECT_FALSE(r.rows[0].circuit);
        EXPECT_EQ(r.circuitsLeftOut, std::vector<std::size_t>{0});
        ASSERT_TRUE(r.totals);
        EXPECT_EQ(r.totals->installed, 10) << "the load still counts";
    }
    const ScheduleRow huge = circuit({"大电机", "2000", "1", "0.8", "", "", "", "VV", "A1"});
    const BoardResult big = evaluate({board("AL", {huge})}, 0);
    EXPECT_FALSE(big.rows[0].circuit);
    EXPECT_EQ(shownCell(huge, 0, &big.rows[0], column::Check), big.rows[0].circuitNote);
    EXPECT_FALSE(big.rows[0].circuitNote.empty());
}

// A typed In below Ijs says so in 校验; a length left out says the circuit
// was sized by current alone.
TEST(ScheduleCircuits, ChecksSayWhatFails)
{
    const std::vector<Board> boards{board("AL", {circuit({"a", "30", "1", "0.8", "", "", "", "", "", "20", "", "", "10"}),
                                                 circuit({"b", "3", "1", "0.8"})})};
    const BoardResult r = evaluate(boards, 0);
    ASSERT_TRUE(r.rows[0].circuit && r.rows[1].circuit);
    EXPECT_NE(r.rows[0].circuit->check.find("指定In 10 A 小于 Ijs"), std::string::npos) << r.rows[0].circuit->check;
    EXPECT_NE(r.rows[1].circuit->check.find("未给长度"), std::string::npos) << r.rows[1].circuit->check;
}
