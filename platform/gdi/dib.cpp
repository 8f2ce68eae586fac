// Device-independent bitmaps: one reader of headers, colour tables and bits (never reading past
// what it is told is there), one writer, and the functions built on them.
#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/picturefile.h"
#include "platform/gdi/qt.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace {

constexpr std::size_t kUnknown = std::numeric_limits<std::size_t>::max();

struct DibFormat {
    int width = 0, height = 0;
    bool topDown = false;
    int bits = 0;
    DWORD compression = BI_RGB;
    std::size_t headerSize = 0;
    bool core = false;
    int colors = 0;  // entries in the colour table
    std::size_t tableOffset = 0;
    int entrySize = 4;  // RGBQUAD; 3 for the core header; 2 for DIB_PAL_COLORS
    DWORD masks[3] = {0, 0, 0};
    std::size_t bitsOffset = 0;  // header, masks and table
    std::size_t stride = 0;
    std::size_t imageBytes = 0;  // BI_RGB and BI_BITFIELDS: stride * height; RLE: biSizeImage
};

DWORD Read32(const BYTE* p) {
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}
WORD Read16(const BYTE* p) {
    WORD v;
    std::memcpy(&v, p, 2);
    return v;
}

// Reads the header (and locates the masks and colour table) of `avail` bytes.
std::optional<DibFormat> ReadHeader(const void* info, std::size_t avail, UINT usage) {
    if (!info || avail < 12) return std::nullopt;
    const auto* p = static_cast<const BYTE*>(info);
    DibFormat f;
    DWORD size = Read32(p);
    DWORD clrUsed = 0;
    WORD planes;
    if (size == 12) {
        f.core = true;
        f.width = Read16(p + 4);
        f.height = Read16(p + 6);
        planes = Read16(p + 8);
        f.bits = Read16(p + 10);
        f.entrySize = 3;
    } else if (size >= 40 && size <= 124) {
        if (avail < size) return std::nullopt;
        LONG w, h;
        std::memcpy(&w, p + 4, 4);
        std::memcpy(&h, p + 8, 4);
        if (h == std::numeric_limits<LONG>::min()) return std::nullopt;
        f.width = w;
        f.topDown = h < 0;
        f.height = h < 0 ? -h : h;
        planes = Read16(p + 12);
        f.bits = Read16(p + 14);
        f.compression = Read32(p + 16);
        f.imageBytes = Read32(p + 20);
        clrUsed = Read32(p + 32);
    } else {
        return std::nullopt;
    }
    f.headerSize = size;
    if (planes != 1 || f.width <= 0 || f.height <= 0 || f.width > kMaxSide || f.height > kMaxSide) {
        return std::nullopt;
    }
    switch (f.bits) {
        case 1:
        case 4:
        case 8:
        case 24:
            break;
        case 16:
        case 32:
            if (f.core) return std::nullopt;
            break;
        default:
            return std::nullopt;
    }
    switch (f.compression) {
        case BI_RGB:
            break;
        case BI_RLE8:
            if (f.bits != 8 || f.topDown) return std::nullopt;
            break;
        case BI_RLE4:
            if (f.bits != 4 || f.topDown) return std::nullopt;
            break;
        case BI_BITFIELDS:
            if (f.bits != 16 && f.bits != 32) return std::nullopt;
            break;
        default:
            return std::nullopt;
    }
    std::size_t offset = size;
    if (f.compression == BI_BITFIELDS) {
        if (size >= 52) {
            f.masks[0] = Read32(p + 40);
            f.masks[1] = Read32(p + 44);
            f.masks[2] = Read32(p + 48);
        } else {
            if (avail < offset + 12) return std::nullopt;
            f.masks[0] = Read32(p + offset);
            f.masks[1] = Read32(p + offset + 4);
            f.masks[2] = Read32(p + offset + 8);
            offset += 12;
        }
    }
    if (f.bits <= 8) {
        f.colors = clrUsed ? static_cast<int>(std::min<DWORD>(clrUsed, 1u << f.bits)) : 1 << f.bits;
        if (!f.core && usage == DIB_PAL_COLORS) f.entrySize = 2;
    } else {
        if (clrUsed > 256) return std::nullopt;
        f.colors = static_cast<int>(clrUsed);
    }
    // The table occupies clrUsed entries when the header names more than the depth can use.
    std::size_t tableEntries = f.bits <= 8 && clrUsed > static_cast<DWORD>(f.colors)
                                   ? std::min<DWORD>(clrUsed, 65536)
                                   : static_cast<std::size_t>(f.colors);
    f.tableOffset = offset;
    offset += tableEntries * static_cast<std::size_t>(f.entrySize);
    if (avail != kUnknown && offset > avail) return std::nullopt;
    f.bitsOffset = offset;
    f.stride = ((static_cast<std::size_t>(f.width) * f.bits + 31) / 32) * 4;
    if (f.compression == BI_RGB || f.compression == BI_BITFIELDS) {
        f.imageBytes = f.stride * static_cast<std::size_t>(f.height);
    } else if (f.imageBytes == 0) {
        return std::nullopt;
    }
    return f;
}

