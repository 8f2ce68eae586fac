#include "platform/ole/stockpages.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <map>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/object.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/proppage.h"
#include "platform/win/commdlg.h"
#include "platform/win/window.h"

using platform::com::ComPtr;
using platform::com::Variant;

namespace {

// The writable, visible properties of the object's dispatch interface whose type is vt.
std::vector<std::string> PropertiesOfType(IDispatch* object, VARTYPE vt) {
    std::vector<std::string> names;
    ComPtr<ITypeInfo> info;
    if (!object || FAILED(object->GetTypeInfo(0, 0x409, info.out())) || !info) return names;
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return names;
    for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* var = nullptr;
        if (FAILED(info->GetVarDesc(i, &var))) continue;
        bool wanted = var->elemdescVar.tdesc.vt == vt &&
                      !(var->wVarFlags & (VARFLAG_FREADONLY | VARFLAG_FHIDDEN));
        MEMBERID memid = var->memid;
        info->ReleaseVarDesc(var);
        if (!wanted) continue;
        BSTR name = nullptr;
        UINT count = 0;
        if (SUCCEEDED(info->GetNames(memid, &name, 1, &count)) && count == 1) {
            names.push_back(platform::com::Utf8(name));
        }
        SysFreeString(name);
    }
    info->ReleaseTypeAttr(attr);
    return names;
}

// The property's object, when it is one with the interface.
template <class I>
ComPtr<I> ObjectProperty(IDispatch* object, const std::string& name, REFIID iid) {
    DISPID id = platform::com::DispIdOf(object, name);
    if (id == DISPID_UNKNOWN) return nullptr;
    auto r = platform::com::GetProperty(object, id);
    if (!r.ok() || (r.value.vt() != VT_DISPATCH && r.value.vt() != VT_UNKNOWN)) return nullptr;
    return platform::com::Query<I>(r.value.get().punkVal, iid);
}

// The properties of the first object that hold an object with the interface.
std::vector<std::string> ObjectProperties(IDispatch* object, REFIID iid) {
    std::vector<std::string> names;
    for (const auto& name : PropertiesOfType(object, VT_DISPATCH)) {
        if (ObjectProperty<IUnknown>(object, name, iid)) names.push_back(name);
    }
    return names;
}

void FillList(HWND dlg, int id, const std::vector<std::string>& entries) {
    SendDlgItemMessageA(dlg, id, CB_RESETCONTENT, 0, 0);
    for (const auto& e : entries) {
        SendDlgItemMessageA(dlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
    }
    SendDlgItemMessageA(dlg, id, CB_SETCURSEL, 0, 0);
}

QWidget* Control(HWND dlg, int id) {
    return platform::win::WidgetOf(GetDlgItem(dlg, id));
}

DialogItem Label(const char* text, int y) {
    return {DialogItem::Static, -1, text, 5, y + 2, 55, 8, SS_RIGHT};
}

DialogItem List(int id, int y, DWORD style = 0) {
    return {DialogItem::ComboBox, id, "", 62, y, 120, 120, CBS_DROPDOWNLIST | WS_VSCROLL | style};
}

// A stock page: the properties of its kind, one of them selected, each with its current value
// and the value it had when the page was loaded.
template <class Value>
class CStockPropPage : public COlePropertyPage {
public:
    using COlePropertyPage::COlePropertyPage;

protected:
    static constexpr int kPropertyList = 1;

    // The property names of the page's kind, and their values.
    virtual std::vector<std::string> FindProperties() = 0;
    virtual bool ReadValue(const std::string& name, Value* value) = 0;
    // Writes the value to every object; false when one refused it.
    virtual bool WriteValue(const std::string& name, const Value& value) = 0;
    // Shows the selected property's value in the page's controls.
    virtual void ShowValue(const Value& value) = 0;
    virtual int PropertyList() const = 0;

    void DoDataExchange(CDataExchange* pDX) override {
        if (!pDX->m_bSaveAndValidate) {
            names_ = FindProperties();
            current_.clear();
            original_.clear();
            for (const auto& name : names_) {
                Value v{};
                if (ReadValue(name, &v)) current_[name] = original_[name] = v;
            }
            FillList(GetSafeHwnd(), PropertyList(), names_);
            ShowSelected();
            return;
        }
        bool all = true;
        for (auto& [name, value] : current_) {
            if (original_.count(name) && value == original_[name]) continue;
            if (WriteValue(name, value)) {
                original_[name] = value;
            } else {
                all = false;
            }
        }
        SetControlStatus(static_cast<UINT>(PropertyList()), all ? FALSE : TRUE);
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == static_cast<UINT>(PropertyList()) && HIWORD(wParam) == CBN_SELCHANGE)
            ShowSelected();
        return COlePropertyPage::OnCommand(wParam, lParam);
    }

    // The selected property, or "".
    std::string Selected() {
        LRESULT i = SendDlgItemMessageA(GetSafeHwnd(), PropertyList(), CB_GETCURSEL, 0, 0);
        return i >= 0 && i < static_cast<LRESULT>(names_.size()) ? names_[i] : std::string();
    }
    Value* SelectedValue() {
        auto it = current_.find(Selected());
        return it == current_.end() ? nullptr : &it->second;
    }
    // A change the user made to the selected property's value.
    void Changed() {
        if (IsLoading() || showing_) return;
        SetControlStatus(static_cast<UINT>(PropertyList()), TRUE);
        SetModifiedFlag(TRUE);
    }
    void ShowSelected() {
        showing_ = true;
        if (Value* v = SelectedValue()) ShowValue(*v);
        showing_ = false;
    }

    bool showing_ = false;

private:
    std::vector<std::string> names_;
    std::map<std::string, Value> current_, original_;
};

