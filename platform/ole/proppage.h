// Property pages of the class library: a page is a COM object (IPropertyPage2) and a child dialog
// of its frame, bound to the properties of the objects it edits by their names.
//
// A page's DoDataExchange runs, for each bound control in order, the property exchange (DDP_...)
// and then the control exchange (DDX_...), followed by DDP_PostProcessing:
//  - loading (the page's activation, and new objects): DDP reads the property of the first object
//    into the member, DDX shows the member in the control;
//  - saving (Apply): DDP notes the property and its member, DDX reads the control into the member;
//    the page may adjust members after the rows; DDP_PostProcessing then writes, to every object,
//    the properties whose controls the user changed since the last Apply, through their dispatch
//    interfaces. A property that an object refuses is reported in a message box with the
//    object's message, and its control stays changed; the other properties are written as usual.
//
// A control counts as changed when it sends a notice (EN_CHANGE, CBN_SELCHANGE, BN_CLICKED) while
// the page is not loading it. The page then tells its frame that it is dirty.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/variant.h"
#include "platform/ole/dialog.h"
#include "platform/ole/module.h"
#include "platform/ole/oleidl.h"

class COlePropertyPage : public CCmdTarget, public CDialog {
public:
    // The page of dialog template idTemplate of the module, titled by string idCaption.
    COlePropertyPage(UINT idTemplate, UINT idCaption);
    // The page of a template and a title of its own (the class library's stock pages).
    COlePropertyPage(const DialogTemplate& dialogTemplate, std::string caption);
    ~COlePropertyPage() override;

    void* GetInterface(REFIID iid) override;

    // What the frame shows for help on the page.
    void SetHelpInfo(LPCSTR lpszDocString, LPCSTR lpszHelpFile = nullptr, UINT nHelpContext = 0);
    const std::string& GetCaption() const { return m_strCaption; }

    // The dispatch interfaces of the objects the page edits.
    const std::vector<platform::com::ComPtr<IDispatch>>& GetObjects() const { return m_objects; }
    IPropertyPageSite* GetPageSite() const { return m_pPageSite.get(); }

    // Changed controls.
    void SetControlStatus(UINT nID, BOOL bDirty);
    BOOL GetControlStatus(UINT nID) const;
    void SetModifiedFlag(BOOL bModified = TRUE);
    BOOL IsModified() const { return m_bModified; }

    // Writes the property to every object; FALSE when one refused it (reported already).
    BOOL SetPropertyValue(LPCSTR pszPropName, const platform::com::Variant& value);
    // The property of the first object; FALSE when there is none or it cannot be read.
    BOOL GetPropertyValue(LPCSTR pszPropName, platform::com::Variant* value);

    // The page's side of IPropertyPage, for its derived classes.
    virtual void OnObjectsChanged();
    virtual BOOL OnEditProperty(DISPID dispid);

    // Used by the DDP functions: the property a control is bound to, a property noted while
    // saving with the member that holds its value, and the writing of the noted properties.
    enum class BoundKind { Number, Flag, Text };
    void BindProperty(UINT nID, LPCSTR pszPropName);
    void NoteProperty(UINT nID, LPCSTR pszPropName, BoundKind kind, const void* member);
    void WriteNotedProperties();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The control bound to a property by the last exchange, or 0.
    UINT ControlOfProperty(DISPID dispid);
    // While the page loads its controls from the objects.
    bool IsLoading() const { return m_bLoading; }

private:
    struct Parts;
    friend struct Parts;
    struct NotedProperty {
        UINT id;
        std::string name;
        BoundKind kind;
        const void* member;
    };
    // Loads the controls from the objects, with the controls' notices not counted as changes.
    void Load();
    HRESULT Activate(HWND hWndParent, LPCRECT pRect);

    std::unique_ptr<Parts> m_parts;
    std::string m_strCaption;
    std::string m_strDocString, m_strHelpFile;
    UINT m_nHelpContext = 0;
    std::vector<platform::com::ComPtr<IDispatch>> m_objects;
    platform::com::ComPtr<IPropertyPageSite> m_pPageSite;
    std::map<UINT, bool> m_dirty;
    std::map<UINT, std::string> m_bound;  // control id -> property name
    std::vector<NotedProperty> m_noted;
    BOOL m_bModified = FALSE;
    bool m_bLoading = false;
};

// The property exchange of one bound control (see above).
void DDP_Text(CDataExchange* pDX, int id, int& member, LPCSTR pszPropName);
void DDP_Text(CDataExchange* pDX, int id, std::string& member, LPCSTR pszPropName);
void DDP_CBIndex(CDataExchange* pDX, int id, int& member, LPCSTR pszPropName);
void DDP_Check(CDataExchange* pDX, int id, int& member, LPCSTR pszPropName);
void DDP_PostProcessing(CDataExchange* pDX);
