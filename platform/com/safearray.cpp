#include "platform/com/safearray.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The element type is kept just before the header (FADF_HAVEVARTYPE).
struct Block {
    VARTYPE vt;
    SAFEARRAY array;  // followed by the remaining bounds
};

ULONG ElementSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_I8:
        case VT_UI8:
            return 8;
        case VT_BSTR:
            return sizeof(BSTR);
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return sizeof(IUnknown*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        default:
            return 0;
    }
}

USHORT FeaturesOf(VARTYPE vt) {
    switch (vt) {
        case VT_BSTR:
            return FADF_BSTR | FADF_HAVEVARTYPE;
        case VT_UNKNOWN:
            return FADF_UNKNOWN | FADF_HAVEVARTYPE;
        case VT_DISPATCH:
            return FADF_DISPATCH | FADF_HAVEVARTYPE;
        case VT_VARIANT:
            return FADF_VARIANT | FADF_HAVEVARTYPE;
        default:
            return FADF_HAVEVARTYPE;
    }
}

Block* BlockOf(SAFEARRAY* psa) {
    return reinterpret_cast<Block*>(reinterpret_cast<char*>(psa) - offsetof(Block, array));
}

ULONG Count(const SAFEARRAY* psa) {
    ULONG n = 1;
    for (USHORT i = 0; i < psa->cDims; ++i) n *= psa->rgsabound[i].cElements;
    return n;
}

void ClearElements(SAFEARRAY* psa) {
    ULONG n = Count(psa);
    if (!psa->pvData) return;
    if (psa->fFeatures & FADF_BSTR) {
        auto* p = static_cast<BSTR*>(psa->pvData);
        for (ULONG i = 0; i < n; ++i) SysFreeString(p[i]);
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        // An array of objects owns a reference on each: destroying it releases them.
        auto* p = static_cast<IUnknown**>(psa->pvData);
        for (ULONG i = 0; i < n; ++i) {
            if (p[i]) p[i]->Release();
        }
    } else if (psa->fFeatures & FADF_VARIANT) {
        auto* p = static_cast<VARIANT*>(psa->pvData);
        for (ULONG i = 0; i < n; ++i) VariantClear(&p[i]);
    }
}