// The colours of the table (DIB_PAL_COLORS: through the palette).
std::vector<DWORD> ReadTable(const DibFormat& f, const void* info, const PaletteObject* palette) {
    std::vector<DWORD> table(static_cast<std::size_t>(f.colors), 0);
    const BYTE* p = static_cast<const BYTE*>(info) + f.tableOffset;
    for (int i = 0; i < f.colors; ++i) {
        const BYTE* e = p + static_cast<std::size_t>(i) * f.entrySize;
        if (f.entrySize == 2) {
            WORD index = Read16(e);
            if (palette && index < palette->entries.size()) {
                const PALETTEENTRY& pe = palette->entries[index];
                table[i] = (DWORD(pe.peRed) << 16) | (DWORD(pe.peGreen) << 8) | pe.peBlue;
            }
        } else {
            table[i] = (DWORD(e[2]) << 16) | (DWORD(e[1]) << 8) | e[0];
        }
    }
    return table;
}

BYTE Channel(DWORD v, DWORD mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    DWORD m = mask >> shift;
    int width = 0;
    while ((m >> width) & 1) ++width;
    DWORD c = (v & mask) >> shift;
    if (width >= 8) return static_cast<BYTE>(c >> (width - 8));
    // Spread the bits over eight.
    DWORD out = 0;
    for (int filled = 0; filled < 8; filled += width) {
        out = (out << width) | c;
    }
    int total = ((8 + width - 1) / width) * width;
    return static_cast<BYTE>(out >> (total - 8));
}

