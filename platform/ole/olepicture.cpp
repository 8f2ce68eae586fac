#include <QBuffer>
#include <QImage>
#include <cstring>
#include <optional>
#include <string>

#include "platform/com/object.h"
#include "platform/files/files.h"
#include "platform/gdi/picturefile.h"
#include "platform/gdi/qt.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/simpledisp.h"

namespace {

using platform::com::Variant;
using platform::ole::internal::SimpleProperty;

constexpr int kHimetricPerInch = 2540;

LONG ToHimetric(int pixels) {
    return static_cast<LONG>((pixels * kHimetricPerInch + 48) / 96);
}  // 96 pixels an inch

template <class H>
OLE_HANDLE HandleValue(H h) {
    return static_cast<OLE_HANDLE>(reinterpret_cast<std::uintptr_t>(h));
}

class Picture final
    : public platform::com::Object<IPicture, platform::ole::internal::SimpleDispatch<Picture>> {
public:
    Picture(const PICTDESC* desc, BOOL own) : own_(own) {
        if (!desc) {
            type_ = PICTYPE_UNINITIALIZED;
        } else {
            type_ = static_cast<SHORT>(desc->picType);
            desc_ = *desc;
        }
        ComputeSize();
    }
    ~Picture() override {
        if (!own_) return;
        switch (type_) {
            case PICTYPE_BITMAP:
                if (desc_.bmp.hbitmap) DeleteObject(desc_.bmp.hbitmap);
                if (desc_.bmp.hpal) DeleteObject(desc_.bmp.hpal);
                break;
            case PICTYPE_METAFILE:
                DeleteMetaFile(desc_.wmf.hmeta);
                break;
            case PICTYPE_ICON:
                DestroyIcon(desc_.icon.hicon);
                break;
            case PICTYPE_ENHMETAFILE:
                DeleteEnhMetaFile(desc_.emf.hemf);
                break;
            default:
                break;
        }
    }

    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IPicture) return static_cast<IPicture*>(this);
        if (riid == IID_IDispatch || riid == IID_IPictureDisp) return static_cast<IDispatch*>(this);
        return nullptr;
    }

    HRESULT get_Handle(OLE_HANDLE* p) override {
        if (!p) return E_POINTER;
        switch (type_) {
            case PICTYPE_BITMAP:
                *p = HandleValue(desc_.bmp.hbitmap);
                break;
            case PICTYPE_METAFILE:
                *p = HandleValue(desc_.wmf.hmeta);
                break;
            case PICTYPE_ICON:
                *p = HandleValue(desc_.icon.hicon);
                break;
            case PICTYPE_ENHMETAFILE:
                *p = HandleValue(desc_.emf.hemf);
                break;
            default:
                *p = 0;
                break;
        }
        return S_OK;
    }
    HRESULT get_hPal(OLE_HANDLE* p) override {
        return platform::com::GiveOut(p, type_ == PICTYPE_BITMAP ? HandleValue(desc_.bmp.hpal) : 0);
    }
    HRESULT get_Type(SHORT* p) override { return platform::com::GiveOut(p, type_); }
    HRESULT get_Width(OLE_XSIZE_HIMETRIC* p) override { return platform::com::GiveOut(p, width_); }
    HRESULT get_Height(OLE_YSIZE_HIMETRIC* p) override {
        return platform::com::GiveOut(p, height_);
    }
    HRESULT set_hPal(OLE_HANDLE h) override {
        if (type_ != PICTYPE_BITMAP) return E_FAIL;
        desc_.bmp.hpal = reinterpret_cast<HPALETTE>(static_cast<std::uintptr_t>(h));
        return S_OK;
    }
    HRESULT PictureChanged() override {
        ComputeSize();
        return S_OK;
    }
    HRESULT get_Attributes(DWORD* p) override {
        if (!p) return E_POINTER;
        // Icons and metafiles may leave parts of their area unpainted.
        *p = (type_ == PICTYPE_ICON || type_ == PICTYPE_METAFILE || type_ == PICTYPE_ENHMETAFILE)
                 ? 0x2
                 : 0;
        return S_OK;
    }

    const PICTDESC& Desc() const { return desc_; }

