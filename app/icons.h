#pragma once

#include <QIcon>
#include <QImage>
#include <string>

namespace icons {

// Each window's own picture, drawn at `size` pixels in 256 colours.
QImage windowImage(const std::string& window, int size);
QIcon windowIcon(const std::string& window, int size);

} // namespace icons
