// A shape control in a site of its own, with the library's type library registered in a registry
// of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>
#include <tuple>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/typeinfo.h"
#include "platform/ole/site.h"
#include "platform/win/paint.h"
#include "quixcore/quixcore.h"
#include "shapectl/ShapectlCtl.h"
#include "tests/support/test_support.h"

namespace shapectl_test {

using platform::com::InvokeResult;
using platform::com::Variant;

// Lets the queued paints and posted messages run out.
inline void Settle() {
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    while (clock.elapsed() < 3000 && quiet < 3) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        quiet = platform::win::MessagesPending() ? 0 : quiet + 1;
    }
}

inline std::string Text(const Variant& v) {
    return platform::com::Describe(v.get());
}

// The bytes of a set of rectangles (x1, y1, x2, y2, id), as a .hsp file holds them.
inline std::string HotspotSetBytes(
    const std::vector<std::tuple<short, short, short, short, short>>& spots) {
    short count = 0;
    HGLOBAL block = nullptr;
    for (auto [x1, y1, x2, y2, id] : spots) {
        IQuixAddHotspot(x1, y1, x2, y2, id, ("spot" + std::to_string(id)).c_str(), &count, &block);
    }
    std::string bytes(WriteHotspotBytes(count, block, nullptr, 0), '\0');
    WriteHotspotBytes(count, block, reinterpret_cast<BYTE*>(bytes.data()),
                      static_cast<ULONG>(bytes.size()));
    if (block) GlobalFree(block);
    return bytes;
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ITypeLib* lib = nullptr;
        std::u16string path = platform::com::Utf16(SHAPECTL_PATH);
        ASSERT_EQ(LoadTypeLib(path.c_str(), &lib), S_OK);
        ASSERT_EQ(RegisterTypeLib(lib, path.c_str(), nullptr), S_OK);
        lib->Release();
        Make(false);
    }
    void TearDown() override {
        host.Close();
        control = nullptr;
    }

    // A new control: design time (run = false) or run time.
    void Make(bool run) {
        host.Close();
        control = new CShapectlCtrl();
        ASSERT_EQ(host.Attach(control->GetControllingUnknown(), "Shape1", run), S_OK);
        control->InternalRelease();
        ASSERT_EQ(host.InitNew(), S_OK);
        Clear();
    }
    void RunTime(bool run) { host.Site().SetUserMode(run); }
    void Clear() {
        host.Site().changes.clear();
        host.Site().controlInfoChanges = 0;
        host.Site().lockCalls = 0;
        control->m_redrawTrace = {};
    }

    IDispatch* Disp() { return host.Dispatch(); }
    InvokeResult Get(DISPID id) { return platform::com::GetProperty(Disp(), id); }
    InvokeResult Set(DISPID id, const Variant& v) {
        return platform::com::PutProperty(Disp(), id, v);
    }
    InvokeResult Call(DISPID id, const std::vector<Variant>& args = {}) {
        return platform::com::CallMethod(Disp(), id, args);
    }
    DISPID Id(const std::string& name) { return platform::com::DispIdOf(Disp(), name); }
    std::string Value(DISPID id) {
        auto r = Get(id);
        return r.ok() ? Text(r.value) : "error " + std::to_string(r.ErrorNumber());
    }
    int Redraws() const { return control->m_redrawTrace.redraws; }

    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    CShapectlCtrl* control = nullptr;
    platform::ole::HostedControl host;
};

}  // namespace shapectl_test
