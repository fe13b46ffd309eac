#pragma once
// Turns a window's table into a window of Qt widgets.

#include "control.h"
#include "form.h"
#include "step.h"

#include <vector>

namespace ui {

// Pixels per twip-derived pixel: 1 at 96 dpi, following the screen's logical
// dpi so that every window keeps its proportions on a high-dpi screen.
double scale();
// Twips to pixels at the program's scale.
int px(int twips);

// Makes "宋体" and "华文行楷" render with the Chinese faces of this machine
// where the named faces are not installed, and 宋体 9 pt the face of what
// has none of its own (tooltips, the right-click menu).
void installFontSubstitutions();

// Loads that face at that size, which the menu does not draw in, so that the
// first field of the first calculator opened does not wait for it.
void loadFieldFace();

// Qt's own texts in Chinese, as the rest of the program: the edit entries of
// a field's right-click menu (撤消, 复制, 粘贴...). False where Qt's Chinese
// translation (qtbase_zh_CN.qm) is not found; they stay English then.
bool installTranslation();

// Builds the window with all its controls and returns the form that owns
// its handlers. The window is hidden until shown. The table must outlive it.
Form* build(const Table& table);

} // namespace ui
