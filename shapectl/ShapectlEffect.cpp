// CShapectlCtrl: the effect worker that shows a paint's image, its control side (start, priority,
// pause, resume, abort, stop, destroy) and the completion step with the Notify event.
//
// Decisions this part is built on:
// - A thread of this system cannot be suspended from outside. Suspension is the gate of
//   platform::base::WorkerThread, which the worker passes before its procedure runs and the
//   drawing library passes between the steps of an effect; so a paused worker stops at its next
//   step, and what the host sees (EffectStatus 0 none, 1 suspended or cued, 2 running) is what
//   suspend and resume give.
// - Every word the two threads share is read and written atomically on both sides (LoadWord and
//   StoreWord; the drawing library does the same with the words it is given by pointer). The
//   parameter block and the paint image are written before the worker is resumed and not again
//   while it lives. The worker reports back only by posting WM_EFFECTCOMPLETE to the control's
//   window; the completion step and the Notify event run on the user-interface thread.
// - The worker draws through a context onto the window's part of its form's surface (the graphics
//   layer's per-form bitmap, whose pixels are guarded by their own lock); the form shows the
//   surface on the user-interface thread, which the surface's listener asks for from the worker.
//   Whether the window shows is read from the place the window layer keeps in the graphics layer,
//   never from the user-interface thread's widgets.
// - Every wait for the worker first resumes it fully, so that a worker held at its gate (paused,
//   cued or between increments) always reaches its end.
// - A control without a window (drawn by its container into a context of the container's) shows
//   its image through the synchronous output path: the worker draws onto the control's window.
// - A completion message carries the number of the paint that started its worker: the completion
//   of an earlier worker fires its Notify but does not abort the worker of a later paint.
#include <system_error>

#include "platform/win/paint.h"
#include "platform/win/winmsg.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"

namespace {

constexpr const char* kIdent = "QuixShape";

// The dissolve patterns, eight rows each (low bytes).
const WORD kDissolvePatterns[5][8] = {
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},
    {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
    {0x92, 0x49, 0x24, 0x92, 0x49, 0x24, 0x92, 0x49},
    {0x49, 0x24, 0x92, 0x49, 0x24, 0x92, 0x49, 0x24},
    {0x24, 0x92, 0x49, 0x24, 0x92, 0x49, 0x24, 0x92},
};

int PriorityOf(SHORT effectPriority) {
    switch (effectPriority) {
        case 1:
            return THREAD_PRIORITY_ABOVE_NORMAL;
        case 2:
            return THREAD_PRIORITY_BELOW_NORMAL;
        default:
            return THREAD_PRIORITY_NORMAL;
    }
}

template <class T>
T Load(T* word) {
    return CShapectlCtrl::LoadWord(*word);
}

}  // namespace

void CShapectlCtrl::PaintDissolve(HDC out, SHORT dMode, SHORT effect1, SHORT effect2, SHORT effect3,
                                  const std::function<void(SHORT)>& blt) {
    int first = 0, end = 1;
    if (dMode == 2) end = 2;
    if (dMode == 3) {
        first = 2;
        end = 5;
    }
    for (int pass = first; pass < end; ++pass) {
        SHORT passEffect = effect1;
        if ((dMode == 2 && pass == 1) || (dMode == 3 && pass == 3)) passEffect = effect2;
        if (pass == 4) passEffect = effect3;
        switch (passEffect) {
            case 11:
            case 12:
            case 24:
            case 25:
            case 46:
            case 47:
            case 48:
            case 49:
            case 51:
            case 54:
            case 55:
                passEffect = 0;
                break;
            default:
                break;
        }
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kDissolvePatterns[pass]);
        HBRUSH brush = CreatePatternBrush(pattern);
        UnrealizeObject(brush);
        HGDIOBJ oldBrush = SelectObject(out, brush);
        SetBkColor(out, RGB(255, 255, 255));
        blt(passEffect);
        SelectObject(out, oldBrush);
        DeleteObject(brush);
        DeleteObject(pattern);
    }
}

// ---- the worker ----

