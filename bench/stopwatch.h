#pragma once
// The clock of the start-up benchmark, read by the harness and by the probes
// it starts. QElapsedTimer's monotonic clock is system-wide (CLOCK_MONOTONIC
// on Linux, the performance counter on Windows), so a time read in a probe can
// be set against the moment the harness started it.
//
// QElapsedTimer gives nanoseconds only as the time elapsed since its start,
// and the clock's own reading only in whole milliseconds. A process therefore
// times everything from an origin of its own, taken first thing, and finds
// where that origin lies on the shared clock once, when nothing is timed any
// more: it waits for the next millisecond to begin and sets the time elapsed
// since its origin against that instant.

#include <QElapsedTimer>
#include <algorithm>
#include <cstdint>

namespace bench {

class Clock {
public:
    Clock() { origin_.start(); }

    // Nanoseconds since this process's origin.
    std::int64_t sinceOrigin() const { return origin_.nsecsElapsed(); }

    // The origin on the shared clock, in nanoseconds, to within a couple of
    // readings of the clock. Spins for a few milliseconds: call it outside
    // what is timed.
    std::int64_t originNs() const
    {
        // A delay between noticing the new millisecond and reading the time
        // since the origin (another process taking the processor) can only
        // make the origin look earlier, so the latest of a few is kept.
        std::int64_t latest = 0;
        for (int attempt = 0; attempt < 5; ++attempt) {
            QElapsedTimer edge;
            edge.start();
            const qint64 before = edge.msecsSinceReference();
            do
                edge.start();
            while (edge.msecsSinceReference() == before);
            const std::int64_t elapsed = origin_.nsecsElapsed();
            const std::int64_t origin = static_cast<std::int64_t>(edge.msecsSinceReference()) * 1'000'000 - elapsed;
            latest = attempt == 0 ? origin : std::max(latest, origin);
        }
        return latest;
    }

private:
    QElapsedTimer origin_;
};

} // namespace bench
