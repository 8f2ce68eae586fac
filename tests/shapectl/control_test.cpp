// The control's fixed answers, its type library against its dispatch map, and its methods.
#include <sys/stat.h>

#include "platform/com/activation.h"
#include "platform/com/guid.h"
#include "platform/com/safearray.h"
#include "platform/ole/oleidl.h"
#include "quixcore/quixcore.h"
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;
using platform::com::ComPtr;

class Answers : public ControlTest {};

TEST_F(Answers, ClassTypeLibraryStatusAndPages) {
    CLSID clsid;
    ASSERT_EQ(control->GetClassID(&clsid), S_OK);
    EXPECT_EQ(platform::com::GuidToString(clsid), "{43D45806-ED84-11D0-901E-0020AF7543C2}");
    ComPtr<IOleObject> ole;
    ASSERT_EQ(host.Object()->QueryInterface(IID_IOleObject, ole.outVoid()), S_OK);
    DWORD misc = 0;
    ole->GetMiscStatus(DVASPECT_CONTENT, &misc);
    EXPECT_EQ(misc, 0x22191u);
    EXPECT_EQ(misc, OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTSLIKELABEL |
                        OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
                        OLEMISC_RECOMPOSEONRESIZE);
    UINT count = 0;
    Disp()->GetTypeInfoCount(&count);
    EXPECT_EQ(count, 1u);

    ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_EQ(host.Object()->QueryInterface(IID_ISpecifyPropertyPages, pages.outVoid()), S_OK);
    CAUUID list{};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    std::vector<std::string> ids;
    for (ULONG i = 0; i < list.cElems; ++i)
        ids.push_back(platform::com::GuidToString(list.pElems[i]));
    CoTaskMemFree(list.pElems);
    EXPECT_EQ(
        ids, (std::vector<std::string>{
                 "{43D45807-ED84-11D0-901E-0020AF7543C2}", "{0BE35201-8F91-11CE-9DE3-00AA004BB851}",
                 "{0BE35200-8F91-11CE-9DE3-00AA004BB851}", "{0BE35202-8F91-11CE-9DE3-00AA004BB851}",
                 "{7C226182-EE1B-11D0-901E-0020AF7543C2}", "{7AEE9F45-EEBE-11D0-901E-0020AF7543C2}",
                 "{7C226185-EE1B-11D0-901E-0020AF7543C2}", "{7AEE9F42-EEBE-11D0-901E-0020AF7543C2}",
                 "{7AEE9F48-EEBE-11D0-901E-0020AF7543C2}", "{7AEE9F4B-EEBE-11D0-901E-0020AF7543C2}",
                 "{A4431362-EEF2-11D0-901E-0020AF7543C2}"}));

    ComPtr<IPerPropertyBrowsing> browsing;
    ASSERT_EQ(host.Object()->QueryInterface(IID_IPerPropertyBrowsing, browsing.outVoid()), S_OK);
    CLSID page;
    ASSERT_EQ(browsing->MapPropertyToPage(95, &page), S_OK);
    EXPECT_EQ(platform::com::GuidToString(page), "{7AEE9F45-EEBE-11D0-901E-0020AF7543C2}");
    BOOL optional = TRUE;
    ASSERT_TRUE(control->OnMapPropertyToPage(95, &page, &optional));
    EXPECT_FALSE(optional);
    EXPECT_EQ(browsing->MapPropertyToPage(36, &page), PERPROP_E_NOPAGEAVAILABLE)
        << "Shape goes to the base, which has no page for it";
    EXPECT_EQ(browsing->MapPropertyToPage(DISPID_FONT, &page), S_OK);
    EXPECT_EQ(page, CLSID_CFontPropPage);
}

TEST_F(Answers, TheAboutBoxShowsTheLibrarysTexts) {
    testing_support::ScopedEnv mode("KESTO_DIALOGS", "log");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Call(DISPID_ABOUTBOX).ok());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Dialog: About QuixShape: Quixkit Brenic Shape Control, Version 5.0 | "
              "QuixShape library shapectl\n");
}

