// CShapectlCtrl on a backdrop host (shapectl/BackdropProtocol.h): the search for a host, the
// registration as its client, the reports of the control's place, visibility and z-level, the
// client's commands, and the redraw path that every property setter and method takes.
//
// Decisions this part is built on:
// - The control's position rectangle is its window's place in its parent window's client
//   coordinates (once the control sits on a host, the host window's), so the host rectangle is
//   where the control shows on the host's drawing context. Without a window it is the place the
//   container gave the control.
// - The host pointer the control keeps is an owned reference, valid for as long as it is held:
//   the search's first step takes a held pointer as valid.
// - A window the search makes the control's parent keeps the control's coordinates (the window
//   layer's SetParent): a control placed on a host is placed in the host's coordinates.
// - The control registers itself with the host rectangle of its window as it is created, so the
//   host knows its place from the first.
// - BDC_ATTACH with null clears the copied attach record with the attached flag, so a detached
//   control never draws from a host's backdrop again; BDC_PAINT without a backdrop context and
//   a draw target without a backdrop to draw from do nothing (the target context is released).
// - A hide of the window is taken from WM_WINDOWPOSCHANGING also when WM_SHOWWINDOW has cleared
//   the visible flag before it (ShowWindow sends both), so that hiding the window with ShowWindow
//   aborts a running effect and tells the host too.
#include <cstdint>
#include <cstring>

#include "platform/win/paint.h"
#include "platform/win/winmsg.h"
#include "shapectl/ShapectlCtl.h"

using platform::com::ComPtr;
using platform::com::Query;

namespace {

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool WindowOverlaps(HWND window, const RECT& mine) {
    RECT theirs;
    return window && GetWindowRect(window, &theirs) && Overlap(mine, theirs);
}

// The host a window names when it is asked WM_FINDBACKDROPHOST, or none.
ComPtr<IBackdropHost> AskWindow(HWND window) {
    IBackdropHost* found = nullptr;
    SendMessageA(window, WM_FINDBACKDROPHOST, static_cast<WPARAM>(BDH_QUERYHOST),
                 reinterpret_cast<LPARAM>(&found));
    return ComPtr<IBackdropHost>::Attach(found);
}

}  // namespace

// ---- the host ----

HRESULT CShapectlCtrl::AttachToBackdropHost() {
    if (m_pBackdropHost) return S_OK;
    IOleClientSite* site = GetClientSite();
    if (!m_hWnd || !site) return E_FAIL;
    RECT mine;
    GetWindowRect(m_hWnd, &mine);
    const HWND parent = GetParent(m_hWnd);

    // The container's objects: a host whose window is the parent already, else the first whose
    // window overlaps the control's.
    ComPtr<IBackdropHost> taken, candidate;
    HWND candidateWindow = nullptr;
    ComPtr<IOleContainer> container;
    ComPtr<IEnumUnknown> objects;
    if (SUCCEEDED(site->GetContainer(container.out())) && container &&
        SUCCEEDED(container->EnumObjects(OLECONTF_EMBEDDINGS | OLECONTF_LINKS | OLECONTF_OTHERS,
                                         objects.out())) &&
        objects) {
        IUnknown* next = nullptr;
        while (!taken && objects->Next(1, &next, nullptr) == S_OK && next) {
            auto object = ComPtr<IUnknown>::Attach(next);
            auto ole = Query<IOleObject>(object.get(), IID_IOleObject);
            auto host = ole ? Query<IBackdropHost>(ole.get(), IID_IBackdropHost) : nullptr;
            if (!host) continue;
            BackdropDrawTarget target{nullptr, nullptr, nullptr};
            host->Command(BDH_GETDRAWTARGET, &target);
            if (target.hdc) ::ReleaseDC(target.hwnd, target.hdc);
            if (target.hwnd && target.hwnd == parent) {
                taken = host;
            } else if (!candidate && WindowOverlaps(target.hwnd, mine)) {
                candidate = host;
                candidateWindow = target.hwnd;
            }
        }
    }
    if (!taken && candidate) {
        SetParent(m_hWnd, candidateWindow);
        taken = candidate;
    }

    // The parent itself, then the windows beside the control, topmost first.
    if (!taken && parent) taken = AskWindow(parent);
    if (!taken && parent) {
        for (HWND sibling = GetWindow(parent, GW_CHILD); sibling;
             sibling = GetWindow(sibling, GW_HWNDNEXT)) {
            if (sibling == m_hWnd || !WindowOverlaps(sibling, mine)) continue;
            if ((taken = AskWindow(sibling))) {
                SetParent(m_hWnd, sibling);
                break;
            }
        }
    }
    m_pBackdropHost = taken;
    return taken ? S_OK : E_FAIL;
}