// The element offset of an index list, or false when an index is out of range.
bool Offset(SAFEARRAY* psa, const LONG* indices, ULONG& offset) {
    ULONG flat = 0, stride = 1;
    for (USHORT d = 0; d < psa->cDims; ++d) {
        const SAFEARRAYBOUND& b = psa->rgsabound[d];
        long long rel = static_cast<long long>(indices[d]) - b.lLbound;
        if (rel < 0 || rel >= static_cast<long long>(b.cElements)) return false;
        flat += static_cast<ULONG>(rel) * stride;
        stride *= b.cElements;
    }
    offset = flat * psa->cbElements;
    return true;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
    ULONG size = ElementSize(vt);
    if (size == 0 || cDims == 0 || !rgsabound || cDims > 60) return nullptr;
    std::size_t header = sizeof(Block) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
    auto* block = static_cast<Block*>(std::calloc(1, header));
    if (!block) return nullptr;
    block->vt = vt;
    SAFEARRAY* psa = &block->array;
    psa->cDims = static_cast<USHORT>(cDims);
    psa->fFeatures = FeaturesOf(vt);
    psa->cbElements = size;
    for (UINT i = 0; i < cDims; ++i) psa->rgsabound[i] = rgsabound[i];
    unsigned long long total = size;
    for (UINT i = 0; i < cDims; ++i) total *= rgsabound[i].cElements;
    if (total > 0x7FFFFFFFull) {
        std::free(block);
        return nullptr;
    }
    psa->pvData = std::calloc(1, total ? static_cast<std::size_t>(total) : 1);
    if (!psa->pvData) {
        std::free(block);
        return nullptr;
    }
    return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    SAFEARRAYBOUND b{cElements, lLbound};
    return SafeArrayCreate(vt, 1, &b);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    if (psa->cLocks) return DISP_E_ARRAYISLOCKED;
    ClearElements(psa);
    std::free(psa->pvData);
    std::free(BlockOf(psa));
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut) return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa) return S_OK;
    SAFEARRAY* copy = SafeArrayCreate(BlockOf(psa)->vt, psa->cDims, psa->rgsabound);
    if (!copy) return E_OUTOFMEMORY;
    ULONG n = Count(psa);
    if (psa->fFeatures & FADF_BSTR) {
        auto* from = static_cast<BSTR*>(psa->pvData);
        auto* to = static_cast<BSTR*>(copy->pvData);
        for (ULONG i = 0; i < n; ++i) {
            if (from[i]) {
                to[i] = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(from[i]),
                                              SysStringByteLen(from[i]));
            }
        }
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        auto* from = static_cast<IUnknown**>(psa->pvData);
        auto* to = static_cast<IUnknown**>(copy->pvData);
        for (ULONG i = 0; i < n; ++i) {
            to[i] = from[i];
            if (to[i]) to[i]->AddRef();
        }
    } else if (psa->fFeatures & FADF_VARIANT) {
        auto* from = static_cast<VARIANT*>(psa->pvData);
        auto* to = static_cast<VARIANT*>(copy->pvData);
        for (ULONG i = 0; i < n; ++i) VariantCopy(&to[i], &from[i]);
    } else {
        std::memcpy(copy->pvData, psa->pvData, static_cast<std::size_t>(n) * psa->cbElements);
    }
    *ppsaOut = copy;
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) {
    return psa ? psa->cDims : 0;
}
UINT SafeArrayGetElemsize(SAFEARRAY* psa) {
    return psa ? psa->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt) return E_INVALIDARG;
    *pvt = BlockOf(psa)->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || !plLbound) return E_INVALIDARG;
    if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[nDim - 1].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || !plUbound) return E_INVALIDARG;
    if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = psa->rgsabound[nDim - 1];
    *plUbound = static_cast<LONG>(b.lLbound + static_cast<long long>(b.cElements) - 1);
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    ++psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    if (psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData) return E_INVALIDARG;
    ++psa->cLocks;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    return SafeArrayUnlock(psa);
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (!psa || !rgIndices || !pv) return E_INVALIDARG;
    ULONG off;
    if (!Offset(psa, rgIndices, off)) return DISP_E_BADINDEX;
    char* at = static_cast<char*>(psa->pvData) + off;
    if (psa->fFeatures & FADF_BSTR) {
        BSTR b = *reinterpret_cast<BSTR*>(at);
        *static_cast<BSTR*>(pv) =
            b ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(b), SysStringByteLen(b)) : nullptr;
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        IUnknown* p = *reinterpret_cast<IUnknown**>(at);
        if (p) p->AddRef();
        *static_cast<IUnknown**>(pv) = p;
    } else if (psa->fFeatures & FADF_VARIANT) {
        VARIANT* dest = static_cast<VARIANT*>(pv);
        VariantInit(dest);
        return VariantCopy(dest, reinterpret_cast<VARIANT*>(at));
    } else {
        std::memcpy(pv, at, psa->cbElements);
    }
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (!psa || !rgIndices) return E_INVALIDARG;
    ULONG off;
    if (!Offset(psa, rgIndices, off)) return DISP_E_BADINDEX;
    char* at = static_cast<char*>(psa->pvData) + off;
    if (psa->fFeatures & FADF_BSTR) {
        BSTR* slot = reinterpret_cast<BSTR*>(at);
        BSTR src = static_cast<BSTR>(pv);
        BSTR copy =
            src ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src), SysStringByteLen(src))
                : nullptr;
        SysFreeString(*slot);
        *slot = copy;
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        // The slot owns its reference: the new object's is taken, the old one's released.
        IUnknown** slot = reinterpret_cast<IUnknown**>(at);
        IUnknown* p = static_cast<IUnknown*>(pv);
        if (p) p->AddRef();
        if (*slot) (*slot)->Release();
        *slot = p;
    } else if (psa->fFeatures & FADF_VARIANT) {
        return VariantCopy(reinterpret_cast<VARIANT*>(at), static_cast<VARIANT*>(pv));
    } else {
        if (!pv) return E_INVALIDARG;
        std::memcpy(at, pv, psa->cbElements);
    }
    return S_OK;
}