DWORD CShapectlCtrl::EffectThreadProc(EffectThreadParams* b) {
    const bool hostTarget = b->nPaintMode == 2;
    HDC target = hostTarget ? b->hTargetDC : ::GetDC(b->hWnd);
    auto releaseTarget = [&] {
        if (hostTarget) {
            ::ReleaseDC(b->hWndHost, target);
        } else if (target) {
            ::ReleaseDC(b->hWnd, target);
        }
    };
    auto end = [&] {
        StoreWord(*b->pRunning, FALSE);
        StoreWord(*b->phThread, static_cast<HANDLE>(nullptr));
        return DWORD{0};
    };

    if (b->bTEnabled && !Load(b->pCancel)) {
        if (b->nTStyle == 7) {
            DoThreadCaptureTransition(
                target, &b->rcPaint, 0, b->hComposed, b->nTGrain, b->nTEffect, b->nTDelay,
                b->nMultitask, b->bWand, b->crWandColor, b->nWandWidth, b->pszIdent, b->nCancelMode,
                b->pQuixCanceled, b->pQuixError, b->nReserved[0], b->nReserved[1], b->nReserved[2],
                b->nReserved[3], b->nUseUpdateRect, &b->rcUpdate, b->bQuixEnabled, b->pCancel,
                b->hWnd, b->pThread, b->pCued, b->pMultiEffect, b->pEffectIncrement);
        } else {
            DoThreadTransition(target, &b->rcPaint, b->nTStyle, 0, b->crTBackColor, b->crTForeColor,
                               b->nTGrain, b->nTEffect, b->nTDelay, b->nMultitask, b->bWand,
                               b->crWandColor, b->nWandWidth, b->pszIdent, b->nCancelMode,
                               b->pQuixCanceled, b->nReserved[0], b->nReserved[1], b->nReserved[2],
                               b->nReserved[3], b->nUseUpdateRect, &b->rcUpdate, b->pQuixError,
                               b->bQuixEnabled, b->pCancel, b->hWnd, b->pThread, b->pCued,
                               b->pMultiEffect, b->pEffectIncrement);
        }
    }

    if ((b->bTOnly && b->bTEnabled) || Load(b->pCancel)) {
        releaseTarget();
    } else if (!b->hPaintImage && !hostTarget) {
        releaseTarget();
        return end();  // nothing to show, and no completion
    } else {
        HDC mem = CreateCompatibleDC(target);
        HPALETTE oldPalette = nullptr;
        if (b->hPalette) {
            oldPalette = SelectPalette(mem, b->hPalette, TRUE);
            RealizePalette(mem);
        }
        HBITMAP copy = nullptr;
        HGDIOBJ oldBitmap = nullptr;
        if (hostTarget) {
            BITMAP bm{};
            GetObject(b->hBackdropBitmap, sizeof bm, &bm);
            copy = CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, nullptr);
            oldBitmap = SelectObject(mem, copy);
            BitBlt(mem, 0, 0, bm.bmWidth, bm.bmHeight, b->hBackdropDC, 0, 0, SRCCOPY);
        } else {
            oldBitmap = SelectObject(mem, b->hPaintImage);
        }

        auto blt = [&](SHORT effect, DWORD rop) {
            BltThreadEffect(target, b->destX, b->destY, mem, b->srcX, b->srcY, b->destW, b->destH,
                            b->nMGrain, effect, b->nMDelay, rop, b->hPalette, b->nMultitask,
                            b->bWand, b->crWandColor, b->nWandWidth, b->pszIdent, b->nCancelMode,
                            b->pQuixCanceled, b->pCancel, b->hWnd, b->pThread, b->pCued,
                            b->pMultiEffect, b->pEffectIncrement);
        };
        if (b->nDMode == 0 || Load(b->pCancel)) {
            if (!Load(b->pCancel)) blt(b->nMEffect, SRCCOPY);
        } else {
            PaintDissolve(target, b->nDMode, b->nDEffect1, b->nDEffect2, b->nDEffect3,
                          [&](SHORT effect) { blt(effect, 0xCA0749); });
        }

        SelectObject(mem, oldBitmap);
        if (oldPalette) SelectPalette(mem, oldPalette, TRUE);
        if (copy) DeleteObject(copy);
        DeleteDC(mem);
        releaseTarget();
    }

    // IsWindowVisible from this thread is FALSE also for a window that is gone.
    if (b->bNotify && IsWindowVisible(b->hWnd) && Load(b->pEventsAdvised)) {
        PostMessageA(b->hWnd, WM_EFFECTCOMPLETE, b->nGeneration, 0);
    }
    return end();
}

