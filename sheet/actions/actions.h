#pragma once
// How the engineer gets a calculator's sheet, without a dialog or a second
// window: entries of the window's right-click menu, Ctrl+Shift+C to copy and
// Ctrl+P to save the PDF. Where a saved file went, or why it could not be
// written, shows as a note in the window until the next edit.

#include "commands.h"
#include "state.h"
#include "sheet.h"

#include <functional>

namespace ui { class Form; }

namespace sheet {

// Makes the sheet from one snapshot of the window.
using Maker = std::function<Sheet(const ui::State&)>;

// The folder "Elcarta计算书" in the user's documents folder.
QString defaultFolder();

// The sheet of the window as it stands now, stamped with the current time.
Sheet make(const ui::Form& form, const Maker& maker, const Header& header = {});

// The sheet's entries of the window's right-click menu, with their keys:
// copy (Ctrl+Shift+C), save as PDF (Ctrl+P), save as ODT, open the folder.
// `header` gives the project's lines for the sheet's head.
std::vector<ui::Command> commands(ui::Form& form, Maker maker, std::function<Header()> header,
                                  std::function<QString()> folder = defaultFolder);

// The same entries for a sheet that is not made from a window's state (the
// load schedule's): `make` gives the sheet, stamped and headed.
std::vector<ui::Command> sheetCommands(ui::Form& form, std::function<Sheet()> make,
                                       std::function<QString()> folder = defaultFolder);

// What the entries do.
void copy(const Sheet& sheet);
void saveAndTell(ui::Form& form, const Sheet& sheet, Format format, const QString& folder);
void openFolder(ui::Form& form, const QString& folder);

} // namespace sheet
