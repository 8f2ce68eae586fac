#include "platform/ole/holders.h"

// ---- pictures ----

CPictureHolder::CPictureHolder() = default;

CPictureHolder::~CPictureHolder() {
    if (m_pPict) m_pPict->Release();
}

namespace {

BOOL Make(CPictureHolder& holder, PICTDESC& desc, BOOL own) {
    IPicture* picture = nullptr;
    desc.cbSizeofstruct = sizeof desc;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, own,
                                        reinterpret_cast<void**>(&picture)))) {
        return FALSE;
    }
    if (holder.m_pPict) holder.m_pPict->Release();
    holder.m_pPict = picture;
    return TRUE;
}

}  // namespace

BOOL CPictureHolder::CreateEmpty() {
    PICTDESC desc{};
    desc.picType = PICTYPE_NONE;
    return Make(*this, desc, FALSE);
}

BOOL CPictureHolder::CreateFromBitmap(HBITMAP hbm, HPALETTE hpal, BOOL bTransferOwnership) {
    PICTDESC desc{};
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = hbm;
    desc.bmp.hpal = hpal;
    return Make(*this, desc, bTransferOwnership);
}

BOOL CPictureHolder::CreateFromMetafile(HMETAFILE hmf, int xExt, int yExt,
                                        BOOL bTransferOwnership) {
    PICTDESC desc{};
    desc.picType = PICTYPE_METAFILE;
    desc.wmf.hmeta = hmf;
    desc.wmf.xExt = xExt;
    desc.wmf.yExt = yExt;
    return Make(*this, desc, bTransferOwnership);
}

BOOL CPictureHolder::CreateFromIcon(HICON hIcon, BOOL bTransferOwnership) {
    PICTDESC desc{};
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = hIcon;
    return Make(*this, desc, bTransferOwnership);
}

BOOL CPictureHolder::CreateFromEnhMetafile(HENHMETAFILE hemf, BOOL bTransferOwnership) {
    PICTDESC desc{};
    desc.picType = PICTYPE_ENHMETAFILE;
    desc.emf.hemf = hemf;
    return Make(*this, desc, bTransferOwnership);
}

SHORT CPictureHolder::GetType() const {
    SHORT type = PICTYPE_NONE;
    if (!m_pPict || FAILED(m_pPict->get_Type(&type))) return PICTYPE_NONE;
    return type == PICTYPE_UNINITIALIZED ? PICTYPE_NONE : type;
}

LPPICTUREDISP CPictureHolder::GetPictureDispatch() const {
    if (!m_pPict) return nullptr;
    IDispatch* disp = nullptr;
    if (FAILED(m_pPict->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(&disp)))) {
        return nullptr;
    }
    return disp;
}

void CPictureHolder::SetPictureDispatch(LPPICTUREDISP pDisp) {
    IPicture* picture = nullptr;
    if (pDisp && FAILED(pDisp->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)))) {
        picture = nullptr;
    }
    if (!picture) {
        CreateEmpty();
        return;
    }
    if (m_pPict) m_pPict->Release();
    m_pPict = picture;
}

// ---- fonts ----

CFontHolder::CFontHolder(IPropertyNotifySink* pNotify) : m_pNotify(pNotify) {}

CFontHolder::~CFontHolder() {
    ReleaseFont();
}

void CFontHolder::InitializeFont(const FONTDESC* pFontDesc, LPDISPATCH pFontDispAmbient) {
    IFont* font = nullptr;
    if (pFontDispAmbient) {
        IFont* ambient = nullptr;
        if (SUCCEEDED(
                pFontDispAmbient->QueryInterface(IID_IFont, reinterpret_cast<void**>(&ambient)))) {
            ambient->Clone(&font);
            ambient->Release();
        }
    }
    if (!font) {
        OleCreateFontIndirect(const_cast<FONTDESC*>(pFontDesc), IID_IFont,
                              reinterpret_cast<void**>(&font));
    }
    SetFont(font);
}

void CFontHolder::SetFont(LPFONT pNewFont) {
    if (pNewFont == m_pFont) {
        if (pNewFont) pNewFont->Release();  // the holder already has its reference
        return;
    }
    ReleaseFont();
    m_pFont = pNewFont;
    Connect();
}

void CFontHolder::ReleaseFont() {
    if (!m_pFont) return;
    Disconnect();
    m_pFont->Release();
    m_pFont = nullptr;
}

LPFONTDISP CFontHolder::GetFontDispatch() const {
    if (!m_pFont) return nullptr;
    IDispatch* disp = nullptr;
    if (FAILED(m_pFont->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&disp)))) {
        return nullptr;
    }
    return disp;
}

void CFontHolder::Connect() {
    if (!m_pFont || !m_pNotify) return;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(m_pFont->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container)))) {
        return;
    }
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, &point))) {
        point->Advise(m_pNotify, &m_dwConnectCookie);
        point->Release();
    }
    container->Release();
}

void CFontHolder::Disconnect() {
    if (!m_pFont || !m_dwConnectCookie) return;
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(m_pFont->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(&container)))) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, &point))) {
            point->Unadvise(m_dwConnectCookie);
            point->Release();
        }
        container->Release();
    }
    m_dwConnectCookie = 0;
}