// ---- colours ----

constexpr int IDC_COLOR_PROPERTY = 1001;
constexpr int IDC_COLOR_VALUE = 1002;
constexpr int IDC_COLOR_FIRST = 1010;

const COLORREF kStandardColors[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
    RGB(192, 192, 192), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};

const DialogTemplate& ColorTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d{"", 250, 110, {}, WS_CHILD};
        d.items.push_back(Label("Property Name:", 7));
        d.items.push_back(List(IDC_COLOR_PROPERTY, 7));
        d.items.push_back(Label("Color:", 25));
        d.items.push_back(
            {DialogItem::Edit, IDC_COLOR_VALUE, "", 62, 25, 60, 12, WS_BORDER | ES_AUTOHSCROLL});
        for (int i = 0; i < 16; ++i) {
            d.items.push_back({DialogItem::Button, IDC_COLOR_FIRST + i, "", 62 + (i % 8) * 16,
                               45 + (i / 8) * 16, 14, 14});
        }
        return d;
    }();
    return t;
}

std::string ColorText(OLE_COLOR c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "&H%08X&", static_cast<unsigned>(c));
    return buf;
}

class CColorPropPage final : public CStockPropPage<OLE_COLOR> {
    DECLARE_DYNCREATE(CColorPropPage)

public:
    CColorPropPage() : CStockPropPage(ColorTemplate(), "Color") {}

protected:
    BOOL OnInitDialog() override {
        COlePropertyPage::OnInitDialog();
        for (int i = 0; i < 16; ++i) {
            if (QWidget* w = Control(GetSafeHwnd(), IDC_COLOR_FIRST + i)) {
                COLORREF c = kStandardColors[i];
                w->setStyleSheet(QString("background-color: rgb(%1, %2, %3);")
                                     .arg(GetRValue(c))
                                     .arg(GetGValue(c))
                                     .arg(GetBValue(c)));
                w->setToolTip(QString::fromStdString(ColorText(c)));
            }
        }
        return FALSE;
    }
    int PropertyList() const override { return IDC_COLOR_PROPERTY; }
    std::vector<std::string> FindProperties() override {
        return GetObjects().empty() ? std::vector<std::string>()
                                    : PropertiesOfType(GetObjects().front().get(), VT_UI4);
    }
    bool ReadValue(const std::string& name, OLE_COLOR* value) override {
        Variant v;
        HRESULT hr = E_FAIL;
        if (GetPropertyValue(name.c_str(), &v)) v = v.As(VT_I4, &hr);
        if (FAILED(hr)) return false;
        *value = static_cast<OLE_COLOR>(v.get().lVal);
        return true;
    }
    bool WriteValue(const std::string& name, const OLE_COLOR& value) override {
        return SetPropertyValue(name.c_str(), Variant::I4(static_cast<LONG>(value)));
    }
    void ShowValue(const OLE_COLOR& value) override {
        SetDlgItemTextA(GetSafeHwnd(), IDC_COLOR_VALUE, ColorText(value).c_str());
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        int id = static_cast<int>(LOWORD(wParam));
        UINT code = HIWORD(wParam);
        OLE_COLOR* value = SelectedValue();
        if (value && code == BN_CLICKED && id >= IDC_COLOR_FIRST && id < IDC_COLOR_FIRST + 16) {
            *value = kStandardColors[id - IDC_COLOR_FIRST];
            ShowSelected();
            Changed();
        } else if (value && code == EN_CHANGE && id == IDC_COLOR_VALUE && !showing_) {
            char text[64];
            GetDlgItemTextA(GetSafeHwnd(), IDC_COLOR_VALUE, text, sizeof text);
            HRESULT hr;
            Variant typed = Variant::String(text).As(VT_I4, &hr);
            if (SUCCEEDED(hr)) {
                *value = static_cast<OLE_COLOR>(typed.get().lVal);
                Changed();
            }
        }
        return CStockPropPage::OnCommand(wParam, lParam);
    }
};
IMPLEMENT_DYNCREATE(CColorPropPage)

