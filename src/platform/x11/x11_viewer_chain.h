#pragma once

#include "platform/xdg/kept_viewer_chain.h"

namespace zub {

// The viewer chain over the X11 clipboard is the one every kept clipboard has.
using X11ViewerChain = KeptViewerChain;

} // namespace zub
