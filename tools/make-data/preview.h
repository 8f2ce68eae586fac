// Previews of the generated faces: each face over a chequered desktop with the player's elements
// drawn on it as the player draws them, optionally with the element rectangles outlined.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "tools/make-data/skins.h"

namespace makedata {

// A face as the player shows it.
QImage PreviewSkin(const Skin& skin, bool outlines);

// A face with no elements (the about box, the chooser), keyed over the chequered desktop.
QImage PreviewFace(const QImage& face);

// Pictures with captions, in rows of `columns`.
QImage ContactSheet(const std::vector<std::pair<QString, QImage>>& items, int columns);

}  // namespace makedata
