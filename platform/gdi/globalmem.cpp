// The kernel's global memory blocks, kept in the graphics handle table because packed bitmaps and
// the other blocks that pass between modules live in them.
#include <cstring>
#include <new>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"

using namespace platform::gdi::internal;

namespace {

constexpr std::size_t kMaxBlock = std::size_t{1} << 30;

}  // namespace

HGLOBAL GlobalAlloc(UINT uFlags, std::size_t dwBytes) {
    if (dwBytes > kMaxBlock) return nullptr;
    auto g = std::make_shared<GlobalObject>();
    g->data.reset(new (std::nothrow) unsigned char[dwBytes ? dwBytes : 1]);
    if (!g->data) return nullptr;
    if (uFlags & GMEM_ZEROINIT) std::memset(g->data.get(), 0, dwBytes ? dwBytes : 1);
    g->size = dwBytes;
    return As<HGLOBAL>(Add(g));
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
    if (!hMem) return nullptr;
    if (!Find<GlobalObject>(Id(hMem), Kind::Global)) return hMem;
    Remove(Id(hMem));
    return nullptr;
}

void* GlobalLock(HGLOBAL hMem) {
    auto g = Find<GlobalObject>(Id(hMem), Kind::Global);
    if (!g) return nullptr;
    std::lock_guard lock(LinkMutex());
    ++g->locks;
    return g->data.get();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
    auto g = Find<GlobalObject>(Id(hMem), Kind::Global);
    if (!g) return FALSE;
    std::lock_guard lock(LinkMutex());
    if (g->locks > 0) --g->locks;
    return g->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL hMem) {
    auto g = Find<GlobalObject>(Id(hMem), Kind::Global);
    return g ? g->size : 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, std::size_t dwBytes, UINT uFlags) {
    auto g = Find<GlobalObject>(Id(hMem), Kind::Global);
    if (!g || dwBytes > kMaxBlock) return nullptr;
    std::lock_guard lock(LinkMutex());
    if (g->locks > 0) return nullptr;
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[dwBytes ? dwBytes : 1]);
    if (!data) return nullptr;
    std::size_t keep = std::min(dwBytes, g->size);
    std::memcpy(data.get(), g->data.get(), keep);
    if ((uFlags & GMEM_ZEROINIT) && dwBytes > keep)
        std::memset(data.get() + keep, 0, dwBytes - keep);
    g->data = std::move(data);
    g->size = dwBytes;
    return hMem;
}