RECT CShapectlCtrl::PositionRect() {
    RECT r{0, 0, 0, 0};
    if (WindowRectInParent(&r)) return r;
    if (GetRectInContainer(&r)) return r;
    int width = 0, height = 0;
    GetControlExtent(&width, &height);
    return RECT{0, 0, width, height};
}

void CShapectlCtrl::MakeHostRect() {
    RECT r = PositionRect();
    m_rcHost = BackdropHostRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void CShapectlCtrl::SendHostUpdate(BOOL hostDraws) {
    if (!m_pBackdropHost) return;
    BackdropClientRecord record{m_pBackdropClient.get(), &m_rcHost, m_props.ZLevel,
                                m_bHostVisible,          hostDraws, 1};
    m_pBackdropHost->Command(BDH_UPDATECLIENT, &record);
}

void CShapectlCtrl::ReportToHost() {
    SendHostUpdate(TRUE);
}

void CShapectlCtrl::ShowOnHost() {
    if (HasEffect() && m_hWnd && m_bHostVisible) {
        if (!IsEffectRunning() || m_props.AutoRedraw) HostSidePaint(nullptr);
    } else {
        ReportToHost();
    }
}

void CShapectlCtrl::HostSidePaint(BackdropHostRect* leading) {
    if (!m_pBackdropHost) return;
    SendHostUpdate(FALSE);
    m_drawTarget = BackdropDrawTarget{leading, nullptr, nullptr};
    m_pBackdropHost->Command(BDH_GETDRAWTARGET, &m_drawTarget);
    if (!m_drawTarget.hdc) return;
    if (!m_hBackdropDC) {
        ::ReleaseDC(m_drawTarget.hwnd, m_drawTarget.hdc);
        return;
    }
    RECT r = PositionRect();
    DrawControl(m_drawTarget.hdc, m_hBackdropDC, &r, 2, m_drawTarget.hwnd);
}

// ---- the window's messages ----

int CShapectlCtrl::OnCreate() {
    if (m_hWnd) DragAcceptFiles(m_hWnd, m_props.OLEDropAllowed);
    if (FAILED(AttachToBackdropHost())) return 0;
    if (m_pBackdropClient) {
        m_pBackdropHost->Command(BDH_REMOVECLIENT, m_pBackdropClient.get());
        m_pBackdropClient.reset();
    }
    ComPtr<IBackdropClient> client;
    if (FAILED(ExternalQueryInterface(IID_IBackdropClient, client.outVoid())) || !client) return 0;
    m_pBackdropClient = client;
    MakeHostRect();
    BackdropClientRecord record{client.get(), &m_rcHost, m_props.ZLevel, m_bHostVisible, 0, 0};
    m_pBackdropHost->Command(BDH_REGISTERCLIENT, &record);
    m_props.DesignStyle = 0;
    return 0;
}

void CShapectlCtrl::OnSetClientSite() {
    COleControl::OnSetClientSite();
    if (SUCCEEDED(AttachToBackdropHost()) && m_pBackdropClient) {
        m_pBackdropHost->Command(BDH_REMOVECLIENT, m_pBackdropClient.get());
        m_pBackdropClient.reset();
    }
}

void CShapectlCtrl::OnMove() {
    if (FAILED(AttachToBackdropHost()) || !m_props.Update ||
        (IsEffectRunning() && !m_props.AutoRedraw)) {
        return;
    }
    MakeHostRect();
    ShowOnHost();
}

void CShapectlCtrl::OnSize() {
    OnMove();
}

void CShapectlCtrl::OnShowWindow(BOOL show, UINT) {
    m_bHostVisible = show;
    if (FAILED(AttachToBackdropHost()) || (IsEffectRunning() && !m_props.AutoRedraw)) return;
    MakeHostRect();
    if (HasEffect() && m_hWnd && m_bHostVisible) {
        if (!m_bHostUpdatePending) HostSidePaint(nullptr);
    } else {
        ReportToHost();
    }
}

void CShapectlCtrl::OnWindowPosChanging(WINDOWPOS* pos) {
    auto abortRunning = [this] {
        if (IsEffectRunning() && !m_props.AutoRedraw) {
            ++m_nHostEffectAborts;
            AbortEffect();
        }
    };
    // A hide while the window still shows counts too: ShowWindow sends WM_SHOWWINDOW (which
    // clears the visible flag) first, and a running effect must not go on drawing the hidden
    // control into the host, nor the host go on showing it.
    if ((pos->flags & SWP_HIDEWINDOW) && (m_bHostVisible || (m_hWnd && IsWindowVisible(m_hWnd)))) {
        m_bHostVisible = FALSE;
        if (m_pBackdropHost) {
            abortRunning();
            ReportToHost();
        }
    } else if ((pos->flags & SWP_SHOWWINDOW) && !m_bHostVisible) {
        m_bHostVisible = TRUE;
        if (m_pBackdropHost) {
            abortRunning();
            MakeHostRect();
            ShowOnHost();
        }
    }
    // The host repaints an attached control's area: the window layer does not.
    if (m_bHostAttached) pos->flags |= SWP_NOREDRAW;
}

void CShapectlCtrl::OnZLevelChanged() {
    if (SUCCEEDED(AttachToBackdropHost())) ShowOnHost();
    NotifyPropChange(9);
}

// ---- the redraw path ----

void CShapectlCtrl::RedrawControl() {
    ++m_redrawTrace.redraws;
    const BOOL run = AmbientUserMode();
    if (!m_bHostAttached || FAILED(AttachToBackdropHost()) || !m_hWnd || !m_bHostVisible ||
        !m_props.Update) {
        // Not on a host: repaint through the invalidation, except at run time while Update is
        // FALSE.
        if (!run || m_props.Update) InvalidateWithBackground(FALSE);
        return;
    }
    MakeHostRect();
    if (!HasEffect() || (!run && !m_props.Preview)) {
        m_pBackdropHost->Command(BDH_REDRAWRECT, &m_rcHost);
        return;
    }
    if (m_bHostUpdatePending || (IsEffectRunning() && !m_props.AutoRedraw)) return;
    HostSidePaint(&m_rcHost);
}

// ---- the client's commands ----

void* CShapectlCtrl::GetInterface(REFIID iid) {
    if (iid == IID_IBackdropClient) return static_cast<IBackdropClient*>(&m_xBackdropClient);
    return COleControl::GetInterface(iid);
}

HRESULT CShapectlCtrl::XBackdropClient::QueryInterface(REFIID riid, void** ppv) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_pThis->ExternalQueryInterface(riid, ppv);
}

