#pragma once
// The rows of the schedule as circuits: each row's circuit cells read, each
// board's busbar worked out down the chain of feeders from the transformer at
// the top, and every row sized from its board's busbar. For schedule.cpp,
// which works out the loads first. Pure standard C++.

#include "schedule.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace load {

class Chain {
public:
    // A board's result with its loads worked out.
    using Loads = std::function<BoardResult&(std::size_t board)>;
    // For each row of a board, the board it stands for (an index beyond the
    // boards for a row that stands for none, or none that is known).
    using Refs = std::function<const std::vector<std::size_t>&(std::size_t board)>;

    Chain(const std::vector<Board>& boards, Loads loads, Refs refs);

    // Sizes every row of the board as a circuit, once.
    void size(std::size_t board);

private:
    struct State {
        bool sized = false;
        bool settingsRead = false;
        std::optional<circuits::Board> settings;
        enum class Origin { Unknown, Working, Known } origin = Origin::Unknown;
        std::vector<bool> rowSized;
    };

    State& state(std::size_t board);
    const circuits::Board* settings(std::size_t board);
    // The busbar of the board, or nullptr with BoardResult::originNote set.
    const circuits::Origin* origin(std::size_t board);
    std::optional<BoardResult::Feeder> feederOf(std::size_t board);
    void sizeRow(std::size_t board, std::size_t row);

    const std::vector<Board>& boards_;
    Loads loads_;
    Refs refs_;
    std::vector<State> states_;
    // For each board, the rows of other boards that stand for it, in board order.
    std::optional<std::vector<std::vector<BoardResult::Feeder>>> fedBy_;
};

} // namespace load