private:
    friend class platform::ole::internal::SimpleDispatch<Picture>;

    // The properties of IPictureDisp.
    std::vector<SimpleProperty> Table() {
        return {
            {"Handle",
             DISPID_PICT_HANDLE,
             VT_I4,
             [this](Variant* v) {
                 OLE_HANDLE h;
                 get_Handle(&h);
                 *v = Variant::I4(static_cast<LONG>(h));
                 return S_OK;
             },
             {}},
            {"hPal", DISPID_PICT_HPAL, VT_I4,
             [this](Variant* v) {
                 OLE_HANDLE h;
                 get_hPal(&h);
                 *v = Variant::I4(static_cast<LONG>(h));
                 return S_OK;
             },
             [this](const VARIANT& v) { return set_hPal(static_cast<OLE_HANDLE>(v.lVal)); }},
            {"Type",
             DISPID_PICT_TYPE,
             VT_I2,
             [this](Variant* v) {
                 *v = Variant::I2(type_);
                 return S_OK;
             },
             {}},
            {"Width",
             DISPID_PICT_WIDTH,
             VT_I4,
             [this](Variant* v) {
                 *v = Variant::I4(width_);
                 return S_OK;
             },
             {}},
            {"Height",
             DISPID_PICT_HEIGHT,
             VT_I4,
             [this](Variant* v) {
                 *v = Variant::I4(height_);
                 return S_OK;
             },
             {}},
        };
    }

    void ComputeSize() {
        width_ = height_ = 0;
        if (type_ == PICTYPE_BITMAP) {
            BITMAP bm;
            if (GetObject(desc_.bmp.hbitmap, sizeof bm, &bm)) {
                width_ = ToHimetric(bm.bmWidth);
                height_ = ToHimetric(bm.bmHeight);
            }
        } else if (type_ == PICTYPE_ICON) {
            QImage image = platform::gdi::IconImage(desc_.icon.hicon);
            width_ = ToHimetric(image.width());
            height_ = ToHimetric(image.height());
        } else if (type_ == PICTYPE_METAFILE) {
            width_ = desc_.wmf.xExt;
            height_ = desc_.wmf.yExt;
        }
    }

    BOOL own_;
    SHORT type_ = PICTYPE_NONE;
    PICTDESC desc_{};
    LONG width_ = 0, height_ = 0;
};

std::string PngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QImage ImageOfPng(const std::string& bytes) {
    return platform::gdi::DecodePicture(bytes, "PNG");
}

// A monochrome bitmap of a black-and-white image: the image is copied through memory contexts,
// white becoming the background.
HBITMAP MonochromeOf(const QImage& whiteBlack) {
    HBITMAP out = CreateBitmap(whiteBlack.width(), whiteBlack.height(), 1, 1, nullptr);
    HBITMAP source = platform::gdi::BitmapFromImage(whiteBlack);
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, out);
    SetBkColor(from, RGB(255, 255, 255));
    BitBlt(to, 0, 0, whiteBlack.width(), whiteBlack.height(), from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(source);
    return out;
}

HICON IconFromImage(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QImage color(image.size(), QImage::Format_RGB32);
    QImage maskImage(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QRgb p = image.pixel(x, y);
            bool transparent = qAlpha(p) < 128;
            color.setPixel(x, y, transparent ? qRgb(0, 0, 0) : (p | 0xFF000000u));
            maskImage.setPixel(x, y, transparent ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    HBITMAP colorBitmap = platform::gdi::BitmapFromImage(color);
    HBITMAP maskBitmap = MonochromeOf(maskImage);
    ICONINFO info{TRUE, 0, 0, maskBitmap, colorBitmap};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    DeleteObject(colorBitmap);
    return icon;
}

HBITMAP BitmapFromPng(const QImage& image) {
    if (image.isNull()) return nullptr;
    bool mono = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    if (!mono) return platform::gdi::BitmapFromImage(image);
    return MonochromeOf(image.convertToFormat(QImage::Format_RGB32));
}

platform::com::ComPtr<IPicture> Create(PICTDESC& desc) {
    platform::com::ComPtr<IPicture> picture;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, picture.outVoid()))) {
        return nullptr;
    }
    return picture;
}

}  // namespace

HRESULT OleCreatePictureIndirect(PICTDESC* lpPictDesc, REFIID riid, BOOL fOwn, void** lplpvObj) {
    if (!lplpvObj) return E_POINTER;
    *lplpvObj = nullptr;
    if (lpPictDesc && lpPictDesc->picType > static_cast<UINT>(PICTYPE_ENHMETAFILE)) {
        return E_INVALIDARG;
    }
    return platform::com::MakeObject<Picture>(lpPictDesc, fOwn)->QueryInterface(riid, lplpvObj);
}

HRESULT OleTranslateColor(OLE_COLOR clr, HPALETTE hpal, COLORREF* lpcolorref) {
    COLORREF result;
    BYTE kind = static_cast<BYTE>(clr >> 24);
    if (kind == 0x80) {
        DWORD index = clr & 0xFFFFFF;
        if (index > COLOR_INFOBK) return E_INVALIDARG;
        result = GetSysColor(static_cast<int>(index));
    } else if (kind == 0x00 || kind == 0x02) {
        // Plain and palette-relative colours: the RGB part.
        result = clr & 0xFFFFFF;
    } else if (kind == 0x01) {
        // A palette index: the entry of the given palette.
        if (!hpal || (clr & 0xFF0000)) return E_INVALIDARG;
        PALETTEENTRY entry;
        if (GetPaletteEntries(hpal, clr & 0xFFFF, 1, &entry) != 1) return E_INVALIDARG;
        result = RGB(entry.peRed, entry.peGreen, entry.peBlue);
    } else {
        return E_INVALIDARG;
    }
    if (lpcolorref) *lpcolorref = result;
    return S_OK;
}