// ---- fonts ----

constexpr int IDC_FONT_PROPERTY = 1101;
constexpr int IDC_FONT_NAME = 1102;
constexpr int IDC_FONT_SIZE = 1103;
constexpr int IDC_FONT_BOLD = 1104;
constexpr int IDC_FONT_ITALIC = 1105;
constexpr int IDC_FONT_UNDERLINE = 1106;
constexpr int IDC_FONT_STRIKE = 1107;
constexpr int IDC_FONT_SAMPLE = 1108;

struct FontState {
    std::string name;
    LONGLONG size = 0;  // points, as currency (ten-thousandths)
    bool bold = false, italic = false, underline = false, strike = false;
    bool operator==(const FontState&) const = default;
};

const DialogTemplate& FontTemplate() {
    static const DialogTemplate t{
        "",
        250,
        110,
        {Label("Property Name:", 7),
         List(IDC_FONT_PROPERTY, 7),
         Label("Font:", 25),
         List(IDC_FONT_NAME, 25, CBS_SORT),
         Label("Size:", 43),
         {DialogItem::Edit, IDC_FONT_SIZE, "", 62, 43, 30, 12, WS_BORDER | ES_AUTOHSCROLL},
         {DialogItem::CheckBox, IDC_FONT_BOLD, "Bold", 62, 61, 50, 10, BS_AUTOCHECKBOX},
         {DialogItem::CheckBox, IDC_FONT_ITALIC, "Italic", 120, 61, 50, 10, BS_AUTOCHECKBOX},
         {DialogItem::CheckBox, IDC_FONT_UNDERLINE, "Underline", 62, 75, 50, 10, BS_AUTOCHECKBOX},
         {DialogItem::CheckBox, IDC_FONT_STRIKE, "Strikeout", 120, 75, 50, 10, BS_AUTOCHECKBOX},
         {DialogItem::Static, IDC_FONT_SAMPLE, "AaBbYyZz", 186, 25, 60, 40}},
        WS_CHILD};
    return t;
}

std::string SizeText(LONGLONG size) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(size) / 10000.0);
    return buf;
}

