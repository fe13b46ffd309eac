#include "shell.h"

#include "app/icons.h"
#include "app/menu.h"
#include "app/sheet/actions.h"
#include "app/ui/form.h"
#include "app/ui/widgets.h"
#include "lighting/lighting_sheet.h"
#include "lighting/lighting_window.h"
#include "lightning/lightning_sheet.h"
#include "lightning/lightning_window.h"
#include "load/load_sheet.h"
#include "load/load_window.h"
#include "trunking/trunking_sheet.h"
#include "trunking/trunking_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

Shell::Shell(std::function<void()> endProgram) : endProgram_(std::move(endProgram))
{
    if (!endProgram_)
        endProgram_ = [] { QCoreApplication::quit(); };
    windows_ = {
        {"dqjs", nullptr, nullptr, nullptr},
        {"fhjs", load::buildWindow, nullptr, load::makeSheet},
        {"fljs", lightning::buildWindow, nullptr, lightning::makeSheet},
        {"zdjs", lighting::buildWindow, nullptr, lighting::makeSheet},
        {"XCJS", trunking::buildWindow, nullptr, trunking::makeSheet},
    };
}

Shell::~Shell()
{
    for (Entry& e : windows_)
        if (e.form)
            delete e.form->window();
}

Shell::Entry* Shell::find(const std::string& name)
{
    for (Entry& e : windows_)
        if (e.name == name)
            return &e;
    return nullptr;
}

void Shell::adopt(Entry& entry, ui::Form* form)
{
    entry.form = form;
    QWidget* w = form->window();
    w->setWindowIcon(icons::windowIcon(entry.name, form->def().iconSize));
    // Closing the menu ends the program; closing a calculator returns to the menu.
    const bool isMenu = &entry == &windows_.front();
    const std::string name = entry.name;
    new ui::EventHook(w, QEvent::Close, [this, isMenu, name] {
        if (isMenu)
            end();
        else
            backToMenu(name);
        return true;
    });
    // Each calculator hands in its sheet: right-click menu, Ctrl+Shift+C, Ctrl+S.
    if (entry.sheet)
        sheet::attach(*form, entry.sheet);
}

void Shell::start()
{
    Entry& menu = windows_.front();
    if (!menu.form)
        adopt(menu, buildMenu([this](const std::string& name) { open(name); }, [this] { end(); }));
    menu.form->window()->show();
}

void Shell::open(const std::string& name)
{
    Entry* e = find(name);
    if (!e || !e->builder)
        return;
    if (!e->form)
        adopt(*e, e->builder([this, name] { backToMenu(name); }));
    e->form->window()->show();
    e->form->window()->activateWindow();
    windows_.front().form->window()->hide();
}

void Shell::backToMenu(const std::string& from)
{
    start(); // creates the menu if it does not exist, and shows it
    windows_.front().form->window()->activateWindow();
    if (QWidget* w = window(from); w && from != windows_.front().name)
        w->hide();
}

void Shell::end()
{
    for (Entry& e : windows_)
        if (e.form)
            e.form->window()->hide();
    endProgram_();
}

QWidget* Shell::window(const std::string& name) const
{
    ui::Form* f = form(name);
    return f ? f->window() : nullptr;
}

ui::Form* Shell::form(const std::string& name) const
{
    for (const Entry& e : windows_)
        if (e.name == name)
            return e.form;
    return nullptr;
}
