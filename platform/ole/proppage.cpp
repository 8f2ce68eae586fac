#include "platform/ole/proppage.h"

#include <QWidget>
#include <cstring>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/win/window.h"

using platform::com::ComPtr;
using platform::com::Variant;

namespace {

// A template for a page whose module lacks the one it names.
const DialogTemplate& EmptyTemplate() {
    static const DialogTemplate empty{"", 250, 110, {}, WS_CHILD};
    return empty;
}

const DialogTemplate& TemplateOf(UINT id) {
    const DialogTemplate* t = AfxFindDialogTemplate(id);
    return t ? *t : EmptyTemplate();
}

// A copy in task memory, or null for an empty text.
LPOLESTR TaskString(const std::string& text) {
    if (text.empty()) return nullptr;
    std::u16string wide = platform::com::Utf16(text);
    auto* p = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
    if (p) std::memcpy(p, wide.c_str(), (wide.size() + 1) * sizeof(OLECHAR));
    return p;
}

}  // namespace

// ---- the page's interface ----

struct COlePropertyPage::Parts {
    struct XPropertyPage final : IPropertyPage2 {
        COlePropertyPage* m_pThis = nullptr;

        HRESULT QueryInterface(REFIID riid, void** ppv) override {
            return m_pThis->ExternalQueryInterface(riid, ppv);
        }
        ULONG AddRef() override { return m_pThis->ExternalAddRef(); }
        ULONG Release() override { return m_pThis->ExternalRelease(); }

        HRESULT SetPageSite(IPropertyPageSite* site) override {
            m_pThis->m_pPageSite = ComPtr<IPropertyPageSite>(site);
            return S_OK;
        }
        HRESULT Activate(HWND parent, LPCRECT rect, BOOL) override {
            return m_pThis->Activate(parent, rect);
        }
        HRESULT Deactivate() override {
            m_pThis->DestroyWindow();
            return S_OK;
        }
        HRESULT GetPageInfo(PROPPAGEINFO* info) override {
            if (!info) return E_POINTER;
            const DialogTemplate& t = m_pThis->GetTemplate();
            info->cb = sizeof *info;
            info->pszTitle = TaskString(m_pThis->m_strCaption);
            info->size = SIZE{DialogUnitsToPixelsX(t.cx), DialogUnitsToPixelsY(t.cy)};
            info->pszDocString = TaskString(m_pThis->m_strDocString);
            info->pszHelpFile = TaskString(m_pThis->m_strHelpFile);
            info->dwHelpContext = m_pThis->m_nHelpContext;
            return S_OK;
        }
        HRESULT SetObjects(ULONG count, IUnknown** objects) override {
            if (count && !objects) return E_POINTER;
            m_pThis->m_objects.clear();
            for (ULONG i = 0; i < count; ++i) {
                ComPtr<IDispatch> disp;
                if (objects[i] &&
                    SUCCEEDED(objects[i]->QueryInterface(IID_IDispatch, disp.outVoid()))) {
                    m_pThis->m_objects.push_back(std::move(disp));
                }
            }
            if (m_pThis->GetSafeHwnd()) m_pThis->Load();
            m_pThis->OnObjectsChanged();
            return S_OK;
        }
        HRESULT Show(UINT cmd) override {
            QWidget* w = platform::win::WidgetOf(m_pThis->GetSafeHwnd());
            if (!w) return E_UNEXPECTED;
            w->setVisible(cmd != SW_HIDE);
            return S_OK;
        }
        HRESULT Move(LPCRECT rect) override {
            if (!rect) return E_POINTER;
            QWidget* w = platform::win::WidgetOf(m_pThis->GetSafeHwnd());
            if (!w) return E_UNEXPECTED;
            w->move(rect->left, rect->top);
            return S_OK;
        }
        HRESULT IsPageDirty() override { return m_pThis->IsModified() ? S_OK : S_FALSE; }
        HRESULT Apply() override {
            if (!m_pThis->IsModified() || !m_pThis->GetSafeHwnd()) return S_OK;
            m_pThis->m_noted.clear();
            if (!m_pThis->UpdateData(TRUE)) return E_FAIL;
            bool changed = false;
            for (const auto& [id, dirty] : m_pThis->m_dirty) changed = changed || dirty;
            m_pThis->m_bModified = changed ? TRUE : FALSE;
            return changed ? E_FAIL : S_OK;
        }
        HRESULT Help(LPCOLESTR) override { return E_NOTIMPL; }
        HRESULT EditProperty(DISPID dispid) override {
            return m_pThis->OnEditProperty(dispid) ? S_OK : E_NOTIMPL;
        }
    } page;
};