namespace platform::ole {

std::optional<PictureData> SavePictureData(IPicture* picture) {
    if (!picture) return std::nullopt;
    SHORT type;
    if (FAILED(picture->get_Type(&type))) return std::nullopt;
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    auto as = [&](auto t) {
        return reinterpret_cast<decltype(t)>(static_cast<std::uintptr_t>(handle));
    };
    PictureData data;
    switch (type) {
        case PICTYPE_NONE:
        case PICTYPE_UNINITIALIZED:
            data.type = "none";
            return data;
        case PICTYPE_BITMAP: {
            HBITMAP bitmap = as(HBITMAP{});
            QImage image = platform::gdi::ImageOf(bitmap);
            if (image.isNull()) return std::nullopt;
            if (platform::gdi::IsMonochrome(bitmap)) {
                image = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
            }
            data.type = "bitmap";
            data.width = image.width();
            data.height = image.height();
            data.bytes = PngOf(image);
            return data;
        }
        case PICTYPE_ICON: {
            QImage image = platform::gdi::IconImage(as(HICON{}));
            if (image.isNull()) return std::nullopt;
            data.type = "icon";
            data.width = image.width();
            data.height = image.height();
            data.bytes = PngOf(image);
            return data;
        }
        case PICTYPE_METAFILE: {
            HMETAFILE mf = as(HMETAFILE{});
            UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
            if (size == 0) return std::nullopt;
            data.bytes.resize(size);
            GetMetaFileBitsEx(mf, size, data.bytes.data());
            data.type = "metafile";
            picture->get_Width(&data.width);
            picture->get_Height(&data.height);
            return data;
        }
        case PICTYPE_ENHMETAFILE: {
            HENHMETAFILE emf = as(HENHMETAFILE{});
            UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
            if (size == 0) return std::nullopt;
            data.bytes.resize(size);
            GetEnhMetaFileBits(emf, size, reinterpret_cast<BYTE*>(data.bytes.data()));
            data.type = "emf";
            return data;
        }
        default:
            return std::nullopt;
    }
}

platform::com::ComPtr<IPicture> LoadPictureData(const PictureData& data) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    if (data.type == "none") {
        desc.picType = PICTYPE_NONE;
        return Create(desc);
    }
    if (data.type == "bitmap") {
        HBITMAP bitmap = BitmapFromPng(ImageOfPng(data.bytes));
        if (!bitmap) return nullptr;
        desc.picType = PICTYPE_BITMAP;
        desc.bmp.hbitmap = bitmap;
        return Create(desc);
    }
    if (data.type == "icon") {
        QImage image = ImageOfPng(data.bytes);
        if (image.isNull()) return nullptr;
        desc.picType = PICTYPE_ICON;
        desc.icon.hicon = IconFromImage(image);
        if (!desc.icon.hicon) return nullptr;
        return Create(desc);
    }
    if (data.type == "metafile") {
        HMETAFILE mf = SetMetaFileBitsEx(static_cast<UINT>(data.bytes.size()),
                                         reinterpret_cast<const BYTE*>(data.bytes.data()));
        if (!mf) return nullptr;
        desc.picType = PICTYPE_METAFILE;
        desc.wmf.hmeta = mf;
        desc.wmf.xExt = data.width;
        desc.wmf.yExt = data.height;
        return Create(desc);
    }
    if (data.type == "emf") {
        HENHMETAFILE emf = SetEnhMetaFileBits(static_cast<UINT>(data.bytes.size()),
                                              reinterpret_cast<const BYTE*>(data.bytes.data()));
        if (!emf) return nullptr;
        desc.picType = PICTYPE_ENHMETAFILE;
        desc.emf.hemf = emf;
        return Create(desc);
    }
    return nullptr;
}

platform::com::ComPtr<IPicture> LoadPictureFile(const std::string& path, const std::string& kind) {
    // A pipe or a device in the file's place is no picture (and is not waited on).
    std::optional<std::string> bytes = platform::files::ReadFile(path);
    if (!bytes) return nullptr;
    if (kind == "metafile" || kind == "emf") {
        PictureData data;
        data.type = kind;
        data.bytes = std::move(*bytes);
        data.width = data.height = 2540;
        return data.bytes.empty() ? nullptr : LoadPictureData(data);
    }
    QImage image = platform::gdi::DecodePicture(*bytes);
    if (image.isNull()) return nullptr;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    if (kind == "icon") {
        desc.picType = PICTYPE_ICON;
        desc.icon.hicon = IconFromImage(image);
        if (!desc.icon.hicon) return nullptr;
    } else if (kind == "bitmap") {
        desc.picType = PICTYPE_BITMAP;
        desc.bmp.hbitmap = BitmapFromPng(image);
        if (!desc.bmp.hbitmap) return nullptr;
    } else {
        return nullptr;
    }
    return Create(desc);
}

}  // namespace platform::ole