TEST_F(Answers, TheTypeLibraryDescribesTheDispatchMapExactly) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfoOfGuid(0, IID_DShapectl, info.out()), S_OK);
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    std::map<DISPID, std::pair<std::string, int>> described;  // name and parameter count
    for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* v;
        info->GetVarDesc(i, &v);
        BSTR name;
        UINT n;
        info->GetNames(v->memid, &name, 1, &n);
        described[v->memid] = {platform::com::Utf8(name), -1};
        SysFreeString(name);
        info->ReleaseVarDesc(v);
    }
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* f;
        info->GetFuncDesc(i, &f);
        BSTR name;
        UINT n;
        info->GetNames(f->memid, &name, 1, &n);
        described[f->memid] = {platform::com::Utf8(name), f->cParams};
        SysFreeString(name);
        info->ReleaseFuncDesc(f);
    }
    info->ReleaseTypeAttr(attr);
    described.erase(DISPID_VALUE);

    std::map<DISPID, std::pair<std::string, int>> mapped;
    for (const auto& e : control->GetDispatchMap()) {
        if (e.kind == platform::ole::DispKind::Alias) continue;
        bool method = e.kind == platform::ole::DispKind::Method ||
                      (e.kind == platform::ole::DispKind::Stock && e.call);
        mapped[e.id] = {e.name, method ? static_cast<int>(e.params.size()) : -1};
    }
    EXPECT_EQ(mapped, described);
    // 150 properties of DISPID 1 to 151 and 48 methods of DISPID 152 to 199, with the stock ones.
    EXPECT_EQ(mapped.size(), 150u + 48u + 6u);

    ComPtr<ITypeLib> lib;
    UINT index;
    ASSERT_EQ(info->GetContainingTypeLib(lib.out(), &index), S_OK);

    // The events: the event map and the event interface agree.
    ComPtr<ITypeInfo> events;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_DShapectlEvents, events.out()), S_OK);
    std::map<DISPID, std::pair<std::string, int>> fired, declared;
    for (const auto& e : control->GetEventMap()) {
        fired[e.id] = {e.name, static_cast<int>(e.params.size())};
    }
    TYPEATTR* ea = nullptr;
    events->GetTypeAttr(&ea);
    for (UINT i = 0; i < ea->cFuncs; ++i) {
        FUNCDESC* f;
        events->GetFuncDesc(i, &f);
        BSTR name;
        UINT n;
        events->GetNames(f->memid, &name, 1, &n);
        declared[f->memid] = {platform::com::Utf8(name), f->cParams};
        SysFreeString(name);
        events->ReleaseFuncDesc(f);
    }
    events->ReleaseTypeAttr(ea);
    EXPECT_EQ(fired, declared);
    EXPECT_EQ(fired.size(), 10u);
    const std::pair<const char*, int> enums[] = {
        {"enumShape", 18},    {"enumMEffect", 114},
        {"enumDEffect", 114}, {"MousePointerConstants", 45},
        {"enumDrawMode", 16}, {"enumGradient", 20}};
    for (const auto& [name, count] : enums) {
        ComPtr<ITypeInfo> e;
        ASSERT_EQ(platform::com::FindTypeInfo(lib.get(), name, e.out()), S_OK) << name;
        TYPEATTR* ea;
        e->GetTypeAttr(&ea);
        EXPECT_EQ(ea->cVars, count) << name;
        e->ReleaseTypeAttr(ea);
    }
}

class Methods : public ControlTest {};

