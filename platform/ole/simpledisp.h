// A small dispatch implementation for the layer's own objects (pictures, fonts, sites): a table of
// named properties read and written through functions on Variants.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/com/variant.h"

namespace platform::ole::internal {

struct SimpleProperty {
    const char* name;
    DISPID id;
    VARTYPE vt;
    std::function<HRESULT(platform::com::Variant*)> get;
    std::function<HRESULT(const VARIANT&)> put;  // empty: read-only
};

// GetIDsOfNames and Invoke over the table; the value of a put arrives converted to the
// property's type.
HRESULT SimpleGetIDsOfNames(const std::vector<SimpleProperty>& table, LPOLESTR* names, UINT count,
                            DISPID* ids);
HRESULT SimpleInvoke(const std::vector<SimpleProperty>& table, DISPID id, WORD flags,
                     DISPPARAMS* params, VARIANT* result);

// The IDispatch of an object whose members are a table of simple properties, Self::Table(); it
// has no type information.
template <class Self>
class SimpleDispatch : public IDispatch {
public:
    HRESULT GetTypeInfoCount(UINT* p) override {
        if (!p) return E_POINTER;
        *p = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return SimpleGetIDsOfNames(static_cast<Self*>(this)->Table(), names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        return SimpleInvoke(static_cast<Self*>(this)->Table(), id, flags, params, result);
    }

protected:
    ~SimpleDispatch() = default;
};

}  // namespace platform::ole::internal
