#pragma once
// The five windows' lifecycle: the menu at start, each calculator built on its
// first use, show before hide, exactly one window visible at any moment.

#include <functional>
#include <string>
#include <vector>

class QWidget;
namespace ui { class Form; }
namespace sheet { struct Sheet; }

class Shell {
public:
    // A calculator's builder; `back` returns from it to the menu.
    using Builder = std::function<ui::Form*(std::function<void()> back)>;
    // A calculator's calculation sheet, made from what its window shows.
    using SheetMaker = std::function<sheet::Sheet(const ui::Form&)>;

    // `endProgram` ends the process's event loop (tests replace it).
    explicit Shell(std::function<void()> endProgram = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    void start();
    void open(const std::string& name);
    void backToMenu(const std::string& from);
    void end();

    // The window with this name, or nullptr while it has not been created.
    QWidget* window(const std::string& name) const;
    ui::Form* form(const std::string& name) const;

private:
    struct Entry {
        std::string name;
        Builder builder;
        ui::Form* form = nullptr;
        SheetMaker sheet; // none for the menu
    };
    Entry* find(const std::string& name);
    void adopt(Entry& entry, ui::Form* form);

    std::function<void()> endProgram_;
    std::vector<Entry> windows_; // the menu first
};
