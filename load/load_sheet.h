#pragma once

#include "app/sheet/sheet.h"

namespace ui { class Form; }

namespace load {
// The load calculation sheet (负荷计算书) from what the window shows.
sheet::Sheet makeSheet(const ui::Form& form);
}
