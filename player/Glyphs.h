// The pictures of the main window's transport buttons (a light symbol on a dark round face, 30
// by 30 pixels), also drawn by the data generator's previews.
#pragma once

#include <QImage>

namespace forms {

// kind: 'P' play, 'p' pause, 's' stop, '<' previous, '>' next; any other gives the bare face.
QImage TransportGlyph(char kind);

}  // namespace forms