COlePropertyPage::COlePropertyPage(UINT idTemplate, UINT idCaption)
    : CDialog(TemplateOf(idTemplate)), m_parts(new Parts), m_strCaption(AfxLoadString(idCaption)) {
    m_parts->page.m_pThis = this;
}

COlePropertyPage::COlePropertyPage(const DialogTemplate& dialogTemplate, std::string caption)
    : CDialog(dialogTemplate), m_parts(new Parts), m_strCaption(std::move(caption)) {
    m_parts->page.m_pThis = this;
}

COlePropertyPage::~COlePropertyPage() {
    DestroyWindow();
}

void* COlePropertyPage::GetInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPropertyPage || iid == IID_IPropertyPage2) {
        return static_cast<IPropertyPage2*>(&m_parts->page);
    }
    return nullptr;
}

void COlePropertyPage::SetHelpInfo(LPCSTR lpszDocString, LPCSTR lpszHelpFile, UINT nHelpContext) {
    m_strDocString = lpszDocString ? lpszDocString : "";
    m_strHelpFile = lpszHelpFile ? lpszHelpFile : "";
    m_nHelpContext = nHelpContext;
}

HRESULT COlePropertyPage::Activate(HWND hWndParent, LPCRECT pRect) {
    if (GetSafeHwnd()) return E_UNEXPECTED;
    if (!Create(hWndParent)) return E_FAIL;
    if (pRect) {
        if (QWidget* w = platform::win::WidgetOf(GetSafeHwnd())) w->move(pRect->left, pRect->top);
    }
    Load();
    return S_OK;
}

void COlePropertyPage::Load() {
    m_bLoading = true;
    UpdateData(FALSE);
    m_bLoading = false;
    m_dirty.clear();
    m_bModified = FALSE;
}

BOOL COlePropertyPage::OnInitDialog() {
    return CDialog::OnInitDialog();
}

BOOL COlePropertyPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (!m_bLoading && (code == EN_CHANGE || code == CBN_SELCHANGE || code == BN_CLICKED) &&
        m_bound.count(id)) {
        SetControlStatus(id, TRUE);
        SetModifiedFlag(TRUE);
    }
    return CDialog::OnCommand(wParam, lParam);
}

void COlePropertyPage::OnObjectsChanged() {}

BOOL COlePropertyPage::OnEditProperty(DISPID dispid) {
    UINT id = ControlOfProperty(dispid);
    QWidget* w = id ? platform::win::WidgetOf(GetDlgItem(static_cast<int>(id))) : nullptr;
    if (!w) return FALSE;
    w->setFocus();
    return TRUE;
}

UINT COlePropertyPage::ControlOfProperty(DISPID dispid) {
    if (m_objects.empty()) return 0;
    for (const auto& [id, name] : m_bound) {
        if (platform::com::DispIdOf(m_objects.front().get(), name) == dispid) return id;
    }
    return 0;
}

void COlePropertyPage::SetControlStatus(UINT nID, BOOL bDirty) {
    m_dirty[nID] = bDirty != FALSE;
}

BOOL COlePropertyPage::GetControlStatus(UINT nID) const {
    auto it = m_dirty.find(nID);
    return it != m_dirty.end() && it->second;
}

