#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/com/activation.h"
#include "platform/com/guid.h"
#include "platform/com/internal.h"
#include "platform/com/object.h"
#include "platform/com/resources.h"
#include "platform/com/typeinfo.h"
#include "platform/registry/registry.h"

namespace {

using platform::com::GuidToString;
using platform::com::SameName;
using platform::com::internal::KeyExists;
using platform::com::internal::LcidName;
using platform::com::internal::SubKeys;

// ---- the description ----

struct TypeRef {
    VARTYPE vt = VT_EMPTY;
    int userType = -1;  // index of the enum for VT_USERDEFINED
};

struct Param {
    std::string name;
    TypeRef type;
    bool optional = false;
};

struct Member {
    DISPID id = 0;
    std::string name;
    bool isProperty = false;
    TypeRef type;  // property type or method result
    std::vector<Param> params;
    bool readonly = false;
    bool hidden = false;
};

struct Impl {
    int type = -1;
    int flags = 0;
};

struct TypeDef {
    TYPEKIND kind = TKIND_DISPATCH;
    std::string name;
    GUID guid = GUID_NULL;
    std::string doc;
    std::vector<Member> members;
    std::vector<std::pair<std::string, LONG>> constants;
    std::vector<Impl> impls;

    std::vector<const Member*> Methods() const {
        std::vector<const Member*> out;
        for (const auto& m : members) {
            if (!m.isProperty) out.push_back(&m);
        }
        return out;
    }
    std::vector<const Member*> Properties() const {
        std::vector<const Member*> out;
        for (const auto& m : members) {
            if (m.isProperty) out.push_back(&m);
        }
        return out;
    }
};

struct LibData {
    std::string name;
    GUID libid = GUID_NULL;
    WORD major = 0, minor = 0;
    LCID lcid = 0;
    std::string helpfile;
    std::string doc;
    std::vector<TypeDef> types;
};

// ---- the text form ----

std::vector<std::string> Tokens(const std::string& line, std::string* error) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '(' || c == ')' || c == ',' || c == '=') {
            out.emplace_back(1, c);
            ++i;
        } else if (c == '"') {
            std::string s = "\"";
            ++i;
            while (i < line.size() && line[i] != '"') s += line[i++];
            if (i >= line.size()) {
                *error = "unterminated string";
                return {};
            }
            ++i;
            out.push_back(s);
        } else {
            std::string s;
            while (i < line.size() && !std::strchr(" \t\r(),=\"", line[i])) s += line[i++];
            out.push_back(s);
        }
    }
    return out;
}

bool IsString(const std::string& t) {
    return !t.empty() && t[0] == '"';
}
std::string Unquote(const std::string& t) {
    return t.substr(1);
}

bool ParseInt(const std::string& t, long long& out) {
    if (t.empty()) return false;
    char* end = nullptr;
    out = std::strtoll(t.c_str(), &end, 0);
    return end && *end == 0;
}

bool ParseType(const std::string& name, const LibData& lib, TypeRef& out) {
    static const std::pair<const char*, VARTYPE> kBuiltIn[] = {
        {"void", VT_VOID},
        {"short", VT_I2},
        {"long", VT_I4},
        {"float", VT_R4},
        {"double", VT_R8},
        {"BSTR", VT_BSTR},
        {"VARIANT_BOOL", VT_BOOL},
        {"boolean", VT_BOOL},
        {"VARIANT", VT_VARIANT},
        {"CURRENCY", VT_CY},
        {"DATE", VT_DATE},
        {"OLE_COLOR", VT_UI4},
        {"OLE_HANDLE", VT_I4},
        {"OLE_XPOS_PIXELS", VT_I4},
        {"OLE_YPOS_PIXELS", VT_I4},
        {"IUnknown*", VT_UNKNOWN},
        {"IDispatch*", VT_DISPATCH},
        {"IPictureDisp*", VT_DISPATCH},
        {"IFontDisp*", VT_DISPATCH},
        {"SCODE", VT_ERROR},
    };
    for (const auto& [n, vt] : kBuiltIn) {
        if (name == n) {
            out = TypeRef{vt, -1};
            return true;
        }
    }
    for (size_t i = 0; i < lib.types.size(); ++i) {
        if (lib.types[i].kind == TKIND_ENUM && lib.types[i].name == name) {
            out = TypeRef{VT_USERDEFINED, static_cast<int>(i)};
            return true;
        }
    }
    return false;
}

