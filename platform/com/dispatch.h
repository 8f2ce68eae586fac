// Calling an automation object from the client's side: property get and put, method calls and
// name lookup through IDispatch, with the automation error an object raises.
#pragma once

#include <string>
#include <vector>

#include "platform/com/variant.h"

namespace platform::com {

struct InvokeResult {
    HRESULT hr = S_OK;
    Variant value;            // the result of a get or a method
    SCODE scode = S_OK;       // the object's status code for DISP_E_EXCEPTION
    std::string description;  // and its message
    std::string source;
    UINT argError = 0;  // the argument (last first) that could not be converted

    bool ok() const { return SUCCEEDED(hr); }
    // The error number a form run-time shows: the low word of the status code (of hr when the
    // object raised nothing).
    unsigned ErrorNumber() const { return HRESULT_CODE(hr == DISP_E_EXCEPTION ? scode : hr); }
};

// The DISPID of a member by name (without regard to case), or DISPID_UNKNOWN.
DISPID DispIdOf(IDispatch* object, std::string_view name);

InvokeResult GetProperty(IDispatch* object, DISPID id);
// A put; with byReference a put by reference (objects).
InvokeResult PutProperty(IDispatch* object, DISPID id, const Variant& value,
                         bool byReference = false);
// A method with its arguments in order (first first).
InvokeResult CallMethod(IDispatch* object, DISPID id, const std::vector<Variant>& args = {});

}  // namespace platform::com
