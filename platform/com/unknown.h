// The base interfaces: IUnknown, IClassFactory, IMalloc and IDispatch, with their interface ids.
//
// Interfaces are abstract classes whose virtual functions are the interface's methods in order;
// objects built by different modules of one process meet through them only.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/com/types.h"

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IMalloc{
    0x00000002, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ITypeInfo{
    0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ITypeLib{
    0x00020402, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The proxy class of dispatch interfaces, named by their Interface keys.
inline constexpr CLSID CLSID_PSDispatch{
    0x00020420, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};
using LPCLASSFACTORY = IClassFactory*;

class IMalloc : public IUnknown {
public:
    virtual void* Alloc(std::size_t cb) = 0;
    virtual void* Realloc(void* pv, std::size_t cb) = 0;
    virtual void Free(void* pv) = 0;
    virtual std::size_t GetSize(void* pv) = 0;
    virtual int DidAlloc(void* pv) = 0;
    virtual void HeapMinimize() = 0;

protected:
    ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;

struct VARIANT;
class ITypeInfo;

// The arguments of one IDispatch::Invoke: rgvarg holds them last first; named arguments (only
// DISPID_PROPERTYPUT for a property put) are the first cNamedArgs of rgvarg.
struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// What a failed call reports when Invoke returns DISP_E_EXCEPTION. scode is the status code
// (wCode 0), bstrDescription the message; the caller frees the strings.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};
using LPDISPATCH = IDispatch*;

namespace platform::com {

// Holds one counted reference; releases it at the end. Every reference a function or member
// holds is one of these.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference (AddRef) on p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    // From a pointer to a derived class (or to a class of the same interface).
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& o) : ComPtr(static_cast<T*>(o.get())) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(ComPtr<U>&& o) noexcept : p_(o.detach()) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller already holds.
    static ComPtr Attach(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    void reset() {
        if (p_) {
            T* p = p_;
            p_ = nullptr;
            p->Release();
        }
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }
    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    T** out() {
        reset();
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    T* detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>* other) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, other->outVoid());
    }
    // A new reference on the interface iid of the object, or null.
    template <class U>
    ComPtr<U> Query(REFIID iid) const;

private:
    T* p_ = nullptr;
};

// A new reference on the interface iid of the object p points to, or null (for a null p or an
// interface the object does not answer).
template <class U, class T>
ComPtr<U> Query(T* p, REFIID iid) {
    void* raw = nullptr;
    if (!p || FAILED(p->QueryInterface(iid, &raw)) || !raw) return nullptr;
    return ComPtr<U>::Attach(static_cast<U*>(raw));
}

template <class T>
template <class U>
ComPtr<U> ComPtr<T>::Query(REFIID iid) const {
    return platform::com::Query<U>(p_, iid);
}

}  // namespace platform::com
