// The text property bag: the persistence format of controls in this system, a text a person can
// read and edit, with pictures and object properties (such as the font) stored inside.
//
// The format, one item a line (lines end in LF; a CR before it is ignored when reading; leading
// blanks are indentation and carry no meaning; blank lines and lines starting with '#' are
// skipped):
//
//   <name> = <value>                    a value
//   BeginProperty <name> <{CLSID}>      an object property: the object's own properties follow,
//   ...                                 one a line in this same format, up to
//   EndProperty
//   <name> = BeginPicture <type> [<width>x<height>]
//   <base64 lines>                      a picture: its type (none, bitmap, icon, metafile, emf),
//   EndPicture                          its size (pixels; HIMETRIC for metafiles) and its data
//                                       (PNG for bitmaps and icons, the records for metafiles)
//
// Names are matched without regard to case; a name appears once (writing it again replaces the
// value in its place). Values:
//   whole numbers      -12, 255                 (written for VT_I1 to VT_I8)
//   unsigned 32 bits   &H00C0C0C0&              (written for VT_UI4, the type of OLE colours)
//   reals              8.25, 1E+20              (VT_R4, VT_R8, VT_CY)
//   booleans           True, False
//   text               "a \"quoted\" line\n"   (\\ \" \n \r \t and \xHH escapes; UTF-8)
//   dates              #2024-02-29 12:00:00#
//   Null
// A value is read as the type the reader asks for (VariantChangeType), so "BackStyle = 9" reads as
// a 16-bit 9 and "Enabled = -1" as True. An object property is created again by its class (the
// standard font by this layer, other classes with CoCreateInstance) and loaded through its
// IPersistPropertyBag.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/ole/oleidl.h"

namespace platform::ole {

class TextPropertyBag;

// Creates an empty bag.
platform::com::ComPtr<TextPropertyBag> CreateTextPropertyBag();
// Parses the text form; null with the reason in *error ("line 3: ...") when it is not valid.
platform::com::ComPtr<TextPropertyBag> ParseTextPropertyBag(std::string_view text,
                                                            std::string* error);

class TextPropertyBag : public IPropertyBag {
public:
    // The text form; nested items are indented by `indent` plus four blanks a level.
    virtual std::string ToText(int indent = 0) const = 0;
    // The names in the order they were written.
    virtual std::vector<std::string> Names() const = 0;
    virtual bool Has(std::string_view name) const = 0;
    // Removes a value; false when there is none.
    virtual bool Remove(std::string_view name) = 0;

protected:
    ~TextPropertyBag() = default;
};

}  // namespace platform::ole
