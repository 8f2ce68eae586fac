#include <cstring>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/ole/connpt.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/simpledisp.h"

namespace {

using platform::com::Variant;
using platform::ole::internal::SimpleProperty;

class Font final
    : public platform::com::Object<IFont, platform::ole::internal::SimpleDispatch<Font>,
                                   IConnectionPointContainer, IPersistPropertyBag> {
public:
    explicit Font(const FONTDESC& d)
        : name_(platform::com::Utf8FromWide(d.lpstrName)),
          size_(d.cySize),
          weight_(d.sWeight),
          charset_(d.sCharset),
          italic_(d.fItalic != 0),
          underline_(d.fUnderline != 0),
          strike_(d.fStrikethrough != 0),
          notify_(static_cast<IConnectionPointContainer*>(this), IID_IPropertyNotifySink, false) {}

    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IFont) return static_cast<IFont*>(this);
        if (riid == IID_IDispatch || riid == IID_IFontDisp) return static_cast<IDispatch*>(this);
        if (riid == IID_IConnectionPointContainer) {
            return static_cast<IConnectionPointContainer*>(this);
        }
        if (riid == IID_IPersistPropertyBag || riid == IID_IPersist) {
            return static_cast<IPersistPropertyBag*>(this);
        }
        return nullptr;
    }

    // ---- IFont ----
    HRESULT get_Name(BSTR* p) override {
        if (!p) return E_POINTER;
        *p = platform::com::AllocBstr(name_);
        return S_OK;
    }
    HRESULT put_Name(BSTR name) override {
        if (!name) return E_INVALIDARG;
        name_ = platform::com::Utf8(name);
        Changed(DISPID_FONT_NAME);
        return S_OK;
    }
    HRESULT get_Size(CY* p) override { return platform::com::GiveOut(p, size_); }
    HRESULT put_Size(CY size) override {
        if (size.int64 <= 0) return E_INVALIDARG;
        size_ = size;
        Changed(DISPID_FONT_SIZE);
        return S_OK;
    }
    HRESULT get_Bold(BOOL* p) override {
        return platform::com::GiveOut(p, weight_ >= FW_BOLD ? TRUE : FALSE);
    }
    HRESULT put_Bold(BOOL bold) override {
        weight_ = bold ? FW_BOLD : FW_NORMAL;
        Changed(DISPID_FONT_BOLD);
        return S_OK;
    }
    HRESULT get_Italic(BOOL* p) override { return Get(italic_, p); }
    HRESULT put_Italic(BOOL v) override { return Put(italic_, v, DISPID_FONT_ITALIC); }
    HRESULT get_Underline(BOOL* p) override { return Get(underline_, p); }
    HRESULT put_Underline(BOOL v) override { return Put(underline_, v, DISPID_FONT_UNDER); }
    HRESULT get_Strikethrough(BOOL* p) override { return Get(strike_, p); }
    HRESULT put_Strikethrough(BOOL v) override { return Put(strike_, v, DISPID_FONT_STRIKE); }
    HRESULT get_Weight(SHORT* p) override { return platform::com::GiveOut(p, weight_); }
    HRESULT put_Weight(SHORT w) override { return Put(weight_, w, DISPID_FONT_WEIGHT); }
    HRESULT get_Charset(SHORT* p) override { return platform::com::GiveOut(p, charset_); }
    HRESULT put_Charset(SHORT c) override { return Put(charset_, c, DISPID_FONT_CHARSET); }
    HRESULT get_hFont(HFONT* p) override {
        if (!p) return E_POINTER;
        LOGFONTA lf{};
        // Points to pixels at 96 an inch, rounded; a negative height asks for the character
        // height.
        lf.lfHeight = -static_cast<LONG>((size_.int64 * 96 + 360000) / 720000);
        lf.lfWeight = weight_;
        lf.lfItalic = italic_;
        lf.lfUnderline = underline_;
        lf.lfStrikeOut = strike_;
        lf.lfCharSet = static_cast<BYTE>(charset_);
        std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        if (!hfont_ || std::memcmp(&lf, &hfontDesc_, sizeof lf) != 0) {
            HFONT made = CreateFontIndirectA(&lf);
            if (!made) return E_FAIL;
            if (hfont_) DeleteObject(hfont_);
            hfont_ = made;
            hfontDesc_ = lf;
        }
        *p = hfont_;
        return S_OK;
    }
    HRESULT Clone(IFont** pp) override {
        if (!pp) return E_POINTER;
        std::u16string name = platform::com::Utf16(name_);
        FONTDESC d{sizeof(FONTDESC), name.data(), size_,      weight_,
                   charset_,         italic_,     underline_, strike_};
        *pp = new Font(d);
        return S_OK;
    }
    HRESULT IsEqual(IFont* other) override {
        if (!other) return E_POINTER;
        BSTR n = nullptr;
        other->get_Name(&n);
        std::string name = platform::com::Utf8(n);
        SysFreeString(n);
        CY size{};
        SHORT weight = 0, charset = 0;
        BOOL i = FALSE, u = FALSE, s = FALSE;
        other->get_Size(&size);
        other->get_Weight(&weight);
        other->get_Charset(&charset);
        other->get_Italic(&i);
        other->get_Underline(&u);
        other->get_Strikethrough(&s);
        bool same = name == name_ && size.int64 == size_.int64 && weight == weight_ &&
                    charset == charset_ && (i != 0) == italic_ && (u != 0) == underline_ &&
                    (s != 0) == strike_;
        return same ? S_OK : S_FALSE;
    }

    // ---- IConnectionPointContainer ----
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** pp) override {
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (riid != IID_IPropertyNotifySink) return CONNECT_E_NOCONNECTION;
        *pp = &notify_;
        notify_.AddRef();
        return S_OK;
    }

    // ---- IPersistPropertyBag ----
    HRESULT GetClassID(CLSID* p) override {
        if (!p) return E_POINTER;
        *p = CLSID_StdFont;
        return S_OK;
    }
    HRESULT InitNew() override { return S_OK; }
    HRESULT Load(IPropertyBag* bag, IErrorLog* log) override {
        if (!bag) return E_POINTER;
        Variant v;
        if (Read(bag, log, "Name", VT_BSTR, &v)) name_ = platform::com::Utf8(v.get().bstrVal);
        if (Read(bag, log, "Size", VT_CY, &v) && v.get().cyVal.int64 > 0) size_ = v.get().cyVal;
        if (Read(bag, log, "Charset", VT_I2, &v)) charset_ = v.get().iVal;
        if (Read(bag, log, "Weight", VT_I2, &v)) weight_ = v.get().iVal;
        if (Read(bag, log, "Underline", VT_BOOL, &v)) underline_ = v.get().boolVal != 0;
        if (Read(bag, log, "Italic", VT_BOOL, &v)) italic_ = v.get().boolVal != 0;
        if (Read(bag, log, "Strikethrough", VT_BOOL, &v)) strike_ = v.get().boolVal != 0;
        return S_OK;
    }
    HRESULT Save(IPropertyBag* bag, BOOL, BOOL) override {
        if (!bag) return E_POINTER;
        Variant values[] = {Variant::String(name_),    Variant::Cy(size_.int64),
                            Variant::I2(charset_),     Variant::I2(weight_),
                            Variant::Bool(underline_), Variant::Bool(italic_),
                            Variant::Bool(strike_)};
        const char* names[] = {"Name",      "Size",   "Charset",      "Weight",
                               "Underline", "Italic", "Strikethrough"};
        for (int i = 0; i < 7; ++i) {
            std::u16string n = platform::com::Utf16(names[i]);
            HRESULT hr = bag->Write(n.c_str(), values[i].ptr());
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }

private:
    static bool Read(IPropertyBag* bag, IErrorLog* log, const char* name, VARTYPE vt, Variant* v) {
        std::u16string n = platform::com::Utf16(name);
        VARIANT* out = v->out();
        out->vt = vt;
        return SUCCEEDED(bag->Read(n.c_str(), out, log)) && out->vt == vt;
    }

    static HRESULT Get(bool value, BOOL* p) {
        return platform::com::GiveOut(p, value ? TRUE : FALSE);
    }
    // Stores a property (a flag as true for any non-zero value) and tells the sinks.
    template <class F, class V>
    HRESULT Put(F& field, V v, DISPID id) {
        if constexpr (std::is_same_v<F, bool>) {
            field = v != 0;
        } else {
            field = v;
        }
        Changed(id);
        return S_OK;
    }
    void Changed(DISPID id) {
        notify_.ForEach(
            [id](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(id); });
    }

    friend class platform::ole::internal::SimpleDispatch<Font>;

    // The properties of IFontDisp.
    std::vector<SimpleProperty> Table() {
        auto boolProp = [this](const char* name, DISPID id, auto get, auto put) {
            return SimpleProperty{name, id, VT_BOOL,
                                  [this, get](Variant* v) {
                                      BOOL b = FALSE;
                                      (this->*get)(&b);
                                      *v = Variant::Bool(b != 0);
                                      return S_OK;
                                  },
                                  [this, put](const VARIANT& v) {
                                      return (this->*put)(v.boolVal != 0 ? TRUE : FALSE);
                                  }};
        };
        return {
            {"Name", DISPID_FONT_NAME, VT_BSTR,
             [this](Variant* v) {
                 *v = Variant::String(name_);
                 return S_OK;
             },
             [this](const VARIANT& v) { return put_Name(v.bstrVal ? v.bstrVal : nullptr); }},
            {"Size", DISPID_FONT_SIZE, VT_CY,
             [this](Variant* v) {
                 *v = Variant::Cy(size_.int64);
                 return S_OK;
             },
             [this](const VARIANT& v) { return put_Size(v.cyVal); }},
            boolProp("Bold", DISPID_FONT_BOLD, &Font::get_Bold, &Font::put_Bold),
            boolProp("Italic", DISPID_FONT_ITALIC, &Font::get_Italic, &Font::put_Italic),
            boolProp("Underline", DISPID_FONT_UNDER, &Font::get_Underline, &Font::put_Underline),
            boolProp("Strikethrough", DISPID_FONT_STRIKE, &Font::get_Strikethrough,
                     &Font::put_Strikethrough),
            {"Weight", DISPID_FONT_WEIGHT, VT_I2,
             [this](Variant* v) {
                 *v = Variant::I2(weight_);
                 return S_OK;
             },
             [this](const VARIANT& v) { return put_Weight(v.iVal); }},
            {"Charset", DISPID_FONT_CHARSET, VT_I2,
             [this](Variant* v) {
                 *v = Variant::I2(charset_);
                 return S_OK;
             },
             [this](const VARIANT& v) { return put_Charset(v.iVal); }},
        };
    }

    ~Font() override {
        if (hfont_) DeleteObject(hfont_);
    }

    std::string name_;
    HFONT hfont_ = nullptr;
    LOGFONTA hfontDesc_{};
    CY size_;
    SHORT weight_;
    SHORT charset_;
    bool italic_, underline_, strike_;
    platform::ole::ConnectionPoint notify_;
};

OLECHAR kDefaultName[] = u"MS Sans Serif";

}  // namespace

namespace platform::ole {

const FONTDESC& DefaultFontDesc() {
    static const FONTDESC desc{
        sizeof(FONTDESC), kDefaultName, CY{82500}, FW_NORMAL, 0, FALSE, FALSE, FALSE};
    return desc;
}

}  // namespace platform::ole

HRESULT OleCreateFontIndirect(FONTDESC* lpFontDesc, REFIID riid, void** lplpvObj) {
    if (!lplpvObj) return E_POINTER;
    *lplpvObj = nullptr;
    const FONTDESC& desc = lpFontDesc ? *lpFontDesc : platform::ole::DefaultFontDesc();
    if (desc.cySize.int64 <= 0) return E_INVALIDARG;
    return platform::com::MakeObject<Font>(desc)->QueryInterface(riid, lplpvObj);
}