class CFontPropPage final : public CStockPropPage<FontState> {
    DECLARE_DYNCREATE(CFontPropPage)

public:
    CFontPropPage() : CStockPropPage(FontTemplate(), "Font") {}

protected:
    BOOL OnInitDialog() override {
        COlePropertyPage::OnInitDialog();
        std::vector<std::string> families;
        for (const QString& f : QFontDatabase::families()) families.push_back(f.toStdString());
        FillList(GetSafeHwnd(), IDC_FONT_NAME, families);
        return FALSE;
    }
    int PropertyList() const override { return IDC_FONT_PROPERTY; }
    std::vector<std::string> FindProperties() override {
        return GetObjects().empty() ? std::vector<std::string>()
                                    : ObjectProperties(GetObjects().front().get(), IID_IFont);
    }
    bool ReadValue(const std::string& name, FontState* value) override {
        auto font = ObjectProperty<IFont>(GetObjects().front().get(), name, IID_IFont);
        if (!font) return false;
        BSTR face = nullptr;
        CY size{};
        BOOL bold = FALSE, italic = FALSE, underline = FALSE, strike = FALSE;
        font->get_Name(&face);
        font->get_Size(&size);
        font->get_Bold(&bold);
        font->get_Italic(&italic);
        font->get_Underline(&underline);
        font->get_Strikethrough(&strike);
        value->name = face ? platform::com::Utf8(face) : "";
        SysFreeString(face);
        value->size = size.int64;
        value->bold = bold;
        value->italic = italic;
        value->underline = underline;
        value->strike = strike;
        return true;
    }
    bool WriteValue(const std::string& name, const FontState& value) override {
        bool ok = true;
        for (const auto& object : GetObjects()) {
            auto font = ObjectProperty<IFont>(object.get(), name, IID_IFont);
            if (!font) {
                ok = false;
                continue;
            }
            BSTR face = platform::com::AllocBstr(value.name);
            CY size{};
            size.int64 = value.size;
            ok = SUCCEEDED(font->put_Name(face)) && ok;
            SysFreeString(face);
            ok = SUCCEEDED(font->put_Size(size)) && ok;
            ok = SUCCEEDED(font->put_Bold(value.bold)) && ok;
            ok = SUCCEEDED(font->put_Italic(value.italic)) && ok;
            ok = SUCCEEDED(font->put_Underline(value.underline)) && ok;
            ok = SUCCEEDED(font->put_Strikethrough(value.strike)) && ok;
        }
        if (!ok) {
            AfxMessageBox(GetSafeHwnd(), "Invalid property value.", AfxGetAppName(),
                          MB_OK | MB_ICONEXCLAMATION);
        }
        return ok;
    }
    void ShowValue(const FontState& v) override {
        HWND dlg = GetSafeHwnd();
        auto name = reinterpret_cast<LPARAM>(v.name.c_str());
        LRESULT at = -1;
        LRESULT count = SendDlgItemMessageA(dlg, IDC_FONT_NAME, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count && at < 0; ++i) {
            char text[256];
            if (SendDlgItemMessageA(dlg, IDC_FONT_NAME, CB_GETLBTEXTLEN, i, 0) < 255) {
                SendDlgItemMessageA(dlg, IDC_FONT_NAME, CB_GETLBTEXT, i,
                                    reinterpret_cast<LPARAM>(text));
                if (platform::com::SameName(text, v.name)) at = i;
            }
        }
        if (at < 0) at = SendDlgItemMessageA(dlg, IDC_FONT_NAME, CB_ADDSTRING, 0, name);
        SendDlgItemMessageA(dlg, IDC_FONT_NAME, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        SetDlgItemTextA(dlg, IDC_FONT_SIZE, SizeText(v.size).c_str());
        SendDlgItemMessageA(dlg, IDC_FONT_BOLD, BM_SETCHECK, v.bold, 0);
        SendDlgItemMessageA(dlg, IDC_FONT_ITALIC, BM_SETCHECK, v.italic, 0);
        SendDlgItemMessageA(dlg, IDC_FONT_UNDERLINE, BM_SETCHECK, v.underline, 0);
        SendDlgItemMessageA(dlg, IDC_FONT_STRIKE, BM_SETCHECK, v.strike, 0);
        if (auto* sample = qobject_cast<QLabel*>(Control(dlg, IDC_FONT_SAMPLE))) {
            QFont f(QString::fromStdString(v.name));
            f.setPointSizeF(std::max(1.0, static_cast<double>(v.size) / 10000.0));
            f.setBold(v.bold);
            f.setItalic(v.italic);
            f.setUnderline(v.underline);
            f.setStrikeOut(v.strike);
            sample->setFont(f);
        }
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        int id = static_cast<int>(LOWORD(wParam));
        UINT code = HIWORD(wParam);
        FontState* v = SelectedValue();
        HWND dlg = GetSafeHwnd();
        if (v && !showing_ && id != IDC_FONT_PROPERTY &&
            (code == BN_CLICKED || code == CBN_SELCHANGE || code == EN_CHANGE)) {
            bool changed = true;
            switch (id) {
                case IDC_FONT_NAME:
                    v->name = platform::ole::DialogItemText(dlg, id);
                    break;
                case IDC_FONT_SIZE: {
                    HRESULT hr;
                    Variant typed =
                        Variant::String(platform::ole::DialogItemText(dlg, id)).As(VT_CY, &hr);
                    changed = SUCCEEDED(hr) && typed.get().cyVal.int64 > 0;
                    if (changed) v->size = typed.get().cyVal.int64;
                    break;
                }
                case IDC_FONT_BOLD:
                case IDC_FONT_ITALIC:
                case IDC_FONT_UNDERLINE:
                case IDC_FONT_STRIKE: {
                    bool on = SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
                    (id == IDC_FONT_BOLD        ? v->bold
                     : id == IDC_FONT_ITALIC    ? v->italic
                     : id == IDC_FONT_UNDERLINE ? v->underline
                                                : v->strike) = on;
                    break;
                }
                default:
                    changed = false;
            }
            if (changed) Changed();
        }
        return CStockPropPage::OnCommand(wParam, lParam);
    }
};
IMPLEMENT_DYNCREATE(CFontPropPage)

// ---- pictures ----

constexpr int IDC_PICTURE_PROPERTY = 1201;
constexpr int IDC_PICTURE_PREVIEW = 1202;
constexpr int IDC_PICTURE_BROWSE = 1203;
constexpr int IDC_PICTURE_CLEAR = 1204;

const DialogTemplate& PictureTemplate() {
    static const DialogTemplate t{
        "",
        250,
        110,
        {Label("Property Name:", 7),
         List(IDC_PICTURE_PROPERTY, 7),
         {DialogItem::Static, IDC_PICTURE_PREVIEW, "", 62, 25, 80, 60, SS_SUNKEN},
         {DialogItem::Button, IDC_PICTURE_BROWSE, "Browse...", 150, 25, 50, 14},
         {DialogItem::Button, IDC_PICTURE_CLEAR, "Clear", 150, 43, 50, 14}},
        WS_CHILD};
    return t;
}

// The kind of picture a file holds, by its extension.
std::string PictureKind(const std::string& path) {
    std::string ext = path.substr(path.find_last_of('.') + 1);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "ico" || ext == "cur") return "icon";
    if (ext == "wmf") return "metafile";
    if (ext == "emf") return "emf";
    return "bitmap";
}

