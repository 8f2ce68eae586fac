// Picture and font holders: a control's members that own one picture object or one font object.
#pragma once

#include "platform/ole/oleauto.h"

// Owns one picture object (IPicture). An empty holder holds a picture of type none.
class CPictureHolder {
public:
    CPictureHolder();
    ~CPictureHolder();
    CPictureHolder(const CPictureHolder&) = delete;
    CPictureHolder& operator=(const CPictureHolder&) = delete;

    // An empty picture (type none).
    BOOL CreateEmpty();
    // With bTransferOwnership the picture deletes the handles when it goes.
    BOOL CreateFromBitmap(HBITMAP hbm, HPALETTE hpal = nullptr, BOOL bTransferOwnership = FALSE);
    BOOL CreateFromMetafile(HMETAFILE hmf, int xExt, int yExt, BOOL bTransferOwnership = FALSE);
    BOOL CreateFromIcon(HICON hIcon, BOOL bTransferOwnership = FALSE);
    BOOL CreateFromEnhMetafile(HENHMETAFILE hemf, BOOL bTransferOwnership = FALSE);

    // PICTYPE_NONE for an empty holder.
    SHORT GetType() const;
    // A new reference on the picture's dispatch interface (null when the holder has none).
    LPPICTUREDISP GetPictureDispatch() const;
    // Holds the given picture (a new reference); null empties the holder.
    void SetPictureDispatch(LPPICTUREDISP pDisp);

    platform::com::ComPtr<IPicture> m_pPict;
};

// Owns one font object (IFont) and tells a sink about its changes.
class CFontHolder {
public:
    // The sink is advised on every font the holder takes (it is not owned).
    explicit CFontHolder(IPropertyNotifySink* pNotify);
    ~CFontHolder();
    CFontHolder(const CFontHolder&) = delete;
    CFontHolder& operator=(const CFontHolder&) = delete;

    // A copy of the ambient font when one is given, else a font of the description (the default
    // font for none).
    void InitializeFont(const FONTDESC* pFontDesc = nullptr, LPDISPATCH pFontDispAmbient = nullptr);
    // Takes over a reference on the font.
    void SetFont(LPFONT pNewFont);
    void ReleaseFont();
    // A new reference on the font's dispatch interface (null without a font).
    LPFONTDISP GetFontDispatch() const;

    platform::com::ComPtr<IFont> m_pFont;

private:
    void Connect();
    void Disconnect();

    IPropertyNotifySink* m_pNotify;
    DWORD m_dwConnectCookie = 0;
};