ULONG CShapectlCtrl::XBackdropClient::AddRef() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_pThis->ExternalAddRef();
}

ULONG CShapectlCtrl::XBackdropClient::Release() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_pThis->ExternalRelease();
}

HRESULT CShapectlCtrl::XBackdropClient::Command(LONG code, void* data) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return m_pThis->BackdropCommand(code, data);
}

HRESULT CShapectlCtrl::BackdropCommand(LONG code, void* data) {
    switch (code) {
        case BDC_ATTACH:
            if (data) {
                BackdropAttachRecord record;
                std::memcpy(&record, data, sizeof record);
                m_hBackdropDC = record.backdropDC;
                m_hBackdropPalette = record.palette;
                m_hBackdropBitmap = record.backdropBitmap;
                m_bHostAttached = TRUE;
            } else {
                m_hBackdropDC = nullptr;
                m_hBackdropPalette = nullptr;
                m_hBackdropBitmap = nullptr;
                m_bHostAttached = FALSE;
            }
            break;
        case BDC_PAINT:
            if (m_hBackdropDC) {
                RECT r = PositionRect();
                DrawControl(m_hBackdropDC, nullptr, &r, 1, nullptr);
            }
            break;
        case BDC_ENABLEDRAW:
            m_bDrawAllowed = reinterpret_cast<std::intptr_t>(data) != 0 ? TRUE : FALSE;
            break;
        case BDC_SENDTOBOTTOM:
            if (m_hWnd) {
                SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
            }
            break;
        default:
            break;
    }
    return S_OK;
}
