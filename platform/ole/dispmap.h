// Dispatch maps and event maps: the table of a control's automation members by DISPID and name,
// bound to its C++ functions and members.
//
// Entry types (vt) name how a value travels: VT_I2 (SHORT), VT_I4 (LONG, and OLE colours and
// handles as 32-bit values), VT_BOOL (BOOL: VARIANT_TRUE arrives as -1, any non-zero value counts
// as TRUE; a get gives VARIANT_TRUE for any non-zero value), VT_R4 (float), VT_R8 (double),
// VT_CY (CY), VT_BSTR (a get returns a new BSTR; a put or an argument is a borrowed LPCOLESTR),
// VT_DISPATCH / VT_UNKNOWN (a get returns a new reference; a put or an argument is borrowed),
// VT_VARIANT (an argument is the caller's value as given, const VARIANT&; a missing trailing
// VT_VARIANT argument arrives as VT_ERROR DISP_E_PARAMNOTFOUND), VT_EMPTY (a method's "no
// result"). Invoke converts each argument to the entry's type with VariantChangeType first.
#pragma once

#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/com/variant.h"

class COleControl;

namespace platform::ole {

enum class DispKind { Property, Method, Stock, Alias };

struct DispEntry {
    const char* name;
    DISPID id;
    DispKind kind;
    VARTYPE vt;                   // property type, or method result (VT_EMPTY: none)
    std::vector<VARTYPE> params;  // method parameters, first first
    DISPID aliasOf = 0;           // Alias: the member this DISPID stands for
    // The bindings; each receives its own entry.
    void (*get)(COleControl* self, const DispEntry& entry, VARIANT* result) = nullptr;
    void (*put)(COleControl* self, const DispEntry& entry, const VARIANT& value) = nullptr;
    void (*call)(COleControl* self, const DispEntry& entry, VARIANT* args,
                 VARIANT* result) = nullptr;
};
using DispatchMap = std::vector<DispEntry>;

struct EventEntry {
    const char* name;
    DISPID id;
    std::vector<VARTYPE> params;
};
using EventMap = std::vector<EventEntry>;

namespace detail {

template <class T>
struct MemFn;
template <class C, class R, class... A>
struct MemFn<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Args = std::tuple<A...>;
};
template <class T>
struct MemData;
template <class C, class T>
struct MemData<T C::*> {
    using Class = C;
    using Type = T;
};

template <class T>
struct Arg {
    static T From(const VARIANT& v) {
        if constexpr (std::is_same_v<T, float>) {
            return v.fltVal;
        } else if constexpr (std::is_same_v<T, double>) {
            return v.dblVal;
        } else if constexpr (std::is_same_v<T, CY>) {
            return v.cyVal;
        } else if constexpr (std::is_same_v<T, LPCOLESTR> || std::is_same_v<T, BSTR>) {
            return v.bstrVal;
        } else if constexpr (std::is_same_v<T, IDispatch*>) {
            return v.vt == VT_DISPATCH ? v.pdispVal : nullptr;
        } else if constexpr (std::is_same_v<T, IUnknown*>) {
            return v.punkVal;
        } else {
            static_assert(std::is_integral_v<T>, "unsupported dispatch argument type");
            switch (v.vt) {
                case VT_BOOL:
                    return static_cast<T>(v.boolVal);
                case VT_I2:
                    return static_cast<T>(v.iVal);
                case VT_UI4:
                    return static_cast<T>(v.ulVal);
                default:
                    return static_cast<T>(v.lVal);
            }
        }
    }
};
template <>
struct Arg<const VARIANT&> {
    static const VARIANT& From(const VARIANT& v) { return v; }
};

template <class T>
void ToVariant(T&& value, VARTYPE vt, VARIANT* out) {
    using U = std::decay_t<T>;
    VariantInit(out);
    if constexpr (std::is_same_v<U, VARIANT>) {
        *out = value;
    } else if constexpr (std::is_same_v<U, BSTR>) {
        out->vt = VT_BSTR;
        out->bstrVal = value;
    } else if constexpr (std::is_same_v<U, IDispatch*>) {
        out->vt = VT_DISPATCH;
        out->pdispVal = value;
    } else if constexpr (std::is_same_v<U, IUnknown*>) {
        out->vt = VT_UNKNOWN;
        out->punkVal = value;
    } else if constexpr (std::is_same_v<U, float>) {
        out->vt = VT_R4;
        out->fltVal = value;
    } else if constexpr (std::is_same_v<U, double>) {
        out->vt = VT_R8;
        out->dblVal = value;
    } else if constexpr (std::is_same_v<U, CY>) {
        out->vt = VT_CY;
        out->cyVal = value;
    } else {
        static_assert(std::is_integral_v<U>, "unsupported dispatch result type");
        switch (vt) {
            case VT_BOOL:
                out->vt = VT_BOOL;
                out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            case VT_I2:
                out->vt = VT_I2;
                out->iVal = static_cast<SHORT>(value);
                break;
            default:
                out->vt = VT_I4;
                out->lVal = static_cast<LONG>(value);
                break;
        }
    }
}

template <auto Fn, class Tuple, std::size_t... I>
void CallWith(COleControl* self, VARIANT* args, VARIANT* result, VARTYPE vt,
              std::index_sequence<I...>) {
    using F = MemFn<decltype(Fn)>;
    auto* obj = static_cast<typename F::Class*>(self);
    if constexpr (std::is_void_v<typename F::Result>) {
        (obj->*Fn)(Arg<std::tuple_element_t<I, Tuple>>::From(args[I])...);
    } else {
        ToVariant((obj->*Fn)(Arg<std::tuple_element_t<I, Tuple>>::From(args[I])...), vt, result);
    }
}

}  // namespace detail