// Each line of the text is read by the function of its kind; a function returns the reason a
// line is refused, or an empty string.
using Line = std::vector<std::string>;

std::string ParseLibraryLine(const Line& t, LibData& lib) {
    if (t.size() < 4) return "bad library line";
    lib.name = t[1];
    auto g = platform::com::ParseGuid(t[2]);
    unsigned maj, min;
    if (!g || std::sscanf(t[3].c_str(), "%u.%u", &maj, &min) != 2) {
        return "bad library id or version";
    }
    lib.libid = *g;
    lib.major = static_cast<WORD>(maj);
    lib.minor = static_cast<WORD>(min);
    for (size_t i = 4; i < t.size(); ++i) {
        long long v;
        if (t[i] == "lcid" && i + 1 < t.size() && ParseInt(t[i + 1], v)) {
            lib.lcid = static_cast<LCID>(v);
            ++i;
        } else if (t[i] == "helpfile" && i + 1 < t.size() && IsString(t[i + 1])) {
            lib.helpfile = Unquote(t[i + 1]);
            ++i;
        } else if (IsString(t[i])) {
            lib.doc = Unquote(t[i]);
        } else {
            return "unexpected '" + t[i] + "'";
        }
    }
    return {};
}

// "enum", "dispinterface" or "coclass": opens a new type.
std::string ParseTypeLine(const Line& t, LibData& lib) {
    const std::string& word = t[0];
    TypeDef def;
    if (word == "enum" && t.size() == 2) {
        def.kind = TKIND_ENUM;
        def.name = t[1];
    } else if ((word == "dispinterface" || word == "coclass") && t.size() >= 3) {
        def.kind = word == "coclass" ? TKIND_COCLASS : TKIND_DISPATCH;
        def.name = t[1];
        auto g = platform::com::ParseGuid(t[2]);
        if (!g) return "bad GUID";
        def.guid = *g;
        if (t.size() > 3) {
            if (t.size() > 4 || !IsString(t[3])) return "unexpected text";
            def.doc = Unquote(t[3]);
        }
    } else {
        return "unknown declaration '" + word + "'";
    }
    for (const auto& other : lib.types) {
        if (SameName(other.name, def.name)) return "duplicate type " + def.name;
    }
    lib.types.push_back(def);
    return {};
}

std::string ParseConstantLine(const Line& t, TypeDef& open) {
    long long v;
    if (t.size() != 3 || t[1] != "=" || !ParseInt(t[2], v)) return "bad constant";
    open.constants.emplace_back(t[0], static_cast<LONG>(v));
    return {};
}

std::string ParseInterfaceLine(const Line& t, const LibData& lib, TypeDef& open) {
    Impl impl;
    size_t i = 0;
    for (; i < t.size() && (t[i] == "default" || t[i] == "source"); ++i) {
        impl.flags |= t[i] == "default" ? IMPLTYPEFLAG_FDEFAULT : IMPLTYPEFLAG_FSOURCE;
    }
    if (i + 2 != t.size() || t[i] != "dispinterface") return "bad interface line";
    for (size_t k = 0; k < lib.types.size(); ++k) {
        if (lib.types[k].kind == TKIND_DISPATCH && lib.types[k].name == t[i + 1]) {
            impl.type = static_cast<int>(k);
        }
    }
    if (impl.type < 0) return "unknown interface " + t[i + 1];
    open.impls.push_back(impl);
    return {};
}