// Decodes rows [first, first + count) of the DIB (scan order: bottom-up scans count from the
// bottom) from `bits` of `avail` bytes into `out` (top row first); a row that is not there stays.
void DecodeRows(const DibFormat& f, const std::vector<DWORD>& table, const BYTE* bits,
                std::size_t avail, int first, int count, QImage& out) {
    auto tableColor = [&](unsigned index) -> QRgb {
        return 0xFF000000u | (index < table.size() ? table[index] : 0u);
    };
    auto rowOf = [&](int scan) { return f.topDown ? scan : f.height - 1 - scan; };
    if (f.compression == BI_RLE8 || f.compression == BI_RLE4) {
        std::size_t n = std::min(avail, f.imageBytes);
        std::size_t i = 0;
        int x = 0, scan = 0;
        auto put = [&](unsigned index) {
            if (x < f.width && scan < f.height) {
                reinterpret_cast<QRgb*>(out.scanLine(rowOf(scan)))[x] = tableColor(index);
            }
            ++x;
        };
        const bool four = f.compression == BI_RLE4;
        while (i + 1 < n && scan < f.height) {
            BYTE a = bits[i], b = bits[i + 1];
            i += 2;
            if (a > 0) {
                for (int k = 0; k < a; ++k) put(four ? ((k % 2) ? (b & 15) : (b >> 4)) : b);
                continue;
            }
            if (b == 0) {
                x = 0;
                ++scan;
            } else if (b == 1) {
                break;
            } else if (b == 2) {
                if (i + 1 >= n) break;
                x += bits[i];
                scan += bits[i + 1];
                i += 2;
            } else {
                std::size_t bytes = four ? (b + 1) / 2 : b;
                if (i + bytes > n) break;
                for (int k = 0; k < b; ++k) {
                    BYTE v = bits[i + (four ? k / 2 : k)];
                    put(four ? ((k % 2) ? (v & 15) : (v >> 4)) : v);
                }
                i += (bytes + 1) & ~std::size_t{1};
            }
        }
        return;
    }
    DWORD masks[3] = {f.masks[0], f.masks[1], f.masks[2]};
    if (f.compression == BI_RGB && f.bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    for (int k = 0; k < count; ++k) {
        int scan = first + k;
        if (scan < 0 || scan >= f.height) continue;
        std::size_t at = static_cast<std::size_t>(k) * f.stride;
        if (at > avail || f.stride > avail - at) return;
        const BYTE* line = bits + at;
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(rowOf(scan)));
        for (int x = 0; x < f.width; ++x) {
            switch (f.bits) {
                case 1:
                    dst[x] = tableColor((line[x / 8] >> (7 - x % 8)) & 1);
                    break;
                case 4:
                    dst[x] = tableColor((x % 2) ? (line[x / 2] & 15) : (line[x / 2] >> 4));
                    break;
                case 8:
                    dst[x] = tableColor(line[x]);
                    break;
                case 16: {
                    WORD v = Read16(line + 2 * x);
                    dst[x] = qRgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                    break;
                }
                case 24:
                    dst[x] = qRgb(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
                    break;
                case 32: {
                    DWORD v = Read32(line + 4 * x);
                    if (f.compression == BI_BITFIELDS) {
                        dst[x] =
                            qRgb(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
                    } else {
                        dst[x] = 0xFF000000u | (v & 0xFFFFFFu);
                    }
                    break;
                }
            }
        }
    }
}

const PaletteObject* PaletteOfDc(HDC hdc) {
    auto dc = DcOf(hdc);
    if (!dc) return Find<PaletteObject>(Stock(DEFAULT_PALETTE), Kind::Palette).get();
    return static_cast<const PaletteObject*>(dc->state.palette.object.get());
}

// The whole DIB decoded (rows not given stay black).
std::optional<QImage> DecodeDib(const BITMAPINFO* bmi, const void* bits, std::size_t bitsAvail,
                                UINT usage, HDC hdc, int first, int count) {
    auto f = ReadHeader(bmi, kUnknown, usage);
    if (!f || !bits) return std::nullopt;
    QImage image(f->width, f->height, QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    image.fill(Qt::black);
    std::vector<DWORD> table = ReadTable(*f, bmi, PaletteOfDc(hdc));
    if (f->compression == BI_RLE8 || f->compression == BI_RLE4) {
        first = 0;
        count = f->height;
    }
    DecodeRows(*f, table, static_cast<const BYTE*>(bits), bitsAvail, first, count, image);
    return image;
}

// The colour table the writer uses for a depth.
std::vector<DWORD> WriterTable(int bits) {
    std::vector<DWORD> t;
    if (bits == 1) {
        t = {0x000000, 0xFFFFFF};
    } else if (bits == 4) {
        static const DWORD vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                      0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                      0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        t.assign(vga, vga + 16);
    } else if (bits == 8) {
        for (const PALETTEENTRY& e : HalftoneEntries()) {
            t.push_back((DWORD(e.peRed) << 16) | (DWORD(e.peGreen) << 8) | e.peBlue);
        }
    }
    return t;
}

unsigned Nearest(const std::vector<DWORD>& table, DWORD w,
                 std::unordered_map<DWORD, unsigned>& cache) {
    if (auto it = cache.find(w); it != cache.end()) return it->second;
    unsigned best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (unsigned i = 0; i < table.size(); ++i) {
        long dr = long((w >> 16) & 255) - long((table[i] >> 16) & 255);
        long dg = long((w >> 8) & 255) - long((table[i] >> 8) & 255);
        long db = long(w & 255) - long(table[i] & 255);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    cache.emplace(w, best);
    return best;
}

// Copies an image onto a context through the transfer rules (stretched when the sizes differ).
BOOL BlitImage(HDC hdc, const QImage& image, QRect src, int xDest, int yDest, int wDest, int hDest,
               DWORD rop) {
    HBITMAP temp = platform::gdi::BitmapFromImage(image);
    if (!temp) return FALSE;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, temp);
    BOOL ok = StretchBlt(hdc, xDest, yDest, wDest, hDest, mem, src.x(), src.y(), src.width(),
                         src.height(), rop);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(temp);
    return ok;
}

}  // namespace

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, void* lpvBits, BITMAPINFO* lpbmi,
              UINT usage) {
    auto b = Find<BitmapObject>(Id(hbm), Kind::Bitmap);
    if (!b || !lpbmi || lpbmi->bmiHeader.biSize < 40) return 0;
    if (hdc && !DcOf(hdc)) return 0;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    const int width = b->image.width(), height = b->image.height();
    if (h.biBitCount == 0) {
        if (lpvBits) return 0;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(b->mono ? 1 : b->bitsPixel);
        h.biCompression = BI_RGB;
        h.biSizeImage =
            static_cast<DWORD>(((std::size_t(width) * h.biBitCount + 31) / 32) * 4 * height);
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        return 1;
    }
    int bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
    const bool topDown = h.biHeight < 0;
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    h.biSizeImage = static_cast<DWORD>(stride * height);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    std::vector<DWORD> table = WriterTable(bits);
    auto* entries = reinterpret_cast<BYTE*>(lpbmi) + h.biSize;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (usage == DIB_PAL_COLORS) {
            WORD index = static_cast<WORD>(i);
            std::memcpy(entries + 2 * i, &index, 2);
        } else {
            RGBQUAD q{BYTE(table[i] & 255), BYTE((table[i] >> 8) & 255),
                      BYTE((table[i] >> 16) & 255), 0};
            std::memcpy(entries + 4 * i, &q, 4);
        }
    }
    if (!lpvBits) return 1;
    if (start >= static_cast<UINT>(height)) return 0;
    int lines = static_cast<int>(std::min<UINT>(cLines, height - start));
    std::unordered_map<DWORD, unsigned> cache;
    std::lock_guard lock(b->pixels);
    for (int k = 0; k < lines; ++k) {
        int scan = static_cast<int>(start) + k;
        int row = topDown ? scan : height - 1 - scan;
        const auto* src = reinterpret_cast<const QRgb*>(b->image.constScanLine(row));
        auto* line = static_cast<BYTE*>(lpvBits) + std::size_t(k) * stride;
        std::memset(line, 0, stride);
        for (int x = 0; x < width; ++x) {
            DWORD w = src[x] & 0xFFFFFFu;
            switch (bits) {
                case 1:
                    if (Nearest(table, w, cache)) line[x / 8] |= BYTE(0x80 >> (x % 8));
                    break;
                case 4:
                    line[x / 2] |= BYTE(Nearest(table, w, cache) << ((x % 2) ? 0 : 4));
                    break;
                case 8:
                    line[x] = BYTE(Nearest(table, w, cache));
                    break;
                case 16: {
                    WORD v =
                        WORD((((w >> 19) & 31) << 10) | (((w >> 11) & 31) << 5) | ((w >> 3) & 31));
                    std::memcpy(line + 2 * x, &v, 2);
                    break;
                }
                case 24:
                    line[3 * x] = BYTE(w & 255);
                    line[3 * x + 1] = BYTE((w >> 8) & 255);
                    line[3 * x + 2] = BYTE((w >> 16) & 255);
                    break;
                case 32:
                    std::memcpy(line + 4 * x, &w, 4);
                    break;
            }
        }
    }
    return lines;
}

