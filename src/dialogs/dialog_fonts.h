#pragma once

#include <QFont>

namespace zub::dialog_fonts {

// The dialogs place every control to the pixel, so they name their fonts instead of taking the
// desktop's: WenQuanYi Micro Hei carries every glyph of the interface and its widths are known.
QFont proportional(int pixelSize);

// The help page lines its title and signature up with runs of spaces, which only come out as
// meant in a face whose Latin letters all have one width, as the Chinese system face has.
QFont fixedPitch(int pixelSize);

} // namespace zub::dialog_fonts
