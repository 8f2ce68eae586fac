// The backdrop-host protocol between a shape control and a backdrop host: another object of the
// same container that keeps one composed picture of everything on it (its backdrop) and draws its
// clients into that picture. Both sides include this header; neither links the other.
//
// Decisions this protocol is built on:
// - The records' fields carry pointers and handles at the platform's pointer width: a field that
//   holds a pointer or a handle is a pointer-sized field here, the others are 32-bit words, in the
//   order given. The attach record is copied whole by its receiver.
// - The host rectangle is the client's place in the host window's client coordinates: the
//   client's window lies inside the host's window, so that rectangle is also where the client
//   shows on the host's drawing context.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/com/unknown.h"

// ---- the interfaces ----

inline constexpr IID IID_IBackdropHost{
    0xE29E3E00, 0xD802, 0x11D1, {0xA3, 0x43, 0x00, 0xC0, 0xD1, 0x57, 0x2C, 0x5C}};
inline constexpr IID IID_IBackdropClient{
    0xE29E3E10, 0xD802, 0x11D1, {0xA3, 0x43, 0x00, 0xC0, 0xD1, 0x57, 0x2C, 0x5C}};

// The host's side: the commands a client sends it (BDH_...).
class IBackdropHost : public IUnknown {
public:
    virtual HRESULT Command(LONG code, void* data) = 0;

protected:
    ~IBackdropHost() = default;
};

// The client's side: the commands the host sends it (BDC_...). Always S_OK.
class IBackdropClient : public IUnknown {
public:
    virtual HRESULT Command(LONG code, void* data) = 0;

protected:
    ~IBackdropClient() = default;
};

// ---- the commands ----

// To the host.
inline constexpr LONG BDH_REGISTERCLIENT = 515;  // BackdropClientRecord* (host-draws 0, last 0)
inline constexpr LONG BDH_REMOVECLIENT = 516;    // the client's IBackdropClient*
inline constexpr LONG BDH_REDRAWRECT = 521;      // BackdropHostRect*: the host redraws the area
inline constexpr LONG BDH_GETDRAWTARGET = 522;   // BackdropDrawTarget* that the host fills
inline constexpr LONG BDH_UPDATECLIENT = 523;    // BackdropClientRecord* (last 1)
inline constexpr LONG BDH_QUERYHOST = 524;       // wParam of WM_FINDBACKDROPHOST

// To the client.
inline constexpr LONG BDC_ATTACH = 256;        // BackdropAttachRecord*, or null to detach
inline constexpr LONG BDC_PAINT = 258;         // no data: paint into the host's backdrop
inline constexpr LONG BDC_ENABLEDRAW = 259;    // the data argument is a BOOL: drawing allowed
inline constexpr LONG BDC_SENDTOBOTTOM = 517;  // no data: the client's window goes to the bottom

// Sent to a window to find a backdrop host: wParam BDH_QUERYHOST, lParam the address of an
// IBackdropHost* that a host window fills with a new reference.
inline constexpr UINT WM_FINDBACKDROPHOST = 3645;

// ---- the records ----

// x, y, width, height.
struct BackdropHostRect {
    LONG x;
    LONG y;
    LONG width;
    LONG height;
};

// A client as it tells the host about itself.
struct BackdropClientRecord {
    IBackdropClient* client;
    BackdropHostRect* rect;
    LONG zLevel;
    BOOL visible;
    // 1: the host repaints the client's area itself; 0: the client draws itself into the
    // target of BDH_GETDRAWTARGET.
    BOOL hostDraws;
    // 0 with BDH_REGISTERCLIENT, 1 with BDH_UPDATECLIENT.
    LONG last;
};

// What BDH_GETDRAWTARGET asks for: the host fills the context and the window; the client releases
// the context with ReleaseDC (window, context).
struct BackdropDrawTarget {
    BackdropHostRect* rect;  // the area to be drawn when the redraw path asks, else null
    HDC hdc;
    HWND hwnd;
};

// What the host gives a client that it attaches.
struct BackdropAttachRecord {
    HDC backdropDC;
    HPALETTE palette;  // the palette of paints into the backdrop and the drawing context
    void* reserved1;
    void* reserved2;
    HBITMAP backdropBitmap;  // the bitmap selected into the backdrop context
};
