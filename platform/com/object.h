// The one base of the COM objects this process builds: the reference count and the interface
// lookup, written once.
//
// An object derives from Object<I1, I2, ...> (or UncountedObject<...>) with the interfaces it
// implements and overrides GetInterface, which names the base that answers an interface id (null
// for one it does not answer). QueryInterface, AddRef and Release come from the base and serve
// every one of the interfaces.
//
//   class Font final : public platform::com::Object<IFont, IDispatch> {
//       void* GetInterface(REFIID riid) override {
//           if (riid == IID_IUnknown || riid == IID_IFont) return static_cast<IFont*>(this);
//           if (riid == IID_IDispatch) return static_cast<IDispatch*>(this);
//           return nullptr;
//       }
//   };
//   auto font = platform::com::MakeObject<Font>();   // the one reference, owned
#pragma once

#include <atomic>
#include <utility>

#include "platform/com/unknown.h"

namespace platform::com {

// How an object's references end it: counted (a new object holds one reference and the last
// Release deletes it), or not counted (the object lives as long as its owner: a static of its
// module, or a part of another object).
enum class Lifetime { Counted, Uncounted };

template <Lifetime L, class... Interfaces>
class BasicObject : public Interfaces... {
public:
    BasicObject(const BasicObject&) = delete;
    BasicObject& operator=(const BasicObject&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) final {
        if (!ppv) return E_POINTER;
        *ppv = GetInterface(riid);
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() final {
        if constexpr (L == Lifetime::Counted) {
            return ++refs_;
        } else {
            return 2;
        }
    }
    ULONG Release() final {
        if constexpr (L == Lifetime::Counted) {
            ULONG n = --refs_;
            if (n == 0) delete this;
            return n;
        } else {
            return 1;
        }
    }

protected:
    BasicObject() = default;
    virtual ~BasicObject() = default;

    // The base of this object that answers the interface id, or null.
    virtual void* GetInterface(REFIID riid) = 0;

private:
    std::atomic<ULONG> refs_{1};
};

template <class... Interfaces>
using Object = BasicObject<Lifetime::Counted, Interfaces...>;
template <class... Interfaces>
using UncountedObject = BasicObject<Lifetime::Uncounted, Interfaces...>;

// A new counted object, its first reference owned by the pointer returned.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
    return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

// Hands a value to the caller of an interface's getter: E_POINTER for a null out parameter.
template <class T, class V>
HRESULT GiveOut(T* p, V value) {
    if (!p) return E_POINTER;
    *p = static_cast<T>(value);
    return S_OK;
}

// The class factory of T: a static of its module (its references are not counted) that makes a
// new T for each CreateInstance, without aggregation.
template <class T>
class ClassFactory : public UncountedObject<IClassFactory> {
public:
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return MakeObject<T>()->QueryInterface(riid, ppv);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

protected:
    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            return static_cast<IClassFactory*>(this);
        }
        return nullptr;
    }
};

}  // namespace platform::com
