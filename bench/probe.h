#pragma once
// The measuring side of the start-up benchmark, shared by the program probe
// and the bare Qt program so that both are timed by the very same code.
//
// A probe process writes one line per measurement to stdout, each time in
// nanoseconds since the probe's own origin (bench/clock.h), and at the end
// where that origin lies on the clock the harness reads too, so that the
// harness can set the times against the moment it started the process:
//
//   main <ns>                                  main() entered
//   app <ns>                                   QApplication constructed
//   menu <ns>                                  menu window painted
//   open <window> <1|2> <click-ns> <painted-ns>  a menu click and the calculator painted
//   widgets <window> <kind>=<count> ... face=<family>  what the calculator window holds, its face
//   rss <kB>                                   peak resident memory (working set on Windows), every window opened
//   click <name> <runs> <median-ns> <first-ns>  a click on a button to the window painted after it
//   handler <name> <runs> <median-ns> <p99-ns> <max-ns> <first-ns>
//   clock <ns>                                 the origin on the shared clock
//   done
//   error <text>                               the probe could not go on
//
// Under valgrind's callgrind, started with --collect-atstart=no, the probe
// counts only what ELCARTA_CALLGRIND names: "start" (main() to the painted
// menu), "open" (each first opening of a calculator, click to painted) or
// "click" (every timed click to the painted window); "open:fljs" or
// "click:XCJS/ql" counts one of them.

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

namespace bench {

// Nanoseconds since the probe's origin, taken in markMain().
std::int64_t nowNs();

// One handler whose synchronous run is timed, many times over.
struct HandlerCase {
    QString name;                  // "fhjs/Command1"
    QString window;                // the calculator it belongs to
    std::function<void()> prepare; // puts the inputs in place (not timed)
    std::function<void()> run;     // the user's action (timed)
    QString field;                 // a field the action writes...
    QString expected;              // ...and its text afterwards, so that no idle click is timed
};

// A click on a calculator's button timed to the window painted after it. Both
// programs run the very same clicks on the very same inputs: the bare program
// has these buttons' handlers written by hand.
struct ClickCase {
    const char* name;   // "fhjs/Command1"
    const char* window; // the calculator it belongs to
    const char* button;
    // Field texts put in place before each click (not timed). One of them
    // differs from what the click leaves, so that every click repaints.
    std::vector<std::pair<const char*, const char*>> inputs;
    const char* field;    // a field the click writes...
    const char* expected; // ...and its text afterwards
};
const std::vector<ClickCase>& clickCases();

// A left click in the middle of a control, as the engineer's mouse gives it.
// The events are made here rather than by Qt's test library, so that a
// probe loads no more libraries than the program does.
void click(QWidget* w);

struct Hooks {
    std::function<void()> start;                     // creates and shows the menu
    std::function<void(const QString& window)> back; // from a calculator to the menu
    std::vector<HandlerCase> handlers;               // none for the bare program
};

// The window with this objectName among the top-level widgets, or nullptr.
QWidget* topLevel(const QString& name);
// A control of a window, by objectName and, for a control array, index.
QWidget* child(const QString& window, const QString& name, int index = -1);

// Prints "main": call first thing in main().
void markMain();

// Runs the whole sequence inside the application's event loop and returns
// the process's exit code. Must be called after the QApplication exists.
int run(Hooks hooks);

} // namespace bench