int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits,
              const BITMAPINFO* lpbmi, UINT usage) {
    auto b = Find<BitmapObject>(Id(hbm), Kind::Bitmap);
    if (!b || b->surface) return 0;
    auto f = ReadHeader(lpbmi, kUnknown, usage);
    if (!f || !lpBits) return 0;
    auto image = DecodeDib(lpbmi, lpBits, kUnknown, usage, hdc, int(start), int(cLines));
    if (!image) return 0;
    std::lock_guard lock(b->pixels);
    int lines = 0;
    bool rle = f->compression == BI_RLE8 || f->compression == BI_RLE4;
    int first = rle ? 0 : int(start), count = rle ? f->height : int(cLines);
    for (int k = 0; k < count; ++k) {
        int scan = first + k;
        if (scan < 0 || scan >= f->height) continue;
        int row = f->topDown ? scan : f->height - 1 - scan;
        if (row >= b->image.height()) continue;
        const auto* src = reinterpret_cast<const QRgb*>(image->constScanLine(row));
        auto* dst = reinterpret_cast<QRgb*>(b->image.scanLine(row));
        int n = std::min(f->width, b->image.width());
        for (int x = 0; x < n; ++x) {
            dst[x] = b->mono ? 0xFF000000u | MonoWord(src[x] & 0xFFFFFFu) : src[x];
        }
        ++lines;
    }
    return lines;
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits,
                       const BITMAPINFO* pbmi, UINT iUsage) {
    if (!pbmih || pbmih->biSize < 40) return nullptr;
    int width = pbmih->biWidth;
    int height = pbmih->biHeight < 0 ? -pbmih->biHeight : pbmih->biHeight;
    HBITMAP bitmap = CreateCompatibleBitmap(hdc, width, height);
    if (!bitmap) return nullptr;
    if ((flInit & CBM_INIT) && pjBits && pbmi) {
        if (!SetDIBits(hdc, bitmap, 0, static_cast<UINT>(height), pjBits, pbmi, iUsage)) {
            DeleteObject(bitmap);
            return nullptr;
        }
    }
    return bitmap;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                      UINT StartScan, UINT cLines, const void* lpvBits, const BITMAPINFO* lpbmi,
                      UINT ColorUse) {
    auto f = ReadHeader(lpbmi, kUnknown, ColorUse);
    if (!f || !DcOf(hdc) || w > DWORD(kMaxSide) || h > DWORD(kMaxSide)) return 0;
    auto image = DecodeDib(lpbmi, lpvBits, kUnknown, ColorUse, hdc, int(StartScan), int(cLines));
    if (!image) return 0;
    // The source rectangle is measured from the bottom of a bottom-up DIB.
    int top = f->topDown ? ySrc : f->height - ySrc - int(h);
    QRect src(xSrc, top, int(w), int(h));
    if (!BlitImage(hdc, *image, src, xDest, yDest, int(w), int(h), SRCCOPY)) return 0;
    return static_cast<int>(cLines);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc,
                  int SrcWidth, int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi,
                  UINT iUsage, DWORD rop) {
    auto f = ReadHeader(lpbmi, kUnknown, iUsage);
    if (!f || !DcOf(hdc)) return 0;
    auto image = DecodeDib(lpbmi, lpBits, kUnknown, iUsage, hdc, 0, f->height);
    if (!image) return 0;
    int h = SrcHeight < 0 ? -SrcHeight : SrcHeight;
    int top = f->topDown ? ySrc : f->height - ySrc - h;
    if (SrcHeight < 0) top += SrcHeight + h;  // a negative height keeps its corner
    QRect src(xSrc, top, SrcWidth, SrcHeight);
    if (!BlitImage(hdc, *image, src, xDest, yDest, DestWidth, DestHeight, rop)) return 0;
    return f->height;
}

