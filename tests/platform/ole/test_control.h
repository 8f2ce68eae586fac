// A small control on the framework for its tests.
#pragma once

#include "platform/ole/factory.h"
#include "platform/ole/olectl.h"

namespace ole_test {

inline constexpr GUID kLibId{0x5E0D0001, 0, 0x4000, {0x80, 0, 0, 0, 0, 0x0A, 0x11, 0xCE}};
inline constexpr IID kPrimaryIid{0x5E0D0002, 0, 0x4000, {0x80, 0, 0, 0, 0, 0x0A, 0x11, 0xCE}};
inline constexpr IID kEventsIid{0x5E0D0003, 0, 0x4000, {0x80, 0, 0, 0, 0, 0x0A, 0x11, 0xCE}};
inline constexpr CLSID kClsid{0x5E0D0004, 0, 0x4000, {0x80, 0, 0, 0, 0, 0x0A, 0x11, 0xCE}};

class TestControl : public COleControl {
    DECLARE_DYNCREATE(TestControl)
public:
    TestControl();

    const platform::ole::DispatchMap& GetDispatchMap() const override;
    const platform::ole::EventMap& GetEventMap() const override;
    HRESULT GetTypeLib(LCID lcid, ITypeLib** pp) override;
    CTypeLibCache* GetTypeLibCache() override { return AfxGetTypeLibCache(&kLibId); }
    HRESULT GetClassID(LPCLSID p) override {
        *p = kClsid;
        return S_OK;
    }
    UINT GetUserTypeNameID() override { return 1; }
    DWORD GetMiscStatus() override { return 0x22191; }
    void DoPropExchange(CPropExchange* pPX) override;
    void OnEventAdvise(BOOL advise) override { advises.push_back(advise != 0); }
    void OnFontChanged() override { ++fontChanges; }
    void OnTextChanged() override { ++textChanges; }

    SHORT GetLevel() { return level; }
    void SetLevel(SHORT value);
    LPPICTUREDISP GetPicture() { return picture.GetPictureDispatch(); }
    void SetPicture(LPPICTUREDISP p) { picture.SetPictureDispatch(p); }
    LONG Add(LONG amount, const VARIANT& times);
    void Fail(SHORT code);
    void Shout() {
        FireEvent(1, {platform::com::Variant::I2(level), platform::com::Variant::String("shout")});
    }
    void OnFlagChanged() { ++flagChanges; }

    BOOL flag = FALSE;
    SHORT level = 0;
    LONG tint = 0;
    std::string label;
    CPictureHolder picture;
    int flagChanges = 0, fontChanges = 0, textChanges = 0;
    std::vector<bool> advises;
    std::vector<std::string> convertedFrom;  // what DoPropExchange saw of the older form
};

}  // namespace ole_test