// A property with a get function and a set function (either may be null: nullptr).
template <auto Get, auto Set>
DispEntry DispProperty(const char* name, DISPID id, VARTYPE vt) {
    DispEntry e{name, id, DispKind::Property, vt, {}};
    if constexpr (!std::is_null_pointer_v<decltype(Get)>) {
        e.get = [](COleControl* self, const DispEntry& entry, VARIANT* result) {
            using F = detail::MemFn<decltype(Get)>;
            detail::ToVariant((static_cast<typename F::Class*>(self)->*Get)(), entry.vt, result);
        };
    }
    if constexpr (!std::is_null_pointer_v<decltype(Set)>) {
        e.put = [](COleControl* self, const DispEntry&, const VARIANT& v) {
            using F = detail::MemFn<decltype(Set)>;
            using A = std::tuple_element_t<0, typename F::Args>;
            (static_cast<typename F::Class*>(self)->*Set)(detail::Arg<A>::From(v));
        };
    }
    return e;
}

// A plain member, stored as the value converted to its type; Notify (a member function without
// arguments, or nullptr) runs after each store.
template <auto Member, auto Notify>
DispEntry DispMember(const char* name, DISPID id, VARTYPE vt) {
    DispEntry e{name, id, DispKind::Property, vt, {}};
    e.get = [](COleControl* self, const DispEntry& entry, VARIANT* result) {
        using M = detail::MemData<decltype(Member)>;
        detail::ToVariant(static_cast<typename M::Class*>(self)->*Member, entry.vt, result);
    };
    e.put = [](COleControl* self, const DispEntry&, const VARIANT& v) {
        using M = detail::MemData<decltype(Member)>;
        auto* obj = static_cast<typename M::Class*>(self);
        obj->*Member = detail::Arg<typename M::Type>::From(v);
        if constexpr (!std::is_null_pointer_v<decltype(Notify)>) (obj->*Notify)();
    };
    return e;
}

// A method; params lists the argument types in order.
template <auto Fn>
DispEntry DispMethod(const char* name, DISPID id, VARTYPE result,
                     std::initializer_list<VARTYPE> params) {
    DispEntry e{name, id, DispKind::Method, result, params};
    e.call = [](COleControl* self, const DispEntry& entry, VARIANT* args, VARIANT* res) {
        using Args = typename detail::MemFn<decltype(Fn)>::Args;
        detail::CallWith<Fn, Args>(self, args, res, entry.vt,
                                   std::make_index_sequence<std::tuple_size_v<Args>>{});
    };
    return e;
}

// A property served by one pair of functions for many DISPIDs: Get (VARIANT (C::*)(DISPID))
// returns the value as a variant of the entry's type, Set (void (C::*)(DISPID, const VARIANT&))
// receives it converted to that type.
template <auto Get, auto Set>
DispEntry DispPropertyById(const char* name, DISPID id, VARTYPE vt) {
    DispEntry e{name, id, DispKind::Property, vt, {}};
    e.get = [](COleControl* self, const DispEntry& entry, VARIANT* result) {
        using F = detail::MemFn<decltype(Get)>;
        *result = (static_cast<typename F::Class*>(self)->*Get)(entry.id);
    };
    e.put = [](COleControl* self, const DispEntry& entry, const VARIANT& v) {
        using F = detail::MemFn<decltype(Set)>;
        (static_cast<typename F::Class*>(self)->*Set)(entry.id, v);
    };
    return e;
}

// The stock members the class library serves itself: DISPID_CAPTION, DISPID_TEXT, DISPID_FONT,
// DISPID_ENABLED (properties), DISPID_REFRESH and DISPID_ABOUTBOX (methods).
DispEntry DispStock(DISPID id);

// DISPID_VALUE, standing for the member with DISPID target.
inline DispEntry DispDefValue(DISPID target) {
    DispEntry e{"_Value", DISPID_VALUE, DispKind::Alias, VT_EMPTY, {}};
    e.aliasOf = target;
    return e;
}

}  // namespace platform::ole
