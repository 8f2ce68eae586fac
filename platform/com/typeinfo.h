// Type information: type libraries describing dispatch interfaces, enumerations and classes, read
// from a text description kept in a module's resources or in a file, registered under
// HKEY_CLASSES_ROOT\TypeLib and found again by library id and version.
//
// The text form of a type library (one declaration per line, '#' starts a comment line):
//
//   library <name> <{LIBID}> <major>.<minor> [lcid <n>] [helpfile "<file>"] ["<help string>"]
//   enum <name>
//       <constant> = <value>            (one line per constant)
//   end
//   dispinterface <name> <{IID}> ["<help string>"]
//       property <dispid> <name> <type> [readonly] [hidden]
//       method <dispid> <name> [<result type>] ( [[optional] <type> <name>, ...] ) [hidden]
//   end
//   coclass <name> <{CLSID}> ["<help string>"]
//       [default] [source] dispinterface <name>
//   end
//
// Types: void, short, long, float, double, BSTR, VARIANT_BOOL, VARIANT, CURRENCY, DATE, OLE_COLOR,
// OLE_HANDLE, OLE_XPOS_PIXELS, OLE_YPOS_PIXELS, IUnknown*, IDispatch*, IPictureDisp*, IFontDisp*,
// and the names of enums declared before. A method without a result type returns nothing; its
// parameter list may be left out when empty.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/variant.h"

enum TYPEKIND { TKIND_ENUM = 0, TKIND_DISPATCH = 4, TKIND_COCLASS = 5 };
enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };
enum INVOKEKIND {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8
};
enum VARKIND { VAR_PERINSTANCE = 0, VAR_STATIC = 1, VAR_CONST = 2, VAR_DISPATCH = 3 };

using HREFTYPE = DWORD;

inline constexpr USHORT PARAMFLAG_FOPT = 0x10;
inline constexpr WORD FUNCFLAG_FHIDDEN = 0x40;
inline constexpr WORD VARFLAG_FREADONLY = 0x1;
inline constexpr WORD VARFLAG_FHIDDEN = 0x40;
inline constexpr int IMPLTYPEFLAG_FDEFAULT = 0x1;
inline constexpr int IMPLTYPEFLAG_FSOURCE = 0x2;

// A type: vt, and for VT_USERDEFINED (an enum) the reference of its type information.
struct TYPEDESC {
    VARTYPE vt;
    HREFTYPE hreftype;
};
struct PARAMDESC {
    USHORT wParamFlags;
};
struct ELEMDESC {
    TYPEDESC tdesc;
    PARAMDESC paramdesc;
};

struct TYPEATTR {
    GUID guid;
    LCID lcid;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wTypeFlags;
};

struct FUNCDESC {
    MEMBERID memid;
    INVOKEKIND invkind;
    SHORT cParams;
    SHORT cParamsOpt;
    ELEMDESC* lprgelemdescParam;
    ELEMDESC elemdescFunc;
    WORD wFuncFlags;
};

struct VARDESC {
    MEMBERID memid;
    VARKIND varkind;
    VARIANT* lpvarValue;  // VAR_CONST: the value
    ELEMDESC elemdescVar;
    WORD wVarFlags;
};

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

class ITypeLib;

class ITypeInfo : public IUnknown {
public:
    virtual HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* pTypeAttr) = 0;
    // Functions: the methods of a dispatch interface (index 0 to cFuncs - 1).
    virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* pFuncDesc) = 0;
    // Variables: the properties of a dispatch interface or the constants of an enum.
    virtual HRESULT GetVarDesc(UINT index, VARDESC** ppVarDesc) = 0;
    virtual void ReleaseVarDesc(VARDESC* pVarDesc) = 0;
    // The member's name, then its parameters' names.
    virtual HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) = 0;
    // Names without regard to case: the first is a member, the others its parameters. Unknown
    // names get DISPID_UNKNOWN and the result is DISP_E_UNKNOWNNAME.
    virtual HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) = 0;
    // memid -1 is the type itself.
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                     DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
    virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) = 0;
    virtual HRESULT GetImplTypeFlags(UINT index, int* pImplTypeFlags) = 0;
    virtual HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) = 0;

protected:
    ~ITypeInfo() = default;
};
using LPTYPEINFO = ITypeInfo*;

class ITypeLib : public IUnknown {
public:
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetTypeInfoType(UINT index, TYPEKIND* pTKind) = 0;
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) = 0;
    virtual void ReleaseTLibAttr(TLIBATTR* pTLibAttr) = 0;
    // index -1 is the library itself.
    virtual HRESULT GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                                     DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;

protected:
    ~ITypeLib() = default;
};
using LPTYPELIB = ITypeLib*;

// Loads a type library: from a file holding the text form, or from a module (a shared library)
// whose resources hold it as resource TYPELIB 1 (a module path may end in "\N" to name
// resource N).
HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib);
// The library registered under HKEY_CLASSES_ROOT\TypeLib\{guid}\<major>.<minor>: the same major
// version with the highest minor version not below wVerMinor; the LCID's entry, its primary
// language's, the neutral one (0), or else the first registered.
HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid, ITypeLib** pptlib);
HRESULT QueryPathOfRegTypeLib(REFGUID guid, WORD wMaj, WORD wMin, LCID lcid, BSTR* lpbstrPathName);
// Writes TypeLib\{LIBID}\<major>.<minor> (the library's help string or name), its
// <lcid hex>\linux entry (the path), FLAGS and HELPDIR, and an Interface\{IID} key for each
// dispatch interface (name, ProxyStubClsid32, TypeLib with its Version).
HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir);
// Removes that version's key (and the library key when no version is left) and the Interface keys
// of the library's dispatch interfaces. TYPE_E_REGISTRYACCESS when the version is not registered.
HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                          SYSKIND syskind);

namespace platform::com {

// The system-kind key name under a registered library's LCID key.
inline constexpr const char* kTypeLibPlatformKey = "linux";

// Parses the text form; on failure returns nothing and explains in *error ("line 12: ...").
HRESULT ParseTypeLib(std::string_view text, ITypeLib** pptlib, std::string* error = nullptr);

// Finds a type's information by name in a library (case-insensitive).
HRESULT FindTypeInfo(ITypeLib* lib, std::string_view name, ITypeInfo** ppTInfo);

}  // namespace platform::com
