// The run-time's Screen object: the size of the screen the program's windows are shown on.
#pragma once

namespace vb::Screen {

// The primary screen's width and height in twips (0 when there is no screen).
float Width();
float Height();

}  // namespace vb::Screen
