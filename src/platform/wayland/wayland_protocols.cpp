// The protocols' client code that wayland-scanner generates at build time, compiled with the
// rest: the client headers come first, so that the interfaces the code defines get the C linkage
// the headers declare for them. Those declarations carry no visibility attribute, so the one on
// the definitions is ignored, which is harmless in a static library.
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
#include "wlr-data-control-unstable-v1-protocol.c"
#include "wlr-screencopy-unstable-v1-protocol.c"
#pragma GCC diagnostic pop
