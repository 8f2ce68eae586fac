#include "platform/ole/connpt.h"

namespace platform::ole {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, REFIID iid, bool acceptDispatch,
                                 std::function<void(bool)> onAdvise)
    : owner_(owner), iid_(iid), acceptDispatch_(acceptDispatch), onAdvise_(std::move(onAdvise)) {}

ConnectionPoint::~ConnectionPoint() {
    Clear();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID) {
    if (!pIID) return E_POINTER;
    *pIID = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (!ppCPC) return E_POINTER;
    *ppCPC = owner_;
    owner_->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    if (!pUnkSink || !pdwCookie) return E_POINTER;
    *pdwCookie = 0;
    auto sink = platform::com::Query<IUnknown>(pUnkSink, iid_);
    if (!sink && acceptDispatch_) sink = platform::com::Query<IUnknown>(pUnkSink, IID_IDispatch);
    if (!sink) return CONNECT_E_CANNOTCONNECT;
    DWORD cookie = next_++;
    sinks_.emplace_back(cookie, std::move(sink));
    *pdwCookie = cookie;
    if (onAdvise_) onAdvise_(true);
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == dwCookie) {
            auto sink = std::move(it->second);
            sinks_.erase(it);
            sink.reset();
            if (onAdvise_) onAdvise_(false);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

void ConnectionPoint::ForEach(const std::function<void(IUnknown*)>& f) {
    std::vector<platform::com::ComPtr<IUnknown>> copy;
    for (auto& s : sinks_) copy.push_back(s.second);
    for (auto& s : copy) {
        f(s.get());
        s.reset();
    }
}

void ConnectionPoint::Clear() {
    auto sinks = std::move(sinks_);  // released after the list is empty
    sinks_.clear();
}

}  // namespace platform::ole