// ---- the control's side ----

void CShapectlCtrl::StartEffectThread(short mode, HDC target, HDC backdrop, HWND hostWindow,
                                      HPALETTE palette, const RECT& paintRect, POINT dest,
                                      POINT src, SIZE size, const RECT& update,
                                      SHORT useUpdateRect) {
    const ShapeProperties& p = m_props;
    auto tc = [this](OLE_COLOR c) { return TranslateColor(c); };
    StoreWord(m_bEffectRunning, TRUE);

    EffectThreadParams& b = m_EffectParams;
    b = EffectThreadParams{};
    b.pRunning = &m_bEffectRunning;
    b.hWnd = m_hWnd;
    b.destX = dest.x;
    b.destY = dest.y;
    b.destW = size.cx;
    b.destH = size.cy;
    b.srcX = src.x;
    b.srcY = src.y;
    b.srcW = size.cx;
    b.srcH = size.cy;
    b.hPalette = palette;
    b.pszIdent = kIdent;
    b.hPaintImage = mode == 2 ? nullptr : m_hPaintImage;
    b.hComposed = m_hComposed;
    b.pCancel = &m_bEffectCancel;
    b.pEventsAdvised = &m_bEventsAdvised;
    b.rcUpdate = update;
    b.rcPaint = paintRect;
    b.nMGrain = p.MGrain;
    b.nMEffect = p.MEffect == 51 ? 0 : p.MEffect;
    b.nMDelay = p.MDelay;
    b.nMultitask = static_cast<SHORT>(p.Multitask);
    b.bWand = p.Wand;
    b.crWandColor = tc(p.WandColor);
    b.nWandWidth = p.WandWidth;
    b.nCancelMode = p.CancelMode;
    b.pQuixCanceled = &m_QuixCanceled;
    b.bNotify = p.Notify;
    b.bTEnabled = p.TEnabled;
    b.nTStyle = p.TStyle;
    b.nTGrain = p.TGrain;
    b.nTEffect = p.TEffect;
    b.nTDelay = p.TDelay;
    b.pQuixError = &m_QuixError;
    b.nUseUpdateRect = useUpdateRect;
    b.bQuixEnabled = p.QuixEnabled;
    b.crTBackColor = tc(p.TBackColor);
    b.crTForeColor = tc(p.TForeColor);
    b.bTOnly = p.TOnly;
    b.nDMode = p.DMode;
    b.nDEffect1 = p.DEffect1;
    b.nDEffect2 = p.DEffect2;
    b.nDEffect3 = p.DEffect3;
    b.phThread = &m_hEffectThread;
    b.pCued = &m_bEffectCued;
    b.pMultiEffect = &m_props.MultiEffect;
    b.pEffectIncrement = &m_props.EffectIncrement;
    b.nPaintMode = mode;
    if (mode == 2) {
        b.hWndHost = hostWindow;
        b.hTargetDC = target;
        b.hBackdropDC = backdrop;
        // The backdrop's bitmap gives the size and format of the worker's copy.
        b.hBackdropBitmap = reinterpret_cast<HBITMAP>(GetCurrentObject(backdrop, OBJ_BITMAP));
    }
    b.nGeneration = ++m_nEffectGeneration;
    StoreWord(m_bEffectCancel, FALSE);
    StoreWord(m_bEffectCued, FALSE);

    std::unique_ptr<platform::base::WorkerThread> worker;
    try {
        worker = std::make_unique<platform::base::WorkerThread>(
            [params = &m_EffectParams] { return EffectThreadProc(params); },
            PriorityOf(p.EffectPriority), CREATE_SUSPENDED);
    } catch (const std::system_error&) {
        // No worker: nothing is shown and no completion comes; the running flag stays set with
        // no handle, which every test of a live worker takes for none.
        if (mode == 2) ::ReleaseDC(hostWindow, target);
        return;
    }
    m_effectWorker = std::move(worker);
    m_pEffectThread = m_effectWorker.get();
    b.pThread = m_pEffectThread;
    StoreWord(m_hEffectThread, reinterpret_cast<HANDLE>(m_pEffectThread));
    if (p.EffectCue) {
        StoreWord(m_bEffectCued, TRUE);
    } else {
        m_pEffectThread->Resume();
    }
}