TEST_F(Methods, BatchSettersUseTheSetFunctionsAndRedrawOnce) {
    Clear();
    ASSERT_TRUE(
        Call(Id("SetOuterBevel"), {Variant::I2(2), Variant::I4(7), Variant::I4(0xFF)}).ok());
    EXPECT_EQ(control->m_props.BOuterStyle, 2);
    EXPECT_EQ(control->m_props.BOuterWidth, 7);
    EXPECT_EQ(control->m_props.BOuterColor1, 0xFFu);
    EXPECT_EQ(host.Site().changes, (std::vector<DISPID>{16, 14, 17}));
    // At run time the held setters repaint nothing; the batch repaints once at its end.
    RunTime(true);
    Clear();
    ASSERT_TRUE(
        Call(Id("SetOuterBevel"), {Variant::I2(2), Variant::I4(8), Variant::I4(0xFF)}).ok());
    EXPECT_EQ(control->m_redrawTrace.invalidations, 1);
    EXPECT_EQ(Redraws(), 4) << "three setters and the batch's own";
    RunTime(false);

    // Optional arguments of another type count as not given.
    short width = 9;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_I2 | VT_BYREF;
    byRef.piVal = &width;
    ASSERT_TRUE(Call(Id("SetOuterBevel"), {Variant::I2(1), Variant::String("3")}).ok());
    ASSERT_TRUE(Call(Id("SetOuterBevel"), {Variant::I2(1), Variant(byRef)}).ok());
    EXPECT_EQ(control->m_props.BOuterWidth, 8);

    // A refused value ends the batch with its error; what was set before stays, and Update is
    // given back.
    auto r = Call(Id("SetOuterBevel"), {Variant::I2(3), Variant::I4(40)});
    EXPECT_EQ(r.ErrorNumber(), 20030u);
    EXPECT_EQ(control->m_props.BOuterStyle, 3);
    EXPECT_EQ(control->m_props.Update, TRUE);

    // With Update FALSE before, nothing is repainted and Update stays FALSE.
    RunTime(true);
    ASSERT_TRUE(Call(161).ok());  // Lock
    Clear();
    ASSERT_TRUE(Call(Id("SetBorder"), {Variant::I2(4)}).ok());
    EXPECT_EQ(control->m_props.BorderWidth, 4);
    EXPECT_EQ(control->m_props.Update, FALSE);
    EXPECT_EQ(control->m_redrawTrace.invalidations, 0);
    ASSERT_TRUE(Call(162).ok());  // UnLock
    EXPECT_EQ(control->m_props.Update, TRUE);

    // The font batch: flags from booleans and numbers, the size from a real.
    RunTime(true);
    ASSERT_TRUE(Call(Id("SetFontType"), {Variant::String("Arial"), Variant::R8(12.5),
                                         Variant::Bool(true), Variant::I2(-1)})
                    .ok());
    EXPECT_EQ(Value(64), "R4 12.5");
    EXPECT_EQ(Value(65), "BOOL True");
    EXPECT_EQ(Value(66), "BOOL False");
    ASSERT_TRUE(Call(Id("SetFontType"), {Variant::String(""), Variant::R8(20)}).ok());
    EXPECT_EQ(Value(64), "R4 12.5") << "an empty name changes nothing";
}

TEST_F(Methods, FramesPixelsAndTheComposition) {
    ASSERT_TRUE(Call(Id("FrameForward")).ok());
    EXPECT_EQ(control->m_props.Frame, 1);
    control->m_props.Frame = 6;
    ASSERT_TRUE(Call(Id("FrameForward")).ok());
    EXPECT_EQ(control->m_props.Frame, 1) << "from MaxFrames to 1";
    ASSERT_TRUE(Call(Id("FrameReverse")).ok());
    EXPECT_EQ(control->m_props.Frame, 6);
    control->m_props.Frame = 0;
    EXPECT_EQ(Call(Id("FrameReverse")).ErrorNumber(), 380u);

    auto pixel = Call(Id("GetPixelColor"), {Variant::I2(0), Variant::I2(0)});
    EXPECT_EQ(Text(pixel.value), "I4 -1") << "nothing composed";
    RunTime(true);
    ASSERT_TRUE(Call(Id("ExportCompose")).ok());
    EXPECT_EQ(control->m_props.Capture, 4);
    EXPECT_EQ(control->m_QuixError, -300);
    ASSERT_TRUE(Call(Id("ComposeTransparent")).ok());
    EXPECT_EQ(control->m_props.Capture, 0);
    EXPECT_EQ(control->m_props.BackStyle, 0);
    EXPECT_EQ(control->m_props.BackFill, 1);
    ASSERT_TRUE(
        Call(Id("DrawLine"), {Variant::I2(0), Variant::I2(0), Variant::I2(5), Variant::I2(5)})
            .ok());
    EXPECT_NE(control->m_hComposed, nullptr) << "ComposeTransparent composed the control";
    EXPECT_EQ(control->m_QuixError, QUIX_OK) << "the line is drawn into the composed bitmap";
}

