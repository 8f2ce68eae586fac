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

}  // namespace platform::ole::internal