// A method's result type and parameter list, from t[i] on; i ends past them.
std::string ParseSignature(const Line& t, const LibData& lib, size_t& i, Member& m) {
    m.type = TypeRef{VT_VOID, -1};
    if (i < t.size() && t[i] != "(" && t[i] != "hidden") {
        if (!ParseType(t[i], lib, m.type)) return "unknown type " + t[i];
        ++i;
    }
    if (i >= t.size() || t[i] != "(") return {};
    ++i;
    while (i < t.size() && t[i] != ")") {
        Param p;
        if (t[i] == "[optional]") {
            p.optional = true;
            ++i;
        }
        if (i + 1 >= t.size() || !ParseType(t[i], lib, p.type) || p.type.vt == VT_VOID) {
            return "bad parameter";
        }
        p.name = t[i + 1];
        i += 2;
        m.params.push_back(p);
        if (i < t.size() && t[i] == ",") ++i;
    }
    if (i >= t.size()) return "missing ')'";
    ++i;
    return {};
}

// "property" or "method" of a dispinterface.
std::string ParseMemberLine(const Line& t, const LibData& lib, TypeDef& open) {
    Member m;
    long long id;
    if ((t[0] != "property" && t[0] != "method") || t.size() < 3 || !ParseInt(t[1], id)) {
        return "bad member";
    }
    m.isProperty = t[0] == "property";
    m.id = static_cast<DISPID>(id);
    m.name = t[2];
    size_t i = 3;
    if (m.isProperty) {
        if (t.size() < 4 || !ParseType(t[3], lib, m.type) || m.type.vt == VT_VOID) {
            return "bad property type";
        }
        i = 4;
    } else if (std::string why = ParseSignature(t, lib, i, m); !why.empty()) {
        return why;
    }
    for (; i < t.size(); ++i) {
        if (t[i] == "readonly" && m.isProperty) {
            m.readonly = true;
        } else if (t[i] == "hidden") {
            m.hidden = true;
        } else {
            return "unexpected '" + t[i] + "'";
        }
    }
    for (const auto& other : open.members) {
        if (other.id == m.id) return "duplicate dispatch id " + std::to_string(m.id);
        if (SameName(other.name, m.name)) return "duplicate member " + m.name;
    }
    open.members.push_back(m);
    return {};
}

// One line inside the open type: its end, or one of its constants, interfaces or members.
std::string ParseTypeBody(const Line& t, const LibData& lib, TypeDef*& open) {
    if (t[0] == "end" && t.size() == 1) {
        open = nullptr;
        return {};
    }
    if (open->kind == TKIND_ENUM) return ParseConstantLine(t, *open);
    if (open->kind == TKIND_COCLASS) return ParseInterfaceLine(t, lib, *open);
    return ParseMemberLine(t, lib, *open);
}

std::shared_ptr<LibData> Parse(std::string_view text, std::string* error) {
    auto lib = std::make_shared<LibData>();
    std::istringstream in{std::string(text)};
    std::string line;
    int number = 0;
    TypeDef* open = nullptr;
    bool haveLibrary = false;
    auto fail = [&](const std::string& why) {
        if (error) *error = "line " + std::to_string(number) + ": " + why;
        return nullptr;
    };
    while (std::getline(in, line)) {
        ++number;
        std::string why;
        auto t = Tokens(line, &why);
        if (!why.empty()) return fail(why);
        if (t.empty() || t[0][0] == '#') continue;
        if (open) {
            why = ParseTypeBody(t, *lib, open);
        } else if (t[0] == "library") {
            why = haveLibrary ? "bad library line" : ParseLibraryLine(t, *lib);
            haveLibrary = true;
        } else if (!haveLibrary) {
            why = "the library line must come first";
        } else {
            why = ParseTypeLine(t, *lib);
            if (why.empty()) open = &lib->types.back();
        }
        if (!why.empty()) return fail(why);
    }
    if (open) return fail("missing 'end'");
    if (!haveLibrary) return fail("no library line");
    return lib;
}

// ---- the objects ----

BSTR NewBstr(const std::string& s) {
    return platform::com::AllocBstr(s);
}

class TypeLib;

