#pragma once

#include "app/sheet/sheet.h"

namespace ui { class Form; }

namespace lightning {
// The lightning protection sheet (防雷计算书) from what the window shows, with
// the building checked again against the 2010 edition of the code.
sheet::Sheet makeSheet(const ui::Form& form);
}