namespace platform::gdi {

std::optional<PackedDibLayout> ParsePackedDib(const void* dib, std::size_t size) {
    auto f = ReadHeader(dib, size, DIB_RGB_COLORS);
    if (!f) return std::nullopt;
    if (f->bitsOffset > size || f->imageBytes > size - f->bitsOffset) return std::nullopt;
    PackedDibLayout l;
    l.width = f->width;
    l.height = f->height;
    l.topDown = f->topDown;
    l.bitCount = f->bits;
    l.compression = f->compression;
    l.headerSize = f->headerSize;
    l.colors = f->colors;
    l.colorTableOffset = f->tableOffset;
    l.colorEntrySize = f->entrySize;
    l.bitsOffset = f->bitsOffset;
    l.bitsSize = f->imageBytes;
    return l;
}

HBITMAP BitmapFromPackedDib(const void* dib, std::size_t size) {
    auto layout = ParsePackedDib(dib, size);
    if (!layout) return nullptr;
    auto f = ReadHeader(dib, size, DIB_RGB_COLORS);
    // A compressed bitmap's header may claim any size in a few bytes: the stated limit of every
    // picture loader holds before the pixels are allocated.
    if (static_cast<long long>(f->width) * f->height > kMaxPicturePixels) return nullptr;
    QImage image(f->width, f->height, QImage::Format_RGB32);
    if (image.isNull()) return nullptr;
    image.fill(Qt::black);
    std::vector<DWORD> table = ReadTable(*f, dib, nullptr);
    DecodeRows(*f, table, static_cast<const BYTE*>(dib) + f->bitsOffset, f->imageBytes, 0,
               f->height, image);
    return BitmapFromImage(image);
}

}  // namespace platform::gdi
