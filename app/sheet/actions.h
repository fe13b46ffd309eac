#pragma once
// How the engineer gets a calculator's sheet, without a dialog or a second
// window: a right-click menu anywhere on the window (after a text field's own
// edit actions), Ctrl+Shift+C to copy and Ctrl+S to save the PDF. Where a
// saved file went, or why it could not be written, shows as a note in the
// window until the next edit.

#include "sheet.h"

#include <functional>

namespace ui { class Form; }

namespace sheet {

// Makes the sheet from what the window shows at that moment.
using Maker = std::function<Sheet(const ui::Form&)>;

// The folder "Elcarta计算书" in the user's documents folder.
QString defaultFolder();

// The sheet of the window as it stands now, stamped with the current time.
Sheet make(const ui::Form& form, const Maker& maker);

// The entries of the right-click menu and the two keys, for this window.
void attach(ui::Form& form, Maker maker, std::function<QString()> folder = defaultFolder);

// What the entries do.
void copy(const Sheet& sheet);
void saveAndTell(ui::Form& form, const Sheet& sheet, Format format, const QString& folder);
void openFolder(ui::Form& form, const QString& folder);

} // namespace sheet