TEST_F(Methods, SizeAndPlaceAtRunTimeOnly) {
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(host.Object()->QueryInterface(IID_IOleInPlaceObject, inPlace.outVoid()), S_OK);
    RECT pos{10, 20, 110, 70};
    ASSERT_EQ(inPlace->SetObjectRects(&pos, &pos), S_OK);
    ASSERT_TRUE(Call(Id("SetXY"), {Variant::I2(50), Variant::I2(60)}).ok());
    RECT now;
    ASSERT_TRUE(control->GetRectInContainer(&now));
    EXPECT_EQ(now.left, 10) << "nothing at design time";
    RunTime(true);
    ASSERT_TRUE(Call(Id("SetXY"), {Variant::I2(50), Variant::I2(60)}).ok());
    ASSERT_TRUE(Call(Id("SetSize"), {Variant::I2(30), Variant::I2(40)}).ok());
    ASSERT_TRUE(control->GetRectInContainer(&now));
    EXPECT_EQ(now.left, 50);
    EXPECT_EQ(now.top, 60);
    EXPECT_EQ(now.right, 80);
    EXPECT_EQ(now.bottom, 100);
    int w, h;
    control->GetControlExtent(&w, &h);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 40);
}

TEST_F(Methods, TextFileLoadsAFileAsTheCaption) {
    testing_support::WriteFile(dir / "caption.txt", std::string("line one\r\nline two\0tail", 24));
    std::string path = dir / "caption.txt";
    ASSERT_TRUE(Call(Id("TextFile"), {Variant::String(path)}).ok());
    EXPECT_EQ(control->InternalGetText(), "line one\r\nline two");
    ASSERT_TRUE(Call(Id("TextFile"), {Variant::String(dir / "missing.txt")}).ok());
    EXPECT_EQ(control->InternalGetText(), "line one\r\nline two");
    testing_support::WriteFile(dir / "empty.txt", "");
    ASSERT_TRUE(Call(Id("TextFile"), {Variant::String(dir / "empty.txt")}).ok());
    EXPECT_EQ(control->InternalGetText(), "");
    // A pipe dropped in a file's place is no text and does not hold the control up.
    ASSERT_TRUE(Call(Id("TextFile"), {Variant::String(path)}).ok());
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    ASSERT_TRUE(Call(Id("TextFile"), {Variant::String(dir / "pipe")}).ok());
    EXPECT_EQ(control->InternalGetText(), "line one\r\nline two");
}

TEST_F(Methods, HotspotDataIsTakenOnlyAsAByteArray) {
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 16);
    VARIANT array;
    VariantInit(&array);
    array.vt = VT_ARRAY | VT_UI1;
    array.parray = bytes;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_ARRAY | VT_UI1 | VT_BYREF;
    byRef.pparray = &bytes;
    control->m_QuixError = 5;
    ASSERT_TRUE(Call(Id("HResource"), {Variant(byRef)}).ok());
    ASSERT_TRUE(Call(Id("HResource"), {Variant::String("bytes")}).ok());
    EXPECT_EQ(control->m_QuixError, 5) << "other kinds are ignored";
    ASSERT_TRUE(Call(Id("HResource"), {Variant(array)}).ok());
    EXPECT_NE(control->m_QuixError, 5) << "the library's answer";
    SafeArrayDestroy(bytes);
    ASSERT_TRUE(Call(Id("DeleteHotspots")).ok());
    RunTime(true);
    EXPECT_EQ(Value(99), "I2 0");
}
