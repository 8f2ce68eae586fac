#include "platform/com/dispatch.h"

#include <algorithm>
#include <cstring>

#include "platform/com/bstr.h"

namespace platform::com {

namespace {

InvokeResult Call(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> reversed,
                  bool put) {
    InvokeResult r;
    if (!object) {
        r.hr = E_POINTER;
        return r;
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                      static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    EXCEPINFO info;
    std::memset(&info, 0, sizeof info);
    r.hr = object->Invoke(id, GUID_NULL, 0, flags, &params, put ? nullptr : r.value.ptr(), &info,
                          &r.argError);
    if (r.hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        r.scode = info.scode ? info.scode : static_cast<SCODE>(info.wCode);
        r.description = Utf8(info.bstrDescription);
        r.source = Utf8(info.bstrSource);
    }
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    return r;
}

}  // namespace

DISPID DispIdOf(IDispatch* object, std::string_view name) {
    if (!object) return DISPID_UNKNOWN;
    std::u16string wide = Utf16(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(GUID_NULL, names, 1, 0, &id))) return DISPID_UNKNOWN;
    return id;
}

InvokeResult GetProperty(IDispatch* object, DISPID id) {
    return Call(object, id, DISPATCH_PROPERTYGET, {}, false);
}

InvokeResult PutProperty(IDispatch* object, DISPID id, const Variant& value, bool byReference) {
    return Call(object, id, byReference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT,
                {value.get()}, true);
}

InvokeResult CallMethod(IDispatch* object, DISPID id, const std::vector<Variant>& args) {
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->get());
    return Call(object, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, reversed, false);
}

}  // namespace platform::com
