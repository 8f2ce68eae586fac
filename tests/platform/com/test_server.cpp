// A small in-process server for the activation tests: one class, Counter, whose objects only count
// references. It exports the standard entry points.
#include <atomic>

#include "platform/com/object.h"

namespace {

constexpr CLSID kCounterClsid{
    0x6C1A0003, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xDE}};

std::atomic<int> g_objects{0};
std::atomic<int> g_locks{0};

class Counter final : public platform::com::Object<IUnknown> {
public:
    Counter() { ++g_objects; }
    ~Counter() override { --g_objects; }
    void* GetInterface(REFIID riid) override {
        return riid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
    }
};

class Factory final : public platform::com::ClassFactory<Counter> {
public:
    HRESULT LockServer(BOOL lock) override {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }
} g_factory;

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid,
                                                                            REFIID riid,
                                                                            void** ppv) {
    if (!(clsid == kCounterClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" __attribute__((visibility("default"))) int TestServerObjects() {
    return g_objects;
}
