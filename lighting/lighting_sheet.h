#pragma once

#include "app/sheet/sheet.h"

namespace ui { class Form; }

namespace lighting {
// The illuminance sheet (照度计算书) from what the window shows.
sheet::Sheet makeSheet(const ui::Form& form);
}