class TypeInfo final : public platform::com::Object<ITypeInfo> {
public:
    TypeInfo(TypeLib* lib, std::shared_ptr<const LibData> data, int index);
    ~TypeInfo() override;

    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_ITypeInfo) return static_cast<ITypeInfo*>(this);
        return nullptr;
    }

    const TypeDef& Def() const { return data_->types[index_]; }

    HRESULT GetTypeAttr(TYPEATTR** pp) override {
        if (!pp) return E_POINTER;
        auto* a = new TYPEATTR{};
        a->guid = Def().guid;
        a->lcid = data_->lcid;
        a->typekind = Def().kind;
        if (Def().kind == TKIND_ENUM) {
            a->cVars = static_cast<WORD>(Def().constants.size());
        } else if (Def().kind == TKIND_DISPATCH) {
            a->cFuncs = static_cast<WORD>(Def().Methods().size());
            a->cVars = static_cast<WORD>(Def().Properties().size());
        } else {
            a->cImplTypes = static_cast<WORD>(Def().impls.size());
        }
        a->wMajorVerNum = data_->major;
        a->wMinorVerNum = data_->minor;
        *pp = a;
        return S_OK;
    }
    void ReleaseTypeAttr(TYPEATTR* p) override { delete p; }

    static ELEMDESC Elem(const TypeRef& t, bool optional) {
        ELEMDESC e{};
        e.tdesc.vt = t.vt;
        e.tdesc.hreftype = t.userType < 0 ? 0 : static_cast<HREFTYPE>(t.userType);
        e.paramdesc.wParamFlags = optional ? PARAMFLAG_FOPT : 0;
        return e;
    }

    HRESULT GetFuncDesc(UINT index, FUNCDESC** pp) override {
        if (!pp) return E_POINTER;
        auto methods = Def().Methods();
        if (index >= methods.size()) return TYPE_E_ELEMENTNOTFOUND;
        const Member& m = *methods[index];
        auto* f = new FUNCDESC{};
        f->memid = m.id;
        f->invkind = INVOKE_FUNC;
        f->cParams = static_cast<SHORT>(m.params.size());
        f->lprgelemdescParam = m.params.empty() ? nullptr : new ELEMDESC[m.params.size()];
        for (size_t i = 0; i < m.params.size(); ++i) {
            f->lprgelemdescParam[i] = Elem(m.params[i].type, m.params[i].optional);
            if (m.params[i].optional) ++f->cParamsOpt;
        }
        f->elemdescFunc = Elem(m.type, false);
        f->wFuncFlags = m.hidden ? FUNCFLAG_FHIDDEN : 0;
        *pp = f;
        return S_OK;
    }
    void ReleaseFuncDesc(FUNCDESC* p) override {
        if (!p) return;
        delete[] p->lprgelemdescParam;
        delete p;
    }

    HRESULT GetVarDesc(UINT index, VARDESC** pp) override {
        if (!pp) return E_POINTER;
        auto* v = new VARDESC{};
        if (Def().kind == TKIND_ENUM) {
            if (index >= Def().constants.size()) {
                delete v;
                return TYPE_E_ELEMENTNOTFOUND;
            }
            v->memid = static_cast<MEMBERID>(0x40000000 + index);
            v->varkind = VAR_CONST;
            v->lpvarValue = new VARIANT;
            VariantInit(v->lpvarValue);
            v->lpvarValue->vt = VT_I4;
            v->lpvarValue->lVal = Def().constants[index].second;
            v->elemdescVar = Elem(TypeRef{VT_I4, -1}, false);
        } else {
            auto props = Def().Properties();
            if (index >= props.size()) {
                delete v;
                return TYPE_E_ELEMENTNOTFOUND;
            }
            v->memid = props[index]->id;
            v->varkind = VAR_DISPATCH;
            v->elemdescVar = Elem(props[index]->type, false);
            v->wVarFlags = static_cast<WORD>((props[index]->readonly ? VARFLAG_FREADONLY : 0) |
                                             (props[index]->hidden ? VARFLAG_FHIDDEN : 0));
        }
        *pp = v;
        return S_OK;
    }
    void ReleaseVarDesc(VARDESC* p) override {
        if (!p) return;
        if (p->lpvarValue) {
            VariantClear(p->lpvarValue);
            delete p->lpvarValue;
        }
        delete p;
    }

    // Enum constants are members 0x40000000 + index.
    const Member* Find(MEMBERID id) const {
        for (const auto& m : Def().members) {
            if (m.id == id) return &m;
        }
        return nullptr;
    }

    HRESULT GetNames(MEMBERID memid, BSTR* names, UINT cMax, UINT* pc) override {
        if (!names || !pc) return E_POINTER;
        *pc = 0;
        if (Def().kind == TKIND_ENUM) {
            UINT index = static_cast<UINT>(memid - 0x40000000);
            if (memid < 0x40000000 || index >= Def().constants.size()) {
                return TYPE_E_ELEMENTNOTFOUND;
            }
            if (cMax) {
                names[0] = NewBstr(Def().constants[index].first);
                *pc = 1;
            }
            return S_OK;
        }
        const Member* m = Find(memid);
        if (!m) return TYPE_E_ELEMENTNOTFOUND;
        if (cMax == 0) return S_OK;
        names[(*pc)++] = NewBstr(m->name);
        for (const auto& p : m->params) {
            if (*pc >= cMax) break;
            names[(*pc)++] = NewBstr(p.name);
        }
        return S_OK;
    }

    HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* ids) override {
        if (!rgszNames || !ids) return E_POINTER;
        if (cNames == 0) return E_INVALIDARG;
        for (UINT i = 0; i < cNames; ++i) ids[i] = DISPID_UNKNOWN;
        std::string first = platform::com::Utf8FromWide(rgszNames[0]);
        const Member* found = nullptr;
        for (const auto& m : Def().members) {
            if (SameName(m.name, first)) found = &m;
        }
        if (!found && Def().kind == TKIND_ENUM) {
            for (size_t i = 0; i < Def().constants.size(); ++i) {
                if (SameName(Def().constants[i].first, first)) {
                    ids[0] = static_cast<MEMBERID>(0x40000000 + i);
                    return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
                }
            }
        }
        if (!found) return DISP_E_UNKNOWNNAME;
        ids[0] = found->id;
        HRESULT hr = S_OK;
        for (UINT i = 1; i < cNames; ++i) {
            std::string name = platform::com::Utf8FromWide(rgszNames[i]);
            bool ok = false;
            for (size_t k = 0; k < found->params.size(); ++k) {
                if (SameName(found->params[k].name, name)) {
                    ids[i] = static_cast<MEMBERID>(k);
                    ok = true;
                }
            }
            if (!ok) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }

    HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* doc, DWORD* ctx,
                             BSTR* file) override {
        std::string n, d;
        if (memid == -1) {
            n = Def().name;
            d = Def().doc;
        } else {
            const Member* m = Find(memid);
            if (!m) return TYPE_E_ELEMENTNOTFOUND;
            n = m->name;
        }
        if (name) *name = NewBstr(n);
        if (doc) *doc = d.empty() ? nullptr : NewBstr(d);
        if (ctx) *ctx = 0;
        if (file) *file = data_->helpfile.empty() ? nullptr : NewBstr(data_->helpfile);
        return S_OK;
    }

    HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override {
        if (!ref) return E_POINTER;
        if (Def().kind != TKIND_COCLASS || index >= Def().impls.size()) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        *ref = static_cast<HREFTYPE>(Def().impls[index].type);
        return S_OK;
    }
    HRESULT GetImplTypeFlags(UINT index, int* flags) override {
        if (!flags) return E_POINTER;
        if (Def().kind != TKIND_COCLASS || index >= Def().impls.size()) {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        *flags = Def().impls[index].flags;
        return S_OK;
    }
    HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** pp) override;
    HRESULT GetContainingTypeLib(ITypeLib** pp, UINT* index) override;

