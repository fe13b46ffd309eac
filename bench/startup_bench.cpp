// Start-up benchmark: runs the program probe and the bare Qt program one
// after the other, alternating, and sets their times and memory side by side.
//
//   elcarta_bench_startup [--runs N] [--verbose] [--program PATH] [--bare PATH]
//
// Each probe reports its times on the clock of bench/clock.h, which the
// harness reads too; the start-up time runs from the moment just before the
// harness starts the process to the menu's first complete paint. On Linux
// without a display the probes draw offscreen (QT_QPA_PLATFORM=offscreen);
// with DISPLAY set they use that X server; on Windows, Windows' own platform
// unless QT_QPA_PLATFORM says otherwise.

#include "stopwatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// The harness's own origin and where it lies on the clock the probes read.
const bench::Clock harnessClock;
std::int64_t harnessOriginNs = 0;

constexpr double ms = 1e6; // nanoseconds in a millisecond

const char* const windows[] = {"fhjs", "zdjs", "fljs", "XCJS"};

struct Handler {
    std::string name;
    int runs = 0;
    double medianNs = 0, p99Ns = 0, maxNs = 0, firstNs = 0;
};

struct Run {
    std::string error;
    std::int64_t spawn = 0, main = 0, app = 0, menu = 0;
    std::map<std::string, std::array<double, 2>> open; // ns from click to painted, first and second visit
    std::map<std::string, std::string> widgets;
    std::vector<std::string> clickOrder;
    std::map<std::string, std::array<double, 2>> clicks; // ns from click to painted: median of a run, first click
    long rssKb = 0;
    std::vector<Handler> handlers;
    bool done = false;
};

Run failed(std::string why)
{
    Run r;
    r.error = std::move(why);
    return r;
}

Run parse(const std::string& output, std::int64_t spawn)
{
    Run r;
    r.spawn = spawn;
    bool clocked = false;
    std::int64_t origin = 0;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') // a Windows probe's text-mode stdout
            line.pop_back();
        std::istringstream in(line);
        std::string what;
        in >> what;
        if (what == "main")
            in >> r.main;
        else if (what == "app")
            in >> r.app;
        else if (what == "menu")
            in >> r.menu;
        else if (what == "open") {
            std::string window;
            int visit = 0;
            long long click = 0, painted = 0;
            in >> window >> visit >> click >> painted;
            if (visit == 1 || visit == 2)
                r.open[window][visit - 1] = static_cast<double>(painted - click);
        } else if (what == "widgets") {
            std::string window, rest;
            in >> window;
            std::getline(in, rest);
            r.widgets[window] = rest;
        } else if (what == "click") {
            std::string name;
            int count = 0;
            double median = 0, first = 0;
            in >> name >> count >> median >> first;
            r.clickOrder.push_back(name);
            r.clicks[name] = {median, first};
        } else if (what == "rss")
            in >> r.rssKb;
        else if (what == "handler") {
            Handler h;
            in >> h.name >> h.runs >> h.medianNs >> h.p99Ns >> h.maxNs >> h.firstNs;
            r.handlers.push_back(h);
        } else if (what == "clock")
            clocked = static_cast<bool>(in >> origin);
        else if (what == "done")
            r.done = true;
        else if (what == "error")
            r.error = line;
    }
    if (r.error.empty() && !(r.done && clocked))
        r.error = "the probe stopped before it finished";
    // The probe's times, since its own origin, onto the clock the harness read.
    r.main += origin;
    r.app += origin;
    r.menu += origin;
    return r;
}

