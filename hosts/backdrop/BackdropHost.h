// A backdrop host: an object of a container (it answers IOleObject and IBackdropHost) with a
// window of its own on the container's form. It keeps one composed picture of everything on it,
// its backdrop: a vertical gradient with an optional picture at its top left corner, and over
// that each visible client in the order of their z-levels (a higher z-level lies above a lower
// one; equal ones in the order they registered), each client painting itself into the backdrop
// (BDC_PAINT). Its window shows the backdrop.
//
// What it does with each command of shapectl/BackdropProtocol.h:
//   BDH_REGISTERCLIENT  keeps the client (a counted reference) with its record and attaches it
//                       (BDC_ATTACH with the backdrop context, no palette and the backdrop bitmap)
//   BDH_REMOVECLIENT    forgets the client and shows the backdrop without it
//   BDH_REDRAWRECT      composes the backdrop again and shows it
//   BDH_GETDRAWTARGET   gives a context onto its window (the client releases it) and the window
//   BDH_UPDATECLIENT    takes the client's new place, z-level, visibility and who draws; composes
//                       the backdrop again and shows it, with host-draws 0 all but the client's
//                       new place (the client draws itself there, from the backdrop, into the
//                       drawing context)
// The window shows the whole backdrop after each composition: a client's paint into the backdrop
// may first paint what lies beneath its own window onto the screen.
//   WM_FINDBACKDROPHOST its window answers with the host (a new reference)
// Records of clients it does not know are ignored. Closed, it detaches its clients (BDC_ATTACH
// null), gives the windows on it back to its own parent (no longer painting their background)
// and destroys its window.
#pragma once

#include <string>
#include <vector>

#include "platform/com/object.h"
#include "platform/ole/oleidl.h"
#include "shapectl/BackdropProtocol.h"

namespace backdrop {

class BackdropHost final : public platform::com::Object<IOleObject, IBackdropHost> {
public:
    static platform::com::ComPtr<BackdropHost> Create();

    // The backdrop's gradient, from the top colour to the bottom one.
    void SetGradient(COLORREF top, COLORREF bottom);
    // The picture drawn at the backdrop's top left corner (the host owns the bitmap; null: none).
    void SetPicture(HBITMAP picture);
    // The picture of an image file; false (and *why) when it cannot be read.
    bool LoadPicture(const std::string& file, std::string* why);

    // Makes the window, a child of the parent at the place (its client coordinates), and shows
    // it; again, moves it.
    HRESULT Place(HWND parent, const RECT& place);
    HWND Window() const { return window_; }
    HDC BackdropDC() const { return backdropDC_; }
    // Lets a window on the host show the backdrop beneath it (its background painter).
    void AdoptWindow(HWND window);
    // Tells every client whether it may draw (BDC_ENABLEDRAW).
    void EnableDraw(BOOL allowed);
    // Sends a command to every client.
    void SendToClients(LONG code, void* data);

    // The clients, in the order they registered.
    struct Client {
        platform::com::ComPtr<IBackdropClient> client;
        BackdropHostRect rect;
        LONG zLevel;
        BOOL visible;
        BOOL hostDraws;
    };
    const std::vector<Client>& Clients() const { return clients_; }

    // Every command received, with what its record said.
    struct Received {
        LONG code;
        IBackdropClient* client = nullptr;  // not a reference: for comparing only
        BackdropHostRect rect{0, 0, 0, 0};
        LONG zLevel = 0;
        BOOL visible = FALSE;
        BOOL hostDraws = FALSE;
        LONG last = 0;
        bool leadingRect = false;  // BDH_GETDRAWTARGET: the record's leading pointer was set
    };
    std::vector<Received> received;

    void* GetInterface(REFIID riid) override;
    // IOleObject: in-place activation places the window; Close shuts the host.
    HRESULT SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT GetClientSite(IOleClientSite** ppClientSite) override;
    HRESULT Close(DWORD dwSaveOption) override;
    HRESULT DoVerb(LONG iVerb, HWND hwndParent, LPCRECT lprcPosRect) override;
    HRESULT GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT GetMiscStatus(DWORD, DWORD* pdwStatus) override;
    // IBackdropHost
    HRESULT Command(LONG code, void* data) override;

private:
    BackdropHost() = default;
    ~BackdropHost() override;

    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void MakeBackdrop(int width, int height);
    void FreeBackdrop();
    // Paints the gradient, the picture and the visible clients into the backdrop.
    void Compose();
    // Copies the area of the backdrop onto the window, leaving out the excluded rectangle.
    void Show(const RECT& area, const RECT* excluded = nullptr);
    RECT Whole() const;
    Client* Find(IBackdropClient* client);
    void Shut();

    platform::com::ComPtr<IOleClientSite> site_;
    HWND window_ = nullptr;
    HDC backdropDC_ = nullptr;
    HBITMAP backdropBitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HBITMAP picture_ = nullptr;
    COLORREF top_ = RGB(0, 0, 128);
    COLORREF bottom_ = RGB(0, 128, 128);
    SIZEL extent_{0, 0};
    std::vector<Client> clients_;
    bool composing_ = false;
    bool composeAgain_ = false;
};

}  // namespace backdrop
