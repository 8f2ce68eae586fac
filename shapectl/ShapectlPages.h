// The shape control's eight property pages. Each is a class library property page whose dialog
// and bindings come from one table of its controls (PageSpec): a row names the control, its
// kind, its place and the property it edits, in exchange order, and for a list its entries.
#pragma once

#include <string>
#include <vector>

#include "platform/ole/proppage.h"
#include "shapectl/shapectl.h"

// One bound control of a page.
struct PageBinding {
    enum Kind { List, Number, Text, Check, Button } kind;
    int id;
    int x, y, cx, cy;      // dialog units; for a list, cy is the dropped list's height
    const char* property;  // the property it edits; a button's text
    bool sorted = false;   // a list with the sorted style
    std::vector<const char*> data = {};  // a list's entries from the dialog's initial data
    UINT stringBase = 0;  // or: a list of stringCount texts of the drawing library, from
    int stringCount = 0;  // string stringBase on
};

struct PageSpec {
    CLSID clsid;
    UINT dialogId;
    UINT captionId;
    bool help;    // the page names the library's help file
    DWORD style;  // the dialog's window style
    std::vector<PageBinding> rows;
    std::vector<DialogItem> extras = {};  // controls bound to no property
};

// The dialog template a page's rows make: each field labelled by its property's name and a colon,
// right-aligned on the field's row to its left; each check box with its property's name.
DialogTemplate MakePageTemplate(const PageSpec& spec);

// The module name the pages load the drawing library by (tests name a missing library).
void SetDrawingLibraryName(const char* name);

// The base of the eight pages: one member per bound control (lists -1, numbers and checks 0,
// texts empty until the first exchange), the exchange of the rows in order, then the page's own
// adjustments (Adjust), then the class library's post-processing.
class CShapePropertyPage : public COlePropertyPage {
public:
    explicit CShapePropertyPage(const PageSpec& spec);
    HRESULT GetClassID(LPCLSID pclsid) const;
    const PageSpec& Spec() const { return m_spec; }

protected:
    // The base class's; on the pages with lists of the drawing library, then those lists filled
    // from its string table, returning FALSE.
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    virtual void Adjust(CDataExchange* pDX);
    int& Value(int id) { return m_values[id]; }

private:
    const PageSpec& m_spec;
    std::map<int, int> m_values;
    std::map<int, std::string> m_texts;
};

class CShapectlPropPage : public CShapePropertyPage {
    DECLARE_DYNCREATE(CShapectlPropPage)

public:
    CShapectlPropPage();
};

class CBorderPage : public CShapePropertyPage {
    DECLARE_DYNCREATE(CBorderPage)

public:
    CBorderPage();
};

class CHotspot : public CShapePropertyPage {
    DECLARE_DYNCREATE(CHotspot)

public:
    CHotspot();

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Button 217: the open dialog for a hotspot file; a chosen file's path goes into field 216.
    void OnBrowse();
};

class CEffects : public CShapePropertyPage {
    DECLARE_DYNCREATE(CEffects)

public:
    CEffects();
};

class CFontStyle : public CShapePropertyPage {
    DECLARE_DYNCREATE(CFontStyle)

public:
    CFontStyle();
};

class CMiscellaneous : public CShapePropertyPage {
    DECLARE_DYNCREATE(CMiscellaneous)

public:
    CMiscellaneous();

protected:
    // MousePointer: entry 44 stands for the custom pointer 99.
    void Adjust(CDataExchange* pDX) override;
};

class CShape : public CShapePropertyPage {
    DECLARE_DYNCREATE(CShape)

public:
    CShape();
};

class DrawPPG : public CShapePropertyPage {
    DECLARE_DYNCREATE(DrawPPG)

public:
    DrawPPG();

protected:
    // DrawMode: entry 0 writes 1.
    void Adjust(CDataExchange* pDX) override;
};

// The control library's string table and dialog templates, made the module's own (the module
// object does it; tests that link the control's code do it themselves).
void ShapectlInstallResources();