private:
    platform::com::ComPtr<TypeLib> lib_;
    std::shared_ptr<const LibData> data_;
    int index_;
};

class TypeLib final : public platform::com::Object<ITypeLib> {
public:
    explicit TypeLib(std::shared_ptr<const LibData> data) : data_(std::move(data)) {}

    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_ITypeLib) return static_cast<ITypeLib*>(this);
        return nullptr;
    }

    UINT GetTypeInfoCount() override { return static_cast<UINT>(data_->types.size()); }
    HRESULT GetTypeInfo(UINT index, ITypeInfo** pp) override {
        if (!pp) return E_POINTER;
        if (index >= data_->types.size()) return TYPE_E_ELEMENTNOTFOUND;
        *pp = new TypeInfo(this, data_, static_cast<int>(index));
        return S_OK;
    }
    HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) override {
        if (!kind) return E_POINTER;
        if (index >= data_->types.size()) return TYPE_E_ELEMENTNOTFOUND;
        *kind = data_->types[index].kind;
        return S_OK;
    }
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** pp) override {
        if (!pp) return E_POINTER;
        *pp = nullptr;
        for (size_t i = 0; i < data_->types.size(); ++i) {
            if (data_->types[i].kind != TKIND_ENUM && data_->types[i].guid == guid) {
                return GetTypeInfo(static_cast<UINT>(i), pp);
            }
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT GetLibAttr(TLIBATTR** pp) override {
        if (!pp) return E_POINTER;
        *pp = new TLIBATTR{data_->libid, data_->lcid, SYS_WIN32, data_->major, data_->minor, 0};
        return S_OK;
    }
    void ReleaseTLibAttr(TLIBATTR* p) override { delete p; }
    HRESULT GetDocumentation(INT index, BSTR* name, BSTR* doc, DWORD* ctx, BSTR* file) override {
        std::string n, d;
        if (index == -1) {
            n = data_->name;
            d = data_->doc;
        } else {
            if (index < 0 || static_cast<size_t>(index) >= data_->types.size()) {
                return TYPE_E_ELEMENTNOTFOUND;
            }
            n = data_->types[index].name;
            d = data_->types[index].doc;
        }
        if (name) *name = NewBstr(n);
        if (doc) *doc = d.empty() ? nullptr : NewBstr(d);
        if (ctx) *ctx = 0;
        if (file) *file = data_->helpfile.empty() ? nullptr : NewBstr(data_->helpfile);
        return S_OK;
    }

    const LibData& Data() const { return *data_; }

private:
    std::shared_ptr<const LibData> data_;
};

TypeInfo::TypeInfo(TypeLib* lib, std::shared_ptr<const LibData> data, int index)
    : lib_(lib), data_(std::move(data)), index_(index) {}
TypeInfo::~TypeInfo() = default;

HRESULT TypeInfo::GetRefTypeInfo(HREFTYPE ref, ITypeInfo** pp) {
    return lib_->GetTypeInfo(static_cast<UINT>(ref), pp);
}

HRESULT TypeInfo::GetContainingTypeLib(ITypeLib** pp, UINT* index) {
    if (pp) {
        *pp = lib_.get();
        lib_->AddRef();
    }
    if (index) *index = static_cast<UINT>(index_);
    return S_OK;
}

// ---- registration ----

std::string VersionName(WORD major, WORD minor) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%x.%x", major, minor);
    return buf;
}