BOOL CShapectlCtrl::IsEffectRunning() {
    return LoadWord(m_hEffectThread) != nullptr && LoadWord(m_bEffectRunning) && m_effectWorker &&
                   m_effectWorker->ExitCode() == STILL_ACTIVE
               ? TRUE
               : FALSE;
}

void CShapectlCtrl::StopEffectThread() {
    if (!IsEffectRunning()) return;
    StoreWord(m_bEffectCancel, TRUE);
    while (m_effectWorker->Resume() > 1) {
        // every hold is taken back, so that the worker reaches its end
    }
    m_effectWorker->Wait(INFINITE);
}

void CShapectlCtrl::ForgetEffectThread() {
    StopEffectThread();
    m_pEffectThread = nullptr;
    StoreWord(m_hEffectThread, static_cast<HANDLE>(nullptr));
    m_effectWorker.reset();
}

void CShapectlCtrl::PauseEffect() {
    if (!m_pEffectThread || !LoadWord(m_bEffectRunning) || LoadWord(m_bEffectCued)) return;
    if (m_pEffectThread->Suspend() != kSuspendFailed) StoreWord(m_bEffectCued, TRUE);
}

void CShapectlCtrl::ResumeEffect() {
    if (!m_pEffectThread || !LoadWord(m_bEffectRunning) || !LoadWord(m_bEffectCued)) return;
    // Cleared first: a worker that holds itself after its next increment sets it again.
    StoreWord(m_bEffectCued, FALSE);
    m_pEffectThread->Resume();
}

void CShapectlCtrl::AbortEffect() {
    if (!IsEffectRunning()) return;
    StopEffectThread();
    StoreWord(m_bEffectCued, FALSE);
    m_EffectAborted = TRUE;
}

void CShapectlCtrl::OnEffectPriorityChanged() {
    if (LoadWord(m_hEffectThread) && LoadWord(m_bEffectRunning) && m_effectWorker) {
        m_effectWorker->SetPriority(PriorityOf(m_props.EffectPriority));
    }
}

void CShapectlCtrl::OnDestroy() {
    StopEffectThread();
}

LRESULT CShapectlCtrl::OnEffectComplete(WPARAM wParam, LPARAM) {
    if (!LoadWord(m_bEventsAdvised) || m_bInEffectComplete) return 0;
    m_bInEffectComplete = TRUE;
    if (static_cast<UINT>(wParam) == m_nEffectGeneration) {
        // The current worker posted this at its end: it is done drawing.
        if (m_effectWorker) m_effectWorker->Wait(INFINITE);
        CompletePaint();
    } else {
        FireNotify();
    }
    m_bInEffectComplete = FALSE;
    return 0;
}

void CShapectlCtrl::OnTimer(UINT_PTR id) {
    KillTimer(m_hWnd, id);
    FireCustomEvent(2);
}

void CShapectlCtrl::CompletePaint() {
    if (LoadWord(m_hEffectThread) && LoadWord(m_bEffectRunning)) AbortEffect();
    FireNotify();
}

void CShapectlCtrl::FireNotify() {
    if (!m_props.Notify || !AmbientUserMode() || !m_props.QuixEnabled) return;
    if (m_props.NotifyDelay != 0 && m_hWnd &&
        SetTimer(m_hWnd, static_cast<UINT_PTR>(m_nInstanceId),
                 static_cast<UINT>(m_props.NotifyDelay), nullptr)) {
        return;  // OnTimer fires it
    }
    FireCustomEvent(2);
}

BOOL CShapectlCtrl::GetEffectInProgress() {
    GetNotSupportedAtDesignTime();
    return IsEffectRunning();
}

SHORT CShapectlCtrl::GetEffectStatus() {
    GetNotSupportedAtDesignTime();
    if (!LoadWord(m_bEffectRunning)) return 0;
    return LoadWord(m_bEffectCued) ? 1 : 2;
}
