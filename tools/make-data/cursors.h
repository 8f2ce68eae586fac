// The player's mouse pointers: 32x32 pictures with alpha and their hot spots.
#pragma once

#include <QImage>
#include <QPoint>
#include <string>
#include <vector>

namespace makedata {

struct Cursor {
    std::string file;  // e.g. "curmain.cur"
    QImage image;      // 32x32 ARGB
    QPoint hotspot;
};

std::vector<Cursor> AllCursors();

}  // namespace makedata
