// Hotspot sets: the reader and writer of the hotspot bytes (a .hsp file holds exactly the bytes
// that HResource takes), the records in global memory, switching records on and off, and the hit
// test under the mouse. docs/hotspots.md describes both layouts.
//
// Decisions:
// - One format for files and byte arrays, little-endian, read within the size given, refused whole
//   (QUIX_E_FORMAT) when any part of it is out of bounds, so nothing is kept of a broken file.
// - A load replaces the set it is handed: on success the old block is freed and the new one (none
//   for an empty set) takes its place; on failure the set stays as it was.
// - Records hold no graphics objects: the hit test works on the points themselves (a pixel is
//   inside when its centre is, by the alternate rule, as a polygon region has it), so a hostile
//   file cannot make the library build huge regions, and DeleteHSRegions has nothing to release.
// - Points are in the coordinates of the control's picture: the hit test takes the mouse position
//   in the window less the picture's corner (the query point).
// - EnableHotspot counts records from 1 in the order of the set.
#include <QCursor>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

#include "quixcore/internal.h"
#include "quixcore/quixcore.h"

namespace {

constexpr char kMagic[4] = {'Q', 'H', 'S', 'P'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kEntryFixedBytes = 2 + 2 + 1 + 1 + 2;  // id, priority, flags, name length,
                                                             // point count
constexpr std::uint8_t kFlagEnabled = 0x01;

// The record's fields (docs/hotspots.md).
constexpr std::size_t kPointCountAt = 0;
constexpr std::size_t kPriorityAt = 2;
constexpr std::size_t kEnabledAt = 4;
constexpr std::size_t kNameAt = 6;
constexpr std::size_t kIdAt = 40;
constexpr std::size_t kPointsAt = 48;

// The largest set's bytes: every record with the longest name and the most points.
constexpr std::size_t kMaxBytes =
    kHeaderBytes + std::size_t{kMaxHotspots} *
                       (kEntryFixedBytes + kMaxHotspotName + 8 * std::size_t{kMaxHotspotPoints});

std::int16_t ReadI16(const BYTE* p) {
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}
std::uint16_t ReadU16(const BYTE* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int32_t ReadI32(const BYTE* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}
void WriteU16(BYTE* p, std::uint16_t v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
void WriteI32(BYTE* p, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(u >> (8 * i));
}

// A coordinate times the scale, rounded; false when it leaves the coordinate range.
bool Scaled(std::int32_t v, float scale, std::int32_t* out) {
    if (!std::isfinite(scale)) return false;
    double s = std::round(static_cast<double>(v) * scale);
    if (s < -kMaxHotspotCoordinate || s > kMaxHotspotCoordinate) return false;
    *out = static_cast<std::int32_t>(s);
    return true;
}

// The records of a set, checked against the block's size; null for a set that is not one.
BYTE* LockSet(short count, HGLOBAL block) {
    if (count <= 0 || !block) return nullptr;
    if (GlobalSize(block) < std::size_t(count) * HotspotRecordSize) return nullptr;
    return static_cast<BYTE*>(GlobalLock(block));
}

// Parses the bytes into records; QUIX_OK or QUIX_E_FORMAT.
short Parse(const BYTE* data, std::size_t size, float xScale, float yScale,
            std::vector<BYTE>* records) {
    if (!data || size < kHeaderBytes || size > kMaxBytes) return QUIX_E_FORMAT;
    if (std::memcmp(data, kMagic, 4) != 0 || ReadU16(data + 4) != kVersion) return QUIX_E_FORMAT;
    std::size_t count = ReadU16(data + 6);
    if (count > kMaxHotspots) return QUIX_E_FORMAT;
    records->assign(count * HotspotRecordSize, 0);
    std::size_t at = kHeaderBytes;
    for (std::size_t i = 0; i < count; ++i) {
        if (size - at < 6) return QUIX_E_FORMAT;
        const BYTE* e = data + at;
        BYTE* r = records->data() + i * HotspotRecordSize;
        std::uint8_t flags = e[4];
        std::size_t nameLength = e[5];
        if ((flags & ~kFlagEnabled) != 0 || nameLength > kMaxHotspotName) return QUIX_E_FORMAT;
        at += 6;
        if (size - at < nameLength + 2) return QUIX_E_FORMAT;
        const BYTE* name = data + at;
        if (std::memchr(name, 0, nameLength)) return QUIX_E_FORMAT;
        std::size_t points = ReadU16(name + nameLength);
        at += nameLength + 2;
        if (points < 1 || points > kMaxHotspotPoints || size - at < 8 * points) {
            return QUIX_E_FORMAT;
        }
        WriteU16(r + kPointCountAt, static_cast<std::uint16_t>(points));
        std::memcpy(r + kPriorityAt, e + 2, 2);
        r[kEnabledAt] = flags & kFlagEnabled;
        std::memcpy(r + kNameAt, name, nameLength);
        std::memcpy(r + kIdAt, e, 2);
        for (std::size_t k = 0; k < points; ++k) {
            std::int32_t x, y;
            if (!Scaled(ReadI32(data + at), xScale, &x) ||
                !Scaled(ReadI32(data + at + 4), yScale, &y)) {
                return QUIX_E_FORMAT;
            }
            WriteI32(r + kPointsAt + 8 * k, x);
            WriteI32(r + kPointsAt + 8 * k + 4, y);
            at += 8;
        }
    }
    return at == size ? QUIX_OK : QUIX_E_FORMAT;
}

// Puts the records in a new block in place of the set's old one.
short Replace(const std::vector<BYTE>& records, short* count, HGLOBAL* block) {
    HGLOBAL fresh = nullptr;
    if (!records.empty()) {
        fresh = GlobalAlloc(GMEM_MOVEABLE, records.size());
        if (!fresh) return QUIX_E_DRAW;
        std::memcpy(GlobalLock(fresh), records.data(), records.size());
        GlobalUnlock(fresh);
    }
    if (*block) GlobalFree(*block);
    *block = fresh;
    *count = static_cast<short>(records.size() / HotspotRecordSize);
    return QUIX_OK;
}

// Whether the centre of pixel (x, y) lies inside the record's polygon (alternate rule).
bool Contains(const BYTE* record, int x, int y) {
    int n = ReadI16(record + kPointCountAt);
    if (n < 3 || n > kMaxHotspotPoints) return false;
    double px = x + 0.5, py = y + 0.5;
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const BYTE* a = record + kPointsAt + 8 * i;
        const BYTE* b = record + kPointsAt + 8 * j;
        double ax = ReadI32(a), ay = ReadI32(a + 4), bx = ReadI32(b), by = ReadI32(b + 4);
        if ((ay > py) != (by > py) && px < (bx - ax) * (py - ay) / (by - ay) + ax) {
            inside = !inside;
        }
    }
    return inside;
}

}  // namespace

short LoadHotspotResource(const BYTE* data, ULONG size, short* count, HGLOBAL* block, float xScale,
                          float yScale) {
    if (!count || !block) return QUIX_E_ARGUMENT;
    std::vector<BYTE> records;
    short result = Parse(data, size, xScale, yScale, &records);
    if (result != QUIX_OK) return result;
    return Replace(records, count, block);
}

short LoadHotspotFile(const char* file, short* count, HGLOBAL* block, float xScale, float yScale) {
    if (!count || !block) return QUIX_E_ARGUMENT;
    if (!file || !*file) return QUIX_E_FILE;
    std::ifstream in(file, std::ios::binary);
    if (!in) return QUIX_E_FILE;
    in.seekg(0, std::ios::end);
    std::streamoff length = in.tellg();
    if (length < 0) return QUIX_E_FILE;
    if (static_cast<std::uint64_t>(length) > kMaxBytes) return QUIX_E_FORMAT;
    std::vector<BYTE> bytes(static_cast<std::size_t>(length));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) return QUIX_E_FILE;
    return LoadHotspotResource(bytes.data(), static_cast<ULONG>(bytes.size()), count, block, xScale,
                               yScale);
}

ULONG WriteHotspotBytes(short count, HGLOBAL block, BYTE* out, ULONG size) {
    if (count < 0 || (count > 0 && !block)) return 0;
    const BYTE* records = count ? LockSet(count, block) : nullptr;
    if (count && !records) return 0;
    std::vector<BYTE> bytes(kHeaderBytes);
    std::memcpy(bytes.data(), kMagic, 4);
    WriteU16(bytes.data() + 4, kVersion);
    WriteU16(bytes.data() + 6, static_cast<std::uint16_t>(count));
    bool ok = true;
    for (short i = 0; i < count && ok; ++i) {
        const BYTE* r = records + std::size_t(i) * HotspotRecordSize;
        int points = ReadI16(r + kPointCountAt);
        std::size_t nameLength =
            strnlen(reinterpret_cast<const char*>(r + kNameAt), kMaxHotspotName);
        if (points < 1 || points > kMaxHotspotPoints) {
            ok = false;
            break;
        }
        std::size_t at = bytes.size();
        bytes.resize(at + kEntryFixedBytes + nameLength + 8 * points);
        BYTE* e = bytes.data() + at;
        std::memcpy(e, r + kIdAt, 2);
        std::memcpy(e + 2, r + kPriorityAt, 2);
        e[4] = r[kEnabledAt] ? kFlagEnabled : 0;
        e[5] = static_cast<BYTE>(nameLength);
        std::memcpy(e + 6, r + kNameAt, nameLength);
        WriteU16(e + 6 + nameLength, static_cast<std::uint16_t>(points));
        std::memcpy(e + 8 + nameLength, r + kPointsAt, 8 * std::size_t(points));
    }
    if (records) GlobalUnlock(block);
    if (!ok) return 0;
    if (out && size >= bytes.size()) std::memcpy(out, bytes.data(), bytes.size());
    return static_cast<ULONG>(bytes.size());
}

short SaveHotspotFile(const char* file, short count, HGLOBAL block) {
    if (!file || !*file) return QUIX_E_FILE;
    ULONG size = WriteHotspotBytes(count, block, nullptr, 0);
    if (!size) return QUIX_E_HANDLE;
    std::vector<BYTE> bytes(size);
    WriteHotspotBytes(count, block, bytes.data(), size);
    return quixcore::internal::ReplaceFile(file, bytes.data(), bytes.size()) ? QUIX_OK
                                                                             : QUIX_E_FILE;
}

void DeleteHSRegions(short, HGLOBAL) {
    // The records hold no graphics objects (the hit test works on their points).
}

short EnableHotspot(short count, HGLOBAL block, short index, short enable) {
    if (index < 1 || index > count) return QUIX_E_ARGUMENT;
    BYTE* records = LockSet(count, block);
    if (!records) return QUIX_E_HANDLE;
    records[std::size_t(index - 1) * HotspotRecordSize + kEnabledAt] = enable ? 1 : 0;
    GlobalUnlock(block);
    return QUIX_OK;
}

short HotspotAt(short count, HGLOBAL block, int x, int y, char* name, int nameSize, short* id,
                short* priority) {
    const BYTE* records = LockSet(count, block);
    if (!records) return QUIX_E_HANDLE;
    const BYTE* best = nullptr;
    for (short i = 0; i < count; ++i) {
        const BYTE* r = records + std::size_t(i) * HotspotRecordSize;
        if (!r[kEnabledAt] || !Contains(r, x, y)) continue;
        if (!best || ReadI16(r + kPriorityAt) >= ReadI16(best + kPriorityAt)) best = r;
    }
    if (best) {
        if (id) *id = ReadI16(best + kIdAt);
        if (priority) *priority = ReadI16(best + kPriorityAt);
        if (name && nameSize > 0) {
            std::size_t n = strnlen(reinterpret_cast<const char*>(best + kNameAt), kMaxHotspotName);
            n = std::min(n, std::size_t(nameSize - 1));
            std::memcpy(name, best + kNameAt, n);
            name[n] = 0;
        }
    }
    GlobalUnlock(block);
    return best ? QUIX_OK : QUIX_E_NOHOTSPOT;
}

short GetHotspotData(HWND window, HGLOBAL block, short count, char* name, int nameSize, short* id,
                     short* priority, short, short, short, short, short, short, short, short x,
                     short y, short) {
    if (!window) return QUIX_E_HANDLE;
    HDC dc = GetDC(window);
    if (!dc) return QUIX_E_HANDLE;
    POINT origin{0, 0};
    GetDCOrgEx(dc, &origin);
    ReleaseDC(window, dc);
    QPoint mouse = QCursor::pos();
    return HotspotAt(count, block, mouse.x() - origin.x - x, mouse.y() - origin.y - y, name,
                     nameSize, id, priority);
}

short IQuixAddHotspot(short x1, short y1, short x2, short y2, short id, const char* name,
                      short* count, HGLOBAL* block) {
    if (!count || !block || *count < 0) return QUIX_E_ARGUMENT;
    if (*count >= kMaxHotspots) return QUIX_E_ARGUMENT;
    if (*count > 0 && GlobalSize(*block) < std::size_t(*count) * HotspotRecordSize) {
        return QUIX_E_HANDLE;
    }
    // The block grows by half again when it is full, so that adding many costs little.
    std::size_t needed = std::size_t(*count + 1) * HotspotRecordSize;
    std::size_t have = *block ? GlobalSize(*block) : 0;
    HGLOBAL grown = *block;
    if (have < needed) {
        std::size_t bytes =
            std::min(std::max(needed, have + have / 2 / HotspotRecordSize * HotspotRecordSize),
                     std::size_t(kMaxHotspots) * HotspotRecordSize);
        grown = *block ? GlobalReAlloc(*block, bytes, GMEM_MOVEABLE | GMEM_ZEROINIT)
                       : GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    }
    if (!grown) return QUIX_E_DRAW;
    *block = grown;
    BYTE* r = static_cast<BYTE*>(GlobalLock(grown)) + std::size_t(*count) * HotspotRecordSize;
    std::memset(r, 0, HotspotRecordSize);
    WriteU16(r + kPointCountAt, 4);
    r[kEnabledAt] = 1;
    if (name) std::memcpy(r + kNameAt, name, strnlen(name, kMaxHotspotName));
    WriteU16(r + kIdAt, static_cast<std::uint16_t>(id));
    const std::int32_t corners[4][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    for (int k = 0; k < 4; ++k) {
        WriteI32(r + kPointsAt + 8 * k, corners[k][0]);
        WriteI32(r + kPointsAt + 8 * k + 4, corners[k][1]);
    }
    GlobalUnlock(grown);
    ++*count;
    return QUIX_OK;
}
