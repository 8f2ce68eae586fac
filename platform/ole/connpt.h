// Connection points: the sinks that a container or client has advised for one outgoing interface
// of an object. An object holds one ConnectionPoint per interface as a part of itself; the part's
// references are the object's.
#pragma once

#include <functional>
#include <vector>

#include "platform/com/unknown.h"
#include "platform/ole/oleidl.h"

namespace platform::ole {

class ConnectionPoint final : public IConnectionPoint {
public:
    // onAdvise(true) runs after each Advise, onAdvise(false) after each Unadvise. For a dispatch
    // interface (acceptDispatch), a sink that answers only IDispatch is accepted as well.
    ConnectionPoint(IConnectionPointContainer* owner, REFIID iid, bool acceptDispatch,
                    std::function<void(bool)> onAdvise = {});
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return owner_->AddRef(); }
    ULONG Release() override { return owner_->Release(); }
    HRESULT GetConnectionInterface(IID* pIID) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    REFIID Iid() const { return iid_; }
    // Names the interface (before any sink is advised).
    void SetInterface(REFIID iid) { iid_ = iid; }
    std::size_t Count() const { return sinks_.size(); }
    // Calls f with each sink (as the connection's interface, or IDispatch); sinks that come or go
    // during the walk do not disturb it.
    void ForEach(const std::function<void(IUnknown*)>& f);
    void Clear();

private:
    IConnectionPointContainer* owner_;
    IID iid_;
    bool acceptDispatch_;
    std::function<void(bool)> onAdvise_;
    std::vector<std::pair<DWORD, platform::com::ComPtr<IUnknown>>> sinks_;
    DWORD next_ = 1;
};

}  // namespace platform::ole