// The path registered for a version: the LCID's entry, its primary language's, the neutral one,
// or else the first there is.
std::optional<std::string> RegisteredPath(const std::string& versionKey, LCID lcid) {
    auto at = [&](const std::string& lcidName) {
        return platform::registry::ReadString(
            HKEY_CLASSES_ROOT,
            versionKey + "\\" + lcidName + "\\" + platform::com::kTypeLibPlatformKey, "");
    };
    for (LCID l : {lcid, static_cast<LCID>(lcid & 0x3FF), LCID{0}}) {
        if (auto path = at(LcidName(l))) return path;
    }
    for (const auto& name : SubKeys(versionKey)) {
        if (name.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) continue;
        if (auto path = at(name)) return path;
    }
    return std::nullopt;
}

// Calls f with the type information and attributes of each dispatch interface of the library.
template <class F>
void ForEachDispatchInterface(ITypeLib* lib, F&& f) {
    UINT n = lib->GetTypeInfoCount();
    for (UINT i = 0; i < n; ++i) {
        TYPEKIND kind;
        if (FAILED(lib->GetTypeInfoType(i, &kind)) || kind != TKIND_DISPATCH) continue;
        platform::com::ComPtr<ITypeInfo> info;
        if (FAILED(lib->GetTypeInfo(i, info.out()))) continue;
        TYPEATTR* ta = nullptr;
        if (FAILED(info->GetTypeAttr(&ta)) || !ta) continue;
        f(info.get(), *ta);
        info->ReleaseTypeAttr(ta);
    }
}

