#include "platform/com/guid.h"

#include <gtest/gtest.h>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"

using platform::com::GuidToString;
using platform::com::ParseGuid;
using platform::com::Utf16;

namespace {
constexpr GUID kControl{
    0x43D45806, 0xED84, 0x11D0, {0x90, 0x1E, 0x00, 0x20, 0xAF, 0x75, 0x43, 0xC2}};
}

TEST(Guid, PrintsAndParsesTheRegistryForm) {
    EXPECT_EQ(GuidToString(kControl), "{43D45806-ED84-11D0-901E-0020AF7543C2}");
    EXPECT_EQ(ParseGuid("{43d45806-ed84-11d0-901e-0020af7543c2}"), kControl);
    EXPECT_EQ(ParseGuid("43D45806-ED84-11D0-901E-0020AF7543C2"), kControl);
    for (const char* bad :
         {"", "{43D45806-ED84-11D0-901E-0020AF7543C2", "{43D45806ED84-11D0-901E-0020AF7543C2}",
          "{43D45806-ED84-11D0-901E-0020AF7543CG}", "{43D45806-ED84-11D0-901E-0020AF7543C2}x"}) {
        EXPECT_FALSE(ParseGuid(bad)) << bad;
    }

    OLECHAR buf[39];
    EXPECT_EQ(StringFromGUID2(kControl, buf, 39), 39);
    EXPECT_EQ(platform::com::Utf8FromWide(buf), "{43D45806-ED84-11D0-901E-0020AF7543C2}");
    EXPECT_EQ(StringFromGUID2(kControl, buf, 38), 0);

    CLSID parsed;
    EXPECT_EQ(CLSIDFromString(Utf16("{43D45806-ED84-11D0-901E-0020AF7543C2}").c_str(), &parsed),
              S_OK);
    EXPECT_EQ(parsed, kControl);
    // Without braces the text is taken as a ProgID, and none is registered.
    EXPECT_EQ(CLSIDFromString(Utf16("43D45806-ED84-11D0-901E-0020AF7543C2").c_str(), &parsed),
              CO_E_CLASSSTRING);
    EXPECT_EQ(IIDFromString(Utf16("{nonsense}").c_str(), &parsed), CO_E_CLASSSTRING);
}
