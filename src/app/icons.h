#pragma once

#include <QIcon>

namespace zub::icons {

inline constexpr int kImageListCount = 17;

// Icon `index` of the command bar's image list (0 to 16); a null icon for -1.
QIcon imageList(int index);
QIcon goButton();
QIcon application();

} // namespace zub::icons
