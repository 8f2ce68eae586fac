// One full compose of a 640 x 480 shape control in place on a form, through the control's own
// paint: a gradient back style with a picture, both bevels, a drop shadow and a caption in a 3-D
// font style (the target for one compose is under 2 ms).
//
//   build/bench/shapectl/control_compose_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "hosts/testcontainer/form.h"
#include "platform/com/bstr.h"
#include "platform/com/dispatch.h"
#include "platform/com/typeinfo.h"
#include "platform/gdi/qt.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/site.h"
#include "platform/win/paint.h"
#include "shapectl/ShapectlCtl.h"
#include "tests/support/test_support.h"

namespace {

using platform::com::ComPtr;
using platform::com::Variant;

constexpr int W = 640, H = 480;
constexpr RECT kPlace{20, 20, 20 + W, 20 + H};

ComPtr<IDispatch> Picture() {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    for (int y = 10; y < 110; ++y) {
        for (int x = 10; x < 150; ++x) image.setPixel(x, y, qRgb(x, y, 200));
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = platform::gdi::BitmapFromImage(image);
    ComPtr<IDispatch> p;
    OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, p.outVoid());
    return p;
}

struct Scene {
    testing_support::TempDir dir;
    testing_support::ScopedEnv store{"KESTO_REGISTRY", dir / "registry.reg"};
    std::unique_ptr<testcontainer::Form> form;
    platform::ole::HostedControl host;
    CShapectlCtrl* control = nullptr;

    Scene() {
        ITypeLib* lib = nullptr;
        std::u16string path = platform::com::Utf16(SHAPECTL_PATH);
        if (LoadTypeLib(path.c_str(), &lib) != S_OK) Fail("the type library does not load");
        RegisterTypeLib(lib, path.c_str(), nullptr);
        lib->Release();
        form = std::make_unique<testcontainer::Form>(W + 40, H + 40, RGB(0, 128, 128));
        control = new CShapectlCtrl();
        if (host.Attach(control->GetControllingUnknown(), "Shape1", true) != S_OK) {
            Fail("the control does not attach");
        }
        control->InternalRelease();
        host.InitNew();
        host.Site().SetUserMode(true);
        struct {
            const char* name;
            Variant value;
        } props[] = {
            {"BackStyle", Variant::I2(3)},
            {"GStyle", Variant::I2(10)},
            {"GSteps", Variant::I2(64)},
            {"GColor1", Variant::I4(RGB(0, 0, 0))},
            {"GColor2", Variant::I4(RGB(0, 0, 255))},
            {"Picture", Variant::Dispatch(Picture().get())},
            {"PictureAlign", Variant::I2(7)},
            {"BOuterStyle", Variant::I2(2)},
            {"BOuterWidth", Variant::I2(4)},
            {"BInnerStyle", Variant::I2(1)},
            {"BInnerWidth", Variant::I2(3)},
            {"BorderWidth", Variant::I2(2)},
            {"ShadowStyle", Variant::I2(1)},
            {"ShadowDropX", Variant::I2(6)},
            {"ShadowDropY", Variant::I2(4)},
            {"Caption", Variant::String("Quix shape control")},
            {"FontSize", Variant::I2(24)},
            {"FontBold", Variant::Bool(true)},
            {"Font3D", Variant::I2(2)},
            {"Alignment", Variant::I2(7)},
        };
        for (auto& p : props) {
            DISPID id = platform::com::DispIdOf(host.Dispatch(), p.name);
            if (!platform::com::PutProperty(host.Dispatch(), id, p.value).ok()) Fail(p.name);
        }
        if (host.Activate(form->Handle(), kPlace) != S_OK) Fail("the control is not in place");
        form->AdoptWindow(host.Window());
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    }
    ~Scene() { host.Close(); }
    [[noreturn]] static void Fail(const char* what) {
        std::fprintf(stderr, "control_compose_bench: %s\n", what);
        std::exit(1);
    }
};

void BM_ControlCompose(benchmark::State& state) {
    static Scene scene;
    const RECT bounds{0, 0, W, H};
    for (auto _ : state) {
        HDC dc = ::GetDC(scene.host.Window());
        scene.control->DrawControl(dc, nullptr, &bounds, 0, nullptr);
        ::ReleaseDC(scene.host.Window(), dc);
    }
    // CONTROL_COMPOSE_PICTURE=<file.png> keeps what the form shows after the runs, to look at.
    if (const char* file = std::getenv("CONTROL_COMPOSE_PICTURE")) scene.form->Picture().save(file);
}
BENCHMARK(BM_ControlCompose)->Unit(benchmark::kMillisecond);

}  // namespace
