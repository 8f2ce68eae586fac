#include "platform/ole/holders.h"

using platform::com::ComPtr;
using platform::com::Query;

// ---- pictures ----

CPictureHolder::CPictureHolder() = default;

CPictureHolder::~CPictureHolder() = default;

namespace {

BOOL Make(CPictureHolder& holder, PICTDESC& desc, BOOL own) {
    ComPtr<IPicture> picture;
    desc.cbSizeofstruct = sizeof desc;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, own, picture.outVoid()))) {
        return FALSE;
    }
    holder.m_pPict = std::move(picture);
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
    return m_pPict.Query<IDispatch>(IID_IPictureDisp).detach();
}

void CPictureHolder::SetPictureDispatch(LPPICTUREDISP pDisp) {
    auto picture = Query<IPicture>(pDisp, IID_IPicture);
    if (!picture) {
        CreateEmpty();
        return;
    }
    m_pPict = std::move(picture);
}

// ---- fonts ----

CFontHolder::CFontHolder(IPropertyNotifySink* pNotify) : m_pNotify(pNotify) {}

CFontHolder::~CFontHolder() {
    ReleaseFont();
}

void CFontHolder::InitializeFont(const FONTDESC* pFontDesc, LPDISPATCH pFontDispAmbient) {
    ComPtr<IFont> font;
    if (auto ambient = Query<IFont>(pFontDispAmbient, IID_IFont)) ambient->Clone(font.out());
    if (!font) {
        OleCreateFontIndirect(const_cast<FONTDESC*>(pFontDesc), IID_IFont, font.outVoid());
    }
    SetFont(font.detach());
}

void CFontHolder::SetFont(LPFONT pNewFont) {
    auto font = ComPtr<IFont>::Attach(pNewFont);
    if (font == m_pFont) return;  // the holder keeps the one reference it has
    ReleaseFont();
    m_pFont = std::move(font);
    Connect();
}

void CFontHolder::ReleaseFont() {
    if (!m_pFont) return;
    Disconnect();
    m_pFont.reset();
}

LPFONTDISP CFontHolder::GetFontDispatch() const {
    return m_pFont.Query<IDispatch>(IID_IFontDisp).detach();
}

namespace {

// The font's connection point for property notices, or null.
ComPtr<IConnectionPoint> NoticePoint(IFont* font) {
    ComPtr<IConnectionPoint> point;
    if (auto container = Query<IConnectionPointContainer>(font, IID_IConnectionPointContainer)) {
        container->FindConnectionPoint(IID_IPropertyNotifySink, point.out());
    }
    return point;
}

}  // namespace

void CFontHolder::Connect() {
    if (!m_pFont || !m_pNotify) return;
    if (auto point = NoticePoint(m_pFont.get())) point->Advise(m_pNotify, &m_dwConnectCookie);
}

void CFontHolder::Disconnect() {
    if (!m_pFont || !m_dwConnectCookie) return;
    if (auto point = NoticePoint(m_pFont.get())) point->Unadvise(m_dwConnectCookie);
    m_dwConnectCookie = 0;
}
