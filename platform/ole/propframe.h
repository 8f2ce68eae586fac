// The container's property frame: a window with one tab for each property page of the objects it
// edits, and OK, Cancel and Apply buttons, as OleCreatePropertyFrame shows it.
//
// The frame creates each page by its class id (the class library's stock colour, font and picture
// pages are served by this layer itself, see stockpages.h), gives it the objects and a page site,
// and activates it inside its tab when the tab is first shown. Apply applies every page that
// holds changes; OK applies and closes the frame, unless a page could not apply all of its
// changes; Cancel closes it and drops what was not applied.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/variant.h"
#include "platform/ole/oleidl.h"

class QWidget;

namespace platform::ole {

class PropertyFrame {
public:
    PropertyFrame();
    ~PropertyFrame();
    PropertyFrame(const PropertyFrame&) = delete;
    PropertyFrame& operator=(const PropertyFrame&) = delete;

    // The pages an object lists (ISpecifyPropertyPages), in its order.
    static std::vector<CLSID> PagesOf(IUnknown* object);

    // Makes the frame's window (not shown yet) and the pages for the objects. A page that cannot
    // be created is left out; Problems() says which. Fails when no page could be made or there is
    // no window system.
    HRESULT Open(HWND hWndOwner, const std::string& caption, const std::vector<IUnknown*>& objects,
                 const std::vector<CLSID>& pages);
    // Deactivates and releases the pages and destroys the window.
    void Close();
    bool IsOpen() const;
    const std::vector<std::string>& Problems() const { return problems_; }

    int PageCount() const;
    std::string PageTitle(int index) const;
    CLSID PageClass(int index) const;
    IPropertyPage* Page(int index) const;
    // Shows the page in its tab, activating it the first time.
    HRESULT SelectPage(int index);
    int CurrentPage() const;
    // The page's own window (once activated), or null.
    HWND PageWindow(int index) const;
    // Selects the page that edits the property of the first object (IPerPropertyBrowsing) and has
    // it give the focus to the property's control.
    HRESULT EditProperty(DISPID dispid);

    // Whether a page holds changes that are not applied.
    bool IsDirty() const;
    // Applies every page with changes; the first failure, or S_OK.
    HRESULT Apply();

    // The frame's window.
    QWidget* Widget() const;
    HWND Window() const;
    void Show();
    // Runs the frame until OK or Cancel closes it: IDOK or IDCANCEL.
    int Exec();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::vector<std::string> problems_;
};

}  // namespace platform::ole

// Shows the property frame of the objects with the pages given, modally, at (x, y) of the owner.
HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption,
                               ULONG cObjects, IUnknown** ppUnk, ULONG cPages, LPCLSID pPageClsID,
                               LCID lcid, DWORD dwReserved, LPVOID pvReserved);
