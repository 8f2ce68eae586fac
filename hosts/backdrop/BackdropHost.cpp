#include "hosts/backdrop/BackdropHost.h"

#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/files/files.h"
#include "platform/gdi/picturefile.h"
#include "platform/gdi/qt.h"
#include "platform/win/paint.h"
#include "platform/win/winmsg.h"

namespace backdrop {

using platform::com::ComPtr;

namespace {

RECT RectOf(const BackdropHostRect& r) {
    return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
}

int Mix(int from, int to, int at, int span) {
    return span <= 1 ? from : from + (to - from) * at / (span - 1);
}

}  // namespace

ComPtr<BackdropHost> BackdropHost::Create() {
    return ComPtr<BackdropHost>::Attach(new BackdropHost());
}

BackdropHost::~BackdropHost() {
    Shut();
    if (picture_) DeleteObject(picture_);
}

void* BackdropHost::GetInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IOleObject) return static_cast<IOleObject*>(this);
    if (riid == IID_IBackdropHost) return static_cast<IBackdropHost*>(this);
    return nullptr;
}

// ---- the backdrop ----

void BackdropHost::SetGradient(COLORREF top, COLORREF bottom) {
    top_ = top;
    bottom_ = bottom;
    Compose();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void BackdropHost::SetPicture(HBITMAP picture) {
    if (picture_) DeleteObject(picture_);
    picture_ = picture;
    Compose();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

bool BackdropHost::LoadPicture(const std::string& file, std::string* why) {
    // A file larger than the largest picture the graphics layer takes is not read.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(platform::gdi::kMaxPicturePixels) * 4 + 4096;
    std::optional<std::string> bytes = platform::files::ReadFile(file, nullptr, limit);
    if (!bytes) {
        if (why)
            *why = errno == EFBIG ? file + " is too large for a picture" : "cannot read " + file;
        return false;
    }
    QImage image = platform::gdi::DecodePicture(*bytes, nullptr, why);
    if (image.isNull()) return false;
    SetPicture(platform::gdi::BitmapFromImage(image));
    return true;
}

void BackdropHost::MakeBackdrop(int width, int height) {
    FreeBackdrop();
    HDC screen = GetDC(nullptr);
    backdropDC_ = CreateCompatibleDC(screen);
    backdropBitmap_ = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
    ReleaseDC(nullptr, screen);
    oldBitmap_ = SelectObject(backdropDC_, backdropBitmap_);
}

void BackdropHost::FreeBackdrop() {
    if (!backdropDC_) return;
    SelectObject(backdropDC_, oldBitmap_);
    DeleteDC(backdropDC_);
    DeleteObject(backdropBitmap_);
    backdropDC_ = nullptr;
    backdropBitmap_ = nullptr;
    oldBitmap_ = nullptr;
}

void BackdropHost::Compose() {
    if (!backdropDC_ || !window_) return;
    if (composing_) {
        // A client's paint asked for another composition: it follows this one.
        composeAgain_ = true;
        return;
    }
    composing_ = true;
    do {
        composeAgain_ = false;
        RECT all;
        GetClientRect(window_, &all);
        const int height = all.bottom;
        for (int y = 0; y < height; ++y) {
            COLORREF c = RGB(Mix(GetRValue(top_), GetRValue(bottom_), y, height),
                             Mix(GetGValue(top_), GetGValue(bottom_), y, height),
                             Mix(GetBValue(top_), GetBValue(bottom_), y, height));
            HBRUSH brush = CreateSolidBrush(c);
            RECT row{0, y, all.right, y + 1};
            FillRect(backdropDC_, &row, brush);
            DeleteObject(brush);
        }
        if (picture_) {
            BITMAP bm{};
            GetObject(picture_, sizeof bm, &bm);
            HDC from = CreateCompatibleDC(backdropDC_);
            HGDIOBJ old = SelectObject(from, picture_);
            BitBlt(backdropDC_, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
            SelectObject(from, old);
            DeleteDC(from);
        }
        // The clients bottom first; a client that goes away while it paints is not lost track of.
        std::vector<Client> order = clients_;
        std::stable_sort(order.begin(), order.end(),
                         [](const Client& a, const Client& b) { return a.zLevel < b.zLevel; });
        for (const Client& c : order) {
            if (c.visible && Find(c.client.get())) c.client->Command(BDC_PAINT, nullptr);
        }
    } while (composeAgain_);
    composing_ = false;
}

RECT BackdropHost::Whole() const {
    RECT all{0, 0, 0, 0};
    if (window_) GetClientRect(window_, &all);
    return all;
}

void BackdropHost::Show(const RECT& area, const RECT* excluded) {
    if (!window_ || !backdropDC_ || area.right <= area.left || area.bottom <= area.top) return;
    HDC dc = GetDC(window_);
    if (!dc) return;
    if (excluded)
        ExcludeClipRect(dc, excluded->left, excluded->top, excluded->right, excluded->bottom);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, backdropDC_,
           area.left, area.top, SRCCOPY);
    ReleaseDC(window_, dc);
}

void BackdropHost::AdoptWindow(HWND window) {
    platform::gdi::SetWindowBackgroundPainter(window, [this, window](HDC dc, const RECT& r) {
        if (!backdropDC_ || !window_) return;
        POINT at{0, 0};
        ClientToScreen(window, &at);
        ScreenToClient(window_, &at);
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, backdropDC_, at.x + r.left,
               at.y + r.top, SRCCOPY);
    });
}

// ---- the window ----

HRESULT BackdropHost::Place(HWND parent, const RECT& place) {
    if (window_) {
        MoveWindow(window_, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, TRUE);
        return S_OK;
    }
    window_ = platform::win::CreateChildWindow(
        parent, place, [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            return Proc(hwnd, msg, wParam, lParam);
        });
    if (!window_) return E_FAIL;
    MakeBackdrop(place.right - place.left, place.bottom - place.top);
    Compose();
    ShowWindow(window_, SW_SHOWNORMAL);
    return S_OK;
}

LRESULT BackdropHost::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_FINDBACKDROPHOST:
            if (wParam != static_cast<WPARAM>(BDH_QUERYHOST) || !lParam) return 0;
            *reinterpret_cast<IBackdropHost**>(lParam) =
                ComPtr<IBackdropHost>(static_cast<IBackdropHost*>(this)).detach();
            return 1;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the whole window
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (HDC dc = BeginPaint(hwnd, &ps)) {
                if (backdropDC_) {
                    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                           ps.rcPaint.bottom - ps.rcPaint.top, backdropDC_, ps.rcPaint.left,
                           ps.rcPaint.top, SRCCOPY);
                }
                EndPaint(hwnd, &ps);
            }
            return 0;
        }
        case WM_SIZE: {
            BITMAP bm{};
            if (!backdropDC_ || !GetObject(backdropBitmap_, sizeof bm, &bm) ||
                (bm.bmWidth == static_cast<LONG>(LOWORD(lParam)) &&
                 bm.bmHeight == static_cast<LONG>(HIWORD(lParam)))) {
                return 0;
            }
            {
                MakeBackdrop(LOWORD(lParam), HIWORD(lParam));
                BackdropAttachRecord record{backdropDC_, nullptr, nullptr, nullptr,
                                            backdropBitmap_};
                SendToClients(BDC_ATTACH, &record);
                Compose();
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// ---- the clients ----

BackdropHost::Client* BackdropHost::Find(IBackdropClient* client) {
    for (Client& c : clients_) {
        if (client && c.client.get() == client) return &c;
    }
    return nullptr;
}

void BackdropHost::SendToClients(LONG code, void* data) {
    std::vector<Client> all = clients_;
    for (const Client& c : all) c.client->Command(code, data);
}

void BackdropHost::EnableDraw(BOOL allowed) {
    SendToClients(BDC_ENABLEDRAW, reinterpret_cast<void*>(static_cast<std::intptr_t>(allowed)));
}

HRESULT BackdropHost::Command(LONG code, void* data) {
    Received r{code};
    auto* record = static_cast<BackdropClientRecord*>(data);
    if ((code == BDH_REGISTERCLIENT || code == BDH_UPDATECLIENT) && record) {
        r.client = record->client;
        if (record->rect) r.rect = *record->rect;
        r.zLevel = record->zLevel;
        r.visible = record->visible;
        r.hostDraws = record->hostDraws;
        r.last = record->last;
    } else if (code == BDH_REMOVECLIENT) {
        r.client = static_cast<IBackdropClient*>(data);
    } else if (code == BDH_REDRAWRECT && data) {
        r.rect = *static_cast<BackdropHostRect*>(data);
    } else if (code == BDH_GETDRAWTARGET && data) {
        auto* target = static_cast<BackdropDrawTarget*>(data);
        r.leadingRect = target->rect != nullptr;
        if (target->rect) r.rect = *target->rect;
    }
    received.push_back(r);

    switch (code) {
        case BDH_REGISTERCLIENT: {
            if (!record || !record->client || Find(record->client)) return E_INVALIDARG;
            Client c{ComPtr<IBackdropClient>(record->client), r.rect, record->zLevel,
                     record->visible, record->hostDraws};
            clients_.push_back(c);
            BackdropAttachRecord attach{backdropDC_, nullptr, nullptr, nullptr, backdropBitmap_};
            c.client->Command(BDC_ATTACH, backdropDC_ ? &attach : nullptr);
            return S_OK;
        }
        case BDH_REMOVECLIENT: {
            Client* c = Find(static_cast<IBackdropClient*>(data));
            if (!c) return E_INVALIDARG;
            bool shown = c->visible;
            clients_.erase(clients_.begin() + (c - clients_.data()));
            if (shown) {
                Compose();
                Show(Whole());
            }
            return S_OK;
        }
        case BDH_REDRAWRECT:
            if (!data) return E_INVALIDARG;
            Compose();
            Show(Whole());
            return S_OK;
        case BDH_GETDRAWTARGET: {
            if (!data) return E_INVALIDARG;
            auto* target = static_cast<BackdropDrawTarget*>(data);
            target->hwnd = window_;
            target->hdc = window_ ? GetDC(window_) : nullptr;
            return S_OK;
        }
        case BDH_UPDATECLIENT: {
            Client* c = record ? Find(record->client) : nullptr;
            if (!c) return E_INVALIDARG;
            c->rect = r.rect;
            c->zLevel = record->zLevel;
            c->visible = record->visible;
            c->hostDraws = record->hostDraws;
            const RECT now = RectOf(c->rect);
            Compose();
            Show(Whole(), c->hostDraws || !c->visible ? nullptr : &now);
            return S_OK;
        }
        default:
            return E_NOTIMPL;
    }
}

// ---- the object ----

HRESULT BackdropHost::SetClientSite(IOleClientSite* pClientSite) {
    site_ = ComPtr<IOleClientSite>(pClientSite);
    return S_OK;
}

HRESULT BackdropHost::GetClientSite(IOleClientSite** ppClientSite) {
    if (!ppClientSite) return E_POINTER;
    *ppClientSite = ComPtr<IOleClientSite>(site_).detach();
    return S_OK;
}

HRESULT BackdropHost::Close(DWORD) {
    Shut();
    return S_OK;
}

HRESULT BackdropHost::DoVerb(LONG iVerb, HWND hwndParent, LPCRECT lprcPosRect) {
    if (iVerb == OLEIVERB_HIDE) {
        if (window_) ShowWindow(window_, SW_HIDE);
        return S_OK;
    }
    if (!lprcPosRect) return E_INVALIDARG;
    return Place(hwndParent, *lprcPosRect);
}

HRESULT BackdropHost::SetExtent(DWORD, SIZEL* psizel) {
    if (!psizel) return E_POINTER;
    extent_ = *psizel;
    return S_OK;
}

HRESULT BackdropHost::GetExtent(DWORD, SIZEL* psizel) {
    if (!psizel) return E_POINTER;
    *psizel = extent_;
    return S_OK;
}

HRESULT BackdropHost::GetMiscStatus(DWORD, DWORD* pdwStatus) {
    if (!pdwStatus) return E_POINTER;
    *pdwStatus = 0;
    return S_OK;
}

void BackdropHost::Shut() {
    std::vector<Client> going = std::move(clients_);
    clients_.clear();
    for (const Client& c : going) c.client->Command(BDC_ATTACH, nullptr);
    going.clear();
    if (window_) {
        HWND window = window_;
        // The clients' windows stay with the container.
        HWND parent = GetParent(window);
        std::vector<HWND> children;
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        for (HWND child : children) {
            platform::gdi::SetWindowBackgroundPainter(child, nullptr);
            SetParent(child, parent);
        }
        window_ = nullptr;
        platform::win::SetWindowProc(window, nullptr);
        DestroyWindow(window);
    }
    FreeBackdrop();
    site_.reset();
}

}  // namespace backdrop
