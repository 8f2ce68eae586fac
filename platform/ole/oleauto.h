// The automation objects of the platform: picture objects (IPicture, IPictureDisp), font objects
// (IFont, IFontDisp, with change notices to IPropertyNotifySink sinks and property-bag
// persistence), and the translation of OLE colours.
#pragma once

#include <optional>
#include <string>

#include "platform/ole/oleidl.h"

struct PICTDESC {
    UINT cbSizeofstruct;
    UINT picType;
    union {
        struct {
            HBITMAP hbitmap;
            HPALETTE hpal;
        } bmp;
        struct {
            HMETAFILE hmeta;
            int xExt;
            int yExt;
        } wmf;
        struct {
            HICON hicon;
        } icon;
        struct {
            HENHMETAFILE hemf;
        } emf;
    };
};

struct FONTDESC {
    UINT cbSizeofstruct;
    LPOLESTR lpstrName;
    CY cySize;
    SHORT sWeight;
    SHORT sCharset;
    BOOL fItalic;
    BOOL fUnderline;
    BOOL fStrikethrough;
};

// A new picture object describing the handles (none for a null description: an uninitialised
// picture). With fOwn the object destroys the handles when it goes.
HRESULT OleCreatePictureIndirect(PICTDESC* lpPictDesc, REFIID riid, BOOL fOwn, void** lplpvObj);
// A new font object (the default font, "MS Sans Serif" 8.25 points, for a null description).
HRESULT OleCreateFontIndirect(FONTDESC* lpFontDesc, REFIID riid, void** lplpvObj);
// An OLE colour (0x00BBGGRR, or 0x80000000 + a system colour index) as a colour reference.
// E_INVALIDARG for other values.
HRESULT OleTranslateColor(OLE_COLOR clr, HPALETTE hpal, COLORREF* lpcolorref);

namespace platform::ole {

// The bytes that keep a picture: its type word ("none", "bitmap", "metafile", "icon", "emf") and
// the type's data (a PNG image for bitmaps and icons, the records for metafiles). A monochrome
// bitmap comes back monochrome; an icon's transparency is kept; a palette is not.
struct PictureData {
    std::string type;
    int width = 0;  // pixels, or HIMETRIC for metafiles
    int height = 0;
    std::string bytes;
};
std::optional<PictureData> SavePictureData(IPicture* picture);
// A new picture object owning its handles; null when the data cannot be read.
platform::com::ComPtr<IPicture> LoadPictureData(const PictureData& data);

// A picture made from a file: an image file (PNG, BMP, JPEG, ...) as a bitmap; with kind "icon"
// the image as an icon (transparent where it is transparent); with "metafile" or "emf" the
// file's bytes as records. Null when the file cannot be read.
platform::com::ComPtr<IPicture> LoadPictureFile(const std::string& path,
                                                const std::string& kind = "bitmap");

// The default font's description.
const FONTDESC& DefaultFontDesc();

}  // namespace platform::ole
