// The library's cursors: this version has none. The other bodies are in effects.cpp, gradients.cpp,
// borders.cpp, caption.cpp, images.cpp, dibs.cpp, drawing.cpp, printing.cpp and hotspots.cpp, the
// string table in strings.cpp.
#include "quixcore/quixcore.h"

HCURSOR GetQuixCursor(short) {
    return nullptr;
}