HRESULT LoadFile(const std::string& file, ITypeLib** pptlib) {
    std::string path = file;
    int id = 1;
    std::optional<std::string> text;
    {
        std::ifstream probe(path, std::ios::binary);
        if (!probe) {
            // "<module>\<n>" names another resource of the module.
            auto slash = path.rfind('\\');
            if (slash != std::string::npos) {
                try {
                    id = std::stoi(path.substr(slash + 1));
                    path = path.substr(0, slash);
                } catch (...) {
                    return TYPE_E_CANTLOADLIBRARY;
                }
            }
        }
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return TYPE_E_CANTLOADLIBRARY;
    char magic[4] = {};
    in.read(magic, 4);
    if (in.gcount() == 4 && std::memcmp(magic,
                                        "\x7f"
                                        "ELF",
                                        4) == 0) {
        text = platform::com::ReadModuleResource(path, "TYPELIB", id);
        if (!text) return TYPE_E_CANTLOADLIBRARY;
    } else {
        in.clear();
        in.seekg(0);
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    return platform::com::ParseTypeLib(*text, pptlib);
}

}  // namespace

namespace platform::com {

HRESULT ParseTypeLib(std::string_view text, ITypeLib** pptlib, std::string* error) {
    if (!pptlib) return E_POINTER;
    *pptlib = nullptr;
    std::string why;
    auto data = Parse(text, &why);
    if (!data) {
        if (error) *error = why;
        return TYPE_E_INVALIDSTATE;
    }
    *pptlib = new TypeLib(std::move(data));
    return S_OK;
}

HRESULT FindTypeInfo(ITypeLib* lib, std::string_view name, ITypeInfo** pp) {
    if (!lib || !pp) return E_POINTER;
    *pp = nullptr;
    UINT n = lib->GetTypeInfoCount();
    for (UINT i = 0; i < n; ++i) {
        BSTR b = nullptr;
        if (SUCCEEDED(lib->GetDocumentation(static_cast<INT>(i), &b, nullptr, nullptr, nullptr))) {
            bool same = SameName(Utf8(b), name);
            SysFreeString(b);
            if (same) return lib->GetTypeInfo(i, pp);
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

}  // namespace platform::com

HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) {
    if (!szFile || !pptlib) return E_INVALIDARG;
    *pptlib = nullptr;
    return LoadFile(platform::com::Utf8FromWide(szFile), pptlib);
}

HRESULT QueryPathOfRegTypeLib(REFGUID guid, WORD wMaj, WORD wMin, LCID lcid, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    std::string libKey = "TypeLib\\" + GuidToString(guid);
    int bestMinor = -1;
    std::string bestKey;
    for (const auto& name : SubKeys(libKey)) {
        unsigned maj, min;
        char tail;
        if (std::sscanf(name.c_str(), "%x.%x%c", &maj, &min, &tail) != 2) continue;
        if (maj != wMaj || min < wMin || static_cast<int>(min) <= bestMinor) continue;
        bestMinor = static_cast<int>(min);
        bestKey = libKey + "\\" + name;
    }
    if (bestMinor < 0) return TYPE_E_LIBNOTREGISTERED;
    auto path = RegisteredPath(bestKey, lcid);
    if (!path) return TYPE_E_LIBNOTREGISTERED;
    *out = platform::com::AllocBstr(*path);
    return S_OK;
}

HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                       ITypeLib** pptlib) {
    if (!pptlib) return E_INVALIDARG;
    *pptlib = nullptr;
    BSTR path = nullptr;
    HRESULT hr = QueryPathOfRegTypeLib(rguid, wVerMajor, wVerMinor, lcid, &path);
    if (FAILED(hr)) return hr;
    hr = LoadFile(platform::com::Utf8(path), pptlib);
    SysFreeString(path);
    return hr;
}

HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
    if (!ptlib || !szFullPath) return E_INVALIDARG;
    TLIBATTR* attr = nullptr;
    HRESULT hr = ptlib->GetLibAttr(&attr);
    if (FAILED(hr)) return hr;
    TLIBATTR a = *attr;
    ptlib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr;
    ptlib->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
    std::string title = platform::com::Utf8(doc ? doc : name);
    SysFreeString(name);
    SysFreeString(doc);
    std::string path = platform::com::Utf8FromWide(szFullPath);
    std::string helpDir = szHelpDir ? platform::com::Utf8FromWide(szHelpDir) : std::string();
    if (helpDir.empty()) {
        auto slash = path.rfind('/');
        helpDir = slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    std::string libid = GuidToString(a.guid);
    std::string versionKey =
        "TypeLib\\" + libid + "\\" + VersionName(a.wMajorVerNum, a.wMinorVerNum);
    using platform::registry::WriteString;
    bool ok =
        WriteString(HKEY_CLASSES_ROOT, versionKey, "", title) == ERROR_SUCCESS &&
        WriteString(HKEY_CLASSES_ROOT, versionKey + "\\FLAGS", "", "0") == ERROR_SUCCESS &&
        WriteString(HKEY_CLASSES_ROOT, versionKey + "\\HELPDIR", "", helpDir) == ERROR_SUCCESS &&
        WriteString(
            HKEY_CLASSES_ROOT,
            versionKey + "\\" + LcidName(a.lcid) + "\\" + platform::com::kTypeLibPlatformKey, "",
            path) == ERROR_SUCCESS;
    if (!ok) return TYPE_E_REGISTRYACCESS;
    ForEachDispatchInterface(ptlib, [&](ITypeInfo* info, const TYPEATTR& ta) {
        if (FAILED(hr)) return;
        BSTR iname = nullptr;
        info->GetDocumentation(-1, &iname, nullptr, nullptr, nullptr);
        std::string key = "Interface\\" + GuidToString(ta.guid);
        ok = WriteString(HKEY_CLASSES_ROOT, key, "", platform::com::Utf8(iname)) == ERROR_SUCCESS &&
             WriteString(HKEY_CLASSES_ROOT, key + "\\ProxyStubClsid32", "",
                         GuidToString(CLSID_PSDispatch)) == ERROR_SUCCESS &&
             WriteString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "", libid) == ERROR_SUCCESS &&
             WriteString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "Version",
                         VersionName(a.wMajorVerNum, a.wMinorVerNum)) == ERROR_SUCCESS;
        SysFreeString(iname);
        if (!ok) hr = TYPE_E_REGISTRYACCESS;
    });
    return hr;
}

HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND) {
    std::string libid = GuidToString(libID);
    std::string libKey = "TypeLib\\" + libid;
    std::string versionKey = libKey + "\\" + VersionName(wVerMajor, wVerMinor);
    if (!KeyExists(versionKey)) return TYPE_E_REGISTRYACCESS;
    if (auto path = RegisteredPath(versionKey, lcid)) {
        platform::com::ComPtr<ITypeLib> lib;
        if (SUCCEEDED(LoadFile(*path, lib.out()))) {
            ForEachDispatchInterface(lib.get(), [&](ITypeInfo*, const TYPEATTR& ta) {
                std::string key = "Interface\\" + GuidToString(ta.guid);
                auto owner =
                    platform::registry::ReadString(HKEY_CLASSES_ROOT, key + "\\TypeLib", "");
                if (owner && SameName(*owner, libid)) {
                    RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
                }
            });
        }
    }
    if (RegDeleteTreeA(HKEY_CLASSES_ROOT, versionKey.c_str()) != ERROR_SUCCESS) {
        return TYPE_E_REGISTRYACCESS;
    }
    if (SubKeys(libKey).empty()) RegDeleteKeyA(HKEY_CLASSES_ROOT, libKey.c_str());
    return S_OK;
}
