#pragma once

#include "app/sheet/sheet.h"

namespace ui { class Form; }

namespace trunking {
// The trunking sheet (线槽计算书) from what the window shows, with the
// smallest trunking and pipe of each catalogue group that takes the cables.
sheet::Sheet makeSheet(const ui::Form& form);
}
