// The class library's stock property pages, which a control lists beside its own pages:
//  - Color (CLSID_CColorPropPage): a colour property (OLE_COLOR) of the objects at a time, set from
//    sixteen standard colours or typed as a number ("&H00BBGGRR&" or decimal);
//  - Font (CLSID_CFontPropPage): a font property's name, size in points, bold, italic, underline
//    and strikethrough, set on the property's font object;
//  - Picture (CLSID_CPicturePropPage): a picture property's picture, from a file (Browse...) or
//    none (Clear).
// Each finds the properties of its kind in the type information of the first object; Apply writes
// the ones changed to every object and reports a refused one as the other pages do.
#pragma once

#include "platform/com/types.h"

namespace platform::ole {

// Makes the three pages creatable by class id in this process (CoRegisterClassObject); safe to
// call again.
HRESULT RegisterStockPropertyPages();

}  // namespace platform::ole