Run runOnce(const std::string& exe, bool verbose)
{
    QProcess probe;
    probe.setProgram(QString::fromStdString(exe));
    if (verbose)
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        probe.setStandardErrorFile(QProcess::nullDevice());

    const std::int64_t spawn = harnessOriginNs + harnessClock.sinceOrigin();
    probe.start(QIODevice::ReadOnly);
    if (!probe.waitForStarted(30'000))
        return failed(exe + ": " + probe.errorString().toStdString());

    // Reading the probe's lines as they come, so that its pipe never fills.
    const bool finished = probe.waitForFinished(120'000);
    if (!finished) {
        probe.kill();
        probe.waitForFinished(10'000);
    }
    Run r = parse(probe.readAllStandardOutput().toStdString(), spawn);
    if (!finished)
        r.error = "timed out after 120 s";
    else if (r.error.empty() && !(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0))
        r.error = probe.exitStatus() == QProcess::NormalExit ? "exited with status " + std::to_string(probe.exitCode())
                                                             : "crashed";
    return r;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <typename F>
double medianOf(const std::vector<Run>& runs, F value)
{
    std::vector<double> v;
    for (const Run& r : runs)
        v.push_back(value(r));
    return median(v);
}

// The median of program ÷ bare over the pairs of runs made one right after
// the other: a machine that is slower for a while slows both of a pair, so
// this moves less with it than the ratio of the two medians.
template <typename F> double pairedRatio(const std::vector<Run>& bareRuns, const std::vector<Run>& programRuns, F value)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < bareRuns.size() && i < programRuns.size(); ++i)
        v.push_back(value(programRuns[i]) / value(bareRuns[i]));
    return median(v);
}

std::string fixed(double v, int decimals)
{
    char s[64];
    std::snprintf(s, sizeof s, "%.*f", decimals, v);
    return s;
}

int met = 0, judged = 0;

// One row of the side-by-side table; a limit of 0 means no target. The
// ratio of the medians is judged; the paired ratio (NAN where there is none)
// is shown beside it.
void row(const std::string& what, double bare, double program, double paired, const char* unit, int decimals,
         double limit)
{
    const double ratio = program / bare;
    std::printf("%-44s %11s %11s %7s %7s", what.c_str(), (fixed(bare, decimals) + " " + unit).c_str(),
                (fixed(program, decimals) + " " + unit).c_str(), (fixed(ratio, 2) + "x").c_str(),
                std::isnan(paired) ? "" : (fixed(paired, 2) + "x").c_str());
    if (limit > 0) {
        const bool pass = ratio <= limit;
        ++judged;
        met += pass;
        std::printf("   <= %.2fx  %s", limit, pass ? "PASS" : "MISS");
    }
    std::printf("\n");
}

// A probe built next to the harness, with the harness's own suffix (".exe" on Windows).
std::string besideSelf(const char* name)
{
    const QFileInfo self(QCoreApplication::applicationFilePath());
    QString file = QString::fromLatin1(name);
    if (!self.suffix().isEmpty())
        file += "." + self.suffix();
    return QDir::toNativeSeparators(self.dir().filePath(file)).toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    harnessOriginNs = harnessClock.originNs();
    int runs = 15;
    bool verbose = false;
    std::string program = besideSelf("elcarta_bench_program");
    std::string bare = besideSelf("elcarta_bench_bare");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--verbose")
            verbose = true;
        else if (a == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (a == "--bare" && i + 1 < argc)
            bare = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--verbose] [--program PATH] [--bare PATH]\n", argv[0]);
            return 2;
        }
    }
    // The probes inherit the harness's environment. Windows always has its
    // own platform; Linux without an X display draws offscreen.
    const bool windowsHost = QSysInfo::kernelType() == "winnt";
    if (!windowsHost && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString platform = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                                 ? QString(windowsHost ? "windows" : "xcb")
                                 : qEnvironmentVariable("QT_QPA_PLATFORM");

    std::printf("Start-up benchmark: %d runs of each, alternating, after one warm-up run each; platform %s (%s)\n",
                runs, qPrintable(platform), qPrintable(QSysInfo::prettyProductName()));
    std::fflush(stdout);

    // The first run of each loads the libraries and fonts from disk; it is not counted.
    for (const std::string& exe : {bare, program}) {
        const Run warm = runOnce(exe, verbose);
        if (!warm.error.empty()) {
            std::fprintf(stderr, "%s: %s\n", exe.c_str(), warm.error.c_str());
            return 2;
        }
    }

    std::vector<Run> bareRuns, programRuns;
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so that neither always follows the other.
        for (int k = 0; k < 2; ++k) {
            const bool bareNow = (i + k) % 2 == 0;
            Run r = runOnce(bareNow ? bare : program, verbose);
            if (!r.error.empty()) {
                std::fprintf(stderr, "%s: %s\n", (bareNow ? bare : program).c_str(), r.error.c_str());
                return 2;
            }
            (bareNow ? bareRuns : programRuns).push_back(std::move(r));
        }
    }

    std::printf("\n%-44s %11s %11s %7s %7s   %s\n", "median of the runs", "bare", "program", "ratio", "paired",
                "target");
    // A row of both programs' medians of one measure; gives the two medians, for the sums.
    auto both = [&](const std::string& what, auto value, const char* unit, int decimals, double limit) {
        const double b = medianOf(bareRuns, value), p = medianOf(programRuns, value);
        row(what, b, p, pairedRatio(bareRuns, programRuns, value), unit, decimals, limit);
        return std::pair{b, p};
    };
    both(
        "start-up: process start to painted menu", [](const Run& r) { return (r.menu - r.spawn) / ms; }, "ms", 1, 1.05);
    both("  process start to main()", [](const Run& r) { return (r.main - r.spawn) / ms; }, "ms", 1, 0);
    both("  main() to QApplication ready", [](const Run& r) { return (r.app - r.main) / ms; }, "ms", 1, 0);
    both("  QApplication ready to painted menu", [](const Run& r) { return (r.menu - r.app) / ms; }, "ms", 1, 0);
    for (int visit = 0; visit < 2; ++visit) {
        double bareSum = 0, programSum = 0;
        for (const char* w : windows) {
            const auto [b, p] = both(
                std::string("open ") + w + (visit ? ", second: " : ", first: ") + "click to painted",
                [&](const Run& r) { return r.open.at(w)[visit] / ms; }, "ms", 2, visit ? 1.2 : 1.05);
            bareSum += b;
            programSum += p;
        }
        row(std::string("  four windows, ") + (visit ? "second" : "first") + " opening, summed", bareSum, programSum,
            NAN, "ms", 2, 0);
    }
    // A click on a button to its window painted after it: the median of each
    // run's clicks, then of the runs; the first click after the window opened
    // is shown, not judged.
    double bareClicks = 0, programClicks = 0;
    for (const std::string& k : programRuns.front().clickOrder) {
        auto clickMs = [&k](int which) { return [&k, which](const Run& r) { return r.clicks.at(k)[which] / ms; }; };
        const auto [b, p] = both("click " + k + " to painted", clickMs(0), "ms", 2, 1.05);
        bareClicks += b;
        programClicks += p;
        both("  its first click in the window", clickMs(1), "ms", 2, 0);
    }
    if (!programRuns.front().clickOrder.empty())
        row("  the clicks, summed", bareClicks, programClicks, NAN, "ms", 2, 0);
    both(
        "peak resident memory, every window opened", [](const Run& r) { return r.rssKb / 1024.0; }, "MiB", 1, 1.05);

    // A handler is judged by its usual click and by the first click after the
    // window opened (which pays for whatever Qt sets up lazily), each the
    // median over the runs; the slowest click of all is shown, not judged, as
    // on a shared machine it is mostly another process taking the processor.
    if (!programRuns.front().handlers.empty()) {
        std::printf("\n%-36s %9s %9s %9s %9s   %s\n", "handler (program), one click", "median", "first", "p99",
                    "slowest", "target");
        const std::size_t count = programRuns.front().handlers.size();
        for (std::size_t h = 0; h < count; ++h) {
            const std::string name = programRuns.front().handlers[h].name;
            std::vector<double> medians, firsts, p99s;
            double slowest = 0;
            for (const Run& r : programRuns) {
                if (h >= r.handlers.size())
                    continue;
                medians.push_back(r.handlers[h].medianNs / 1000.0);
                firsts.push_back(r.handlers[h].firstNs / 1000.0);
                p99s.push_back(r.handlers[h].p99Ns / 1000.0);
                slowest = std::max(slowest, r.handlers[h].maxNs / 1000.0);
            }
            const double m = median(medians), first = median(firsts);
            const bool pass = m < 1000 && first < 1000;
            ++judged;
            met += pass;
            std::printf("%-36s %6s us %6s us %6s us %6s us   < 1 ms  %s\n", name.c_str(), fixed(m, 1).c_str(),
                        fixed(first, 0).c_str(), fixed(median(p99s), 0).c_str(), fixed(slowest, 0).c_str(),
                        pass ? "PASS" : "MISS");
        }
        std::printf("(%d clicks a run; median, first and p99: medians over the runs; slowest: of all clicks)\n",
                    programRuns.front().handlers.front().runs);
    }

    // The bare program must hold what the calculators hold, drawn in the same
    // face, or the comparison says nothing.
    bool same = true;
    for (const char* w : windows) {
        const std::string p = programRuns.front().widgets[w], b = bareRuns.front().widgets[w];
        if (p != b) {
            same = false;
            std::printf("\ncontrols of %s differ:\n  program:%s\n  bare:   %s\n", w, p.c_str(), b.c_str());
        }
    }
    std::printf("\n%s\n", same ? "controls per window: the bare windows hold what the calculators hold, in their face"
                               : "controls per window: MISMATCH: the bare program no longer makes the windows as the "
                                 "program does (their tables, the faces asked for)");
    std::printf("targets met: %d of %d\n", met, judged);
    return 0;
}