void COlePropertyPage::SetModifiedFlag(BOOL bModified) {
    m_bModified = bModified;
    if (bModified && m_pPageSite) m_pPageSite->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

BOOL COlePropertyPage::GetPropertyValue(LPCSTR pszPropName, Variant* value) {
    if (m_objects.empty()) return FALSE;
    IDispatch* object = m_objects.front().get();
    DISPID id = platform::com::DispIdOf(object, pszPropName);
    if (id == DISPID_UNKNOWN) return FALSE;
    auto r = platform::com::GetProperty(object, id);
    if (!r.ok()) return FALSE;
    *value = r.value;
    return TRUE;
}

BOOL COlePropertyPage::SetPropertyValue(LPCSTR pszPropName, const Variant& value) {
    bool ok = true;
    for (const auto& object : m_objects) {
        DISPID id = platform::com::DispIdOf(object.get(), pszPropName);
        std::string message;
        if (id == DISPID_UNKNOWN) {
            message = std::string("The object has no property ") + pszPropName + ".";
        } else {
            auto r = platform::com::PutProperty(object.get(), id, value);
            if (r.ok()) continue;
            message = r.hr == DISP_E_EXCEPTION && !r.description.empty()
                          ? r.description
                          : std::string("Invalid property value.");
        }
        AfxMessageBox(GetSafeHwnd(), message, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
        ok = false;
    }
    return ok ? TRUE : FALSE;
}

void COlePropertyPage::BindProperty(UINT nID, LPCSTR pszPropName) {
    m_bound[nID] = pszPropName;
}

void COlePropertyPage::NoteProperty(UINT nID, LPCSTR pszPropName, BoundKind kind,
                                    const void* member) {
    m_noted.push_back({nID, pszPropName, kind, member});
}

void COlePropertyPage::WriteNotedProperties() {
    std::vector<NotedProperty> noted = std::move(m_noted);
    m_noted.clear();
    for (const auto& p : noted) {
        if (!GetControlStatus(p.id)) continue;
        Variant value;
        switch (p.kind) {
            case BoundKind::Number:
                value = Variant::I4(*static_cast<const int*>(p.member));
                break;
            case BoundKind::Flag:
                value = Variant::Bool(*static_cast<const int*>(p.member) != 0);
                break;
            case BoundKind::Text:
                value = Variant::String(*static_cast<const std::string*>(p.member));
                break;
        }
        if (SetPropertyValue(p.name.c_str(), value)) SetControlStatus(p.id, FALSE);
    }
}

// ---- the property exchange ----

namespace {

using Kind = COlePropertyPage::BoundKind;

// Binds the control; loading reads the property into the member, saving notes it.
template <class T>
void Exchange(CDataExchange* pDX, int id, T& member, LPCSTR name, Kind kind) {
    auto* page = dynamic_cast<COlePropertyPage*>(pDX->m_pDlgWnd);
    if (!page || !name) return;
    page->BindProperty(static_cast<UINT>(id), name);
    if (pDX->m_bSaveAndValidate) {
        page->NoteProperty(static_cast<UINT>(id), name, kind, &member);
        return;
    }
    Variant value;
    if (!page->GetPropertyValue(name, &value)) return;
    HRESULT hr = S_OK;
    if constexpr (std::is_same_v<T, std::string>) {
        Variant text = value.As(VT_BSTR, &hr);
        if (SUCCEEDED(hr)) member = platform::com::Utf8(text.get().bstrVal);
    } else if (kind == Kind::Flag) {
        Variant flag = value.As(VT_BOOL, &hr);
        if (SUCCEEDED(hr)) member = flag.get().boolVal ? 1 : 0;
    } else {
        Variant number = value.As(VT_I4, &hr);
        if (SUCCEEDED(hr)) member = number.get().lVal;
    }
}

}  // namespace

void DDP_Text(CDataExchange* pDX, int id, int& member, LPCSTR pszPropName) {
    Exchange(pDX, id, member, pszPropName, Kind::Number);
}

void DDP_Text(CDataExchange* pDX, int id, std::string& member, LPCSTR pszPropName) {
    Exchange(pDX, id, member, pszPropName, Kind::Text);
}

void DDP_CBIndex(CDataExchange* pDX, int id, int& member, LPCSTR pszPropName) {
    Exchange(pDX, id, member, pszPropName, Kind::Number);
}

void DDP_Check(CDataExchange* pDX, int id, int& member, LPCSTR pszPropName) {
    Exchange(pDX, id, member, pszPropName, Kind::Flag);
}

void DDP_PostProcessing(CDataExchange* pDX) {
    if (!pDX->m_bSaveAndValidate) return;
    if (auto* page = dynamic_cast<COlePropertyPage*>(pDX->m_pDlgWnd)) page->WriteNotedProperties();
}