class CPicturePropPage final : public CStockPropPage<ComPtr<IPicture>> {
    DECLARE_DYNCREATE(CPicturePropPage)

public:
    CPicturePropPage() : CStockPropPage(PictureTemplate(), "Picture") {}

protected:
    BOOL OnInitDialog() override {
        COlePropertyPage::OnInitDialog();
        if (auto* preview = qobject_cast<QLabel*>(Control(GetSafeHwnd(), IDC_PICTURE_PREVIEW))) {
            preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            preview->setAlignment(Qt::AlignCenter);
        }
        return FALSE;
    }
    int PropertyList() const override { return IDC_PICTURE_PROPERTY; }
    std::vector<std::string> FindProperties() override {
        return GetObjects().empty() ? std::vector<std::string>()
                                    : ObjectProperties(GetObjects().front().get(), IID_IPicture);
    }
    bool ReadValue(const std::string& name, ComPtr<IPicture>* value) override {
        *value = ObjectProperty<IPicture>(GetObjects().front().get(), name, IID_IPicture);
        return *value != nullptr;
    }
    bool WriteValue(const std::string& name, const ComPtr<IPicture>& value) override {
        auto disp = value.Query<IDispatch>(IID_IPictureDisp);
        return SetPropertyValue(name.c_str(), Variant::Dispatch(disp.get()));
    }
    void ShowValue(const ComPtr<IPicture>& value) override {
        auto* preview = qobject_cast<QLabel*>(Control(GetSafeHwnd(), IDC_PICTURE_PREVIEW));
        if (!preview) return;
        auto data = value ? platform::ole::SavePictureData(value.get()) : std::nullopt;
        QPixmap pixmap;
        if (data && (data->type == "bitmap" || data->type == "icon")) {
            pixmap.loadFromData(reinterpret_cast<const uchar*>(data->bytes.data()),
                                static_cast<uint>(data->bytes.size()));
        }
        if (!pixmap.isNull()) {
            preview->setPixmap(pixmap.scaled(preview->size() - QSize(4, 4), Qt::KeepAspectRatio));
        } else {
            preview->setPixmap(QPixmap());
            preview->setText(!data || data->type == "none" ? "(None)"
                                                           : QString::fromStdString(data->type));
        }
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        int id = static_cast<int>(LOWORD(wParam));
        ComPtr<IPicture>* value = SelectedValue();
        if (value && HIWORD(wParam) == BN_CLICKED && id == IDC_PICTURE_BROWSE) {
            Browse(value);
        } else if (value && HIWORD(wParam) == BN_CLICKED && id == IDC_PICTURE_CLEAR) {
            PICTDESC desc{};
            desc.cbSizeofstruct = sizeof desc;
            desc.picType = PICTYPE_NONE;
            ComPtr<IPicture> none;
            if (SUCCEEDED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, none.outVoid()))) {
                *value = none;
                ShowSelected();
                Changed();
            }
        }
        return CStockPropPage::OnCommand(wParam, lParam);
    }

