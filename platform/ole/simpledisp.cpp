#include "platform/ole/simpledisp.h"

#include <strings.h>

namespace platform::ole::internal {

HRESULT SimpleGetIDsOfNames(const std::vector<SimpleProperty>& table, LPOLESTR* names, UINT count,
                            DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    std::string name = platform::com::Utf8FromWide(names[0]);
    for (const auto& p : table) {
        if (::strcasecmp(p.name, name.c_str()) == 0) {
            ids[0] = p.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT SimpleInvoke(const std::vector<SimpleProperty>& table, DISPID id, WORD flags,
                     DISPPARAMS* params, VARIANT* result) {
    const SimpleProperty* prop = nullptr;
    for (const auto& p : table) {
        if (p.id == id) prop = &p;
    }
    if (!prop) return DISP_E_MEMBERNOTFOUND;
    UINT argc = params ? params->cArgs : 0;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!prop->put) return DISP_E_MEMBERNOTFOUND;
        if (argc != 1) return DISP_E_BADPARAMCOUNT;
        platform::com::Variant value;
        HRESULT hr = VariantChangeType(value.ptr(), &params->rgvarg[0], 0, prop->vt);
        if (FAILED(hr)) return hr;
        return prop->put(value.get());
    }
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (argc != 0) return DISP_E_BADPARAMCOUNT;
    platform::com::Variant value;
    HRESULT hr = prop->get(&value);
    if (FAILED(hr)) return hr;
    if (result) {
        VariantClear(result);
        *result = value.detach();
    }
    return S_OK;
}

}  // namespace platform::ole::internal