private:
    void Browse(ComPtr<IPicture>* value) {
        static const char kFilter[] =
            "All Picture Files\0*.bmp;*.dib;*.gif;*.jpg;*.jpeg;*.png;*.ico;*.cur;*.wmf;*.emf\0"
            "All Files\0*\0";
        char file[1024] = "";
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = GetSafeHwnd();
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrTitle = "Select Picture";
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetOpenFileNameA(&ofn)) return;
        auto picture = platform::ole::LoadPictureFile(file, PictureKind(file));
        if (!picture) {
            AfxMessageBox(GetSafeHwnd(), "Invalid picture.", AfxGetAppName(),
                          MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        *value = picture;
        ShowSelected();
        Changed();
    }
};
IMPLEMENT_DYNCREATE(CPicturePropPage)

// The class object of a stock page: a static of this layer that makes a new page for each
// CreateInstance.
class StockPageFactory final : public platform::com::UncountedObject<IClassFactory> {
public:
    explicit StockPageFactory(const CRuntimeClass* rc) : rc_(rc) {}
    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            return static_cast<IClassFactory*>(this);
        }
        return nullptr;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        CCmdTarget* page = rc_->CreateObject();
        if (!page) return E_OUTOFMEMORY;
        HRESULT hr = page->ExternalQueryInterface(riid, ppv);
        page->InternalRelease();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    const CRuntimeClass* rc_;
};

}  // namespace

namespace platform::ole {

HRESULT RegisterStockPropertyPages() {
    static StockPageFactory color(RUNTIME_CLASS(CColorPropPage));
    static StockPageFactory font(RUNTIME_CLASS(CFontPropPage));
    static StockPageFactory picture(RUNTIME_CLASS(CPicturePropPage));
    static const HRESULT result = [] {
        const std::pair<CLSID, IClassFactory*> classes[] = {{CLSID_CColorPropPage, &color},
                                                            {CLSID_CFontPropPage, &font},
                                                            {CLSID_CPicturePropPage, &picture}};
        for (const auto& [clsid, factory] : classes) {
            DWORD cookie = 0;
            HRESULT hr = CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER,
                                               REGCLS_MULTIPLEUSE, &cookie);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }();
    return result;
}

}  // namespace platform::ole
