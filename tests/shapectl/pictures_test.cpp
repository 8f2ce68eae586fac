// Pictures, the mask, the stock font's properties and the caption.
#include <QImage>

#include "platform/gdi/qt.h"
#include "platform/ole/oleauto.h"
#include "tests/shapectl/control_fixture.h"

using namespace shapectl_test;
using platform::com::ComPtr;

namespace {

ComPtr<IDispatch> Picture(SHORT type) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = static_cast<UINT>(type);
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(2, 1, qRgb(255, 0, 0));
    const BYTE records[] = {1, 2, 3};
    if (type == PICTYPE_BITMAP) desc.bmp.hbitmap = platform::gdi::BitmapFromImage(image);
    if (type == PICTYPE_METAFILE) desc.wmf.hmeta = SetMetaFileBitsEx(3, records);
    if (type == PICTYPE_ENHMETAFILE) desc.emf.hemf = SetEnhMetaFileBits(3, records);
    if (type == PICTYPE_ICON) {
        ICONINFO info{TRUE, 0, 0, CreateBitmap(3, 2, 1, 1, nullptr),
                      platform::gdi::BitmapFromImage(image)};
        desc.icon.hicon = CreateIconIndirect(&info);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
    }
    ComPtr<IDispatch> p;
    OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, p.outVoid());
    return p;
}

}  // namespace

class Pictures : public ControlTest {};

TEST_F(Pictures, RefuseMetafilesAndIconsAndKeepTheirOldPicture) {
    const DISPID kChecked[] = {53, 139, 141, 144, 127};
    for (DISPID id : kChecked) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(Set(id, Variant::Dispatch(Picture(PICTYPE_BITMAP).get())).ok());
        for (SHORT refused : {PICTYPE_ICON, PICTYPE_METAFILE}) {
            Clear();
            auto r = Set(id, Variant::Dispatch(Picture(refused).get()));
            EXPECT_EQ(r.ErrorNumber(), 20140u);
            EXPECT_EQ(r.scode, static_cast<SCODE>(0x800A4EAC));
            EXPECT_EQ(r.description, "This image format is not supported.");
            EXPECT_TRUE(host.Site().changes.empty());
            auto now = Get(id).value;
            EXPECT_EQ(Text(platform::com::GetProperty(now.get().pdispVal, DISPID_PICT_TYPE).value),
                      "I2 1");
        }
        EXPECT_TRUE(Set(id, Variant::Dispatch(Picture(PICTYPE_ENHMETAFILE).get())).ok());
    }
    // An empty picture clears Picture; MouseIcon takes any picture.
    EXPECT_TRUE(Set(53, Variant::Dispatch(Picture(PICTYPE_NONE).get())).ok());
    EXPECT_EQ(control->m_Picture.GetType(), PICTYPE_NONE);
    EXPECT_TRUE(Set(106, Variant::Dispatch(Picture(PICTYPE_ICON).get())).ok());
    EXPECT_EQ(control->m_MouseIcon.GetType(), PICTYPE_ICON);
    RunTime(true);
    auto r = Set(125, Variant::Unknown(Picture(PICTYPE_ICON).get()));
    EXPECT_EQ(r.ErrorNumber(), 20140u) << "QuixPicture checks too";
}

TEST_F(Pictures, NoticesPaletteFlagsAndRedrawsOfThePictureProperties) {
    control->m_bNewPalette = FALSE;
    ASSERT_TRUE(Set(53, Variant::Dispatch(Picture(PICTYPE_BITMAP).get())).ok());
    EXPECT_TRUE(control->m_bNewPalette);
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{53});
    EXPECT_EQ(Redraws(), 0) << "Picture invalidates without RedrawControl";
    EXPECT_EQ(control->m_redrawTrace.invalidations, 1);
    Clear();
    ASSERT_TRUE(Set(140, Variant::Dispatch(Picture(PICTYPE_BITMAP).get())).ok());
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{140});
    EXPECT_EQ(Redraws(), 1);
    Clear();
    RunTime(true);
    control->m_bNewPalette = FALSE;
    ASSERT_TRUE(Set(125, Variant::Unknown(Picture(PICTYPE_BITMAP).get())).ok());
    EXPECT_FALSE(control->m_bNewPalette) << "QuixPicture sets no palette flag";
    EXPECT_EQ(Redraws(), 1);
}

TEST_F(Pictures, TheFramePictureGivesTheBitmapHandles) {
    auto bitmap = Picture(PICTYPE_BITMAP);
    ASSERT_TRUE(Set(140, Variant::Dispatch(bitmap.get())).ok());
    ASSERT_TRUE(Set(138, Variant::I2(2)).ok());
    EXPECT_EQ(Get(107).ErrorNumber(), 394u) << "hBmp is read at run time only";
    RunTime(true);
    auto handle = platform::com::GetProperty(bitmap.get(), DISPID_PICT_HANDLE).value;
    EXPECT_EQ(Value(107), Text(handle));
    EXPECT_NE(Value(107), "I4 0");
    EXPECT_EQ(Value(108), "I4 0") << "no palette";
    ASSERT_TRUE(Set(138, Variant::I2(3)).ok());
    EXPECT_EQ(Value(107), "I4 0") << "Frame3 is empty";
}

TEST_F(Pictures, AMaskIsWhereTheBitmapIsWhite) {
    ASSERT_TRUE(Set(127, Variant::Dispatch(Picture(PICTYPE_BITMAP).get())).ok());
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{127});
    EXPECT_EQ(Redraws(), 0);
    ASSERT_EQ(control->m_Mask.GetType(), PICTYPE_BITMAP);
    OLE_HANDLE h;
    control->m_Mask.m_pPict->get_Handle(&h);
    auto mask = reinterpret_cast<HBITMAP>(static_cast<std::uintptr_t>(h));
    EXPECT_TRUE(platform::gdi::IsMonochrome(mask));
    QImage image = platform::gdi::ImageOf(mask);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0u) << "red became black";
    EXPECT_EQ(image.pixel(2, 1) & 0xFFFFFF, 0u);
    RunTime(true);
    EXPECT_EQ(Value(129), "I2 3");
    EXPECT_EQ(Value(128), "I2 2");
    // An empty picture keeps the old mask and still notifies.
    RunTime(false);
    Clear();
    ASSERT_TRUE(Set(127, Variant::Dispatch(Picture(PICTYPE_NONE).get())).ok());
    EXPECT_EQ(control->m_Mask.GetType(), PICTYPE_BITMAP);
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{127});
}

TEST_F(Pictures, TheFontPropertiesReachTheStockFont) {
    EXPECT_EQ(Get(65).ErrorNumber(), 394u) << "FontBold is read at run time only";
    Clear();
    ASSERT_TRUE(Set(65, Variant::Bool(true)).ok());
    EXPECT_TRUE(host.Site().changes.empty()) << "no notice of its own";
    EXPECT_EQ(Redraws(), 1) << "the font's change notice redraws";
    ASSERT_TRUE(Set(63, Variant::String("Arial")).ok());
    ASSERT_TRUE(Set(64, Variant::R8(10.5)).ok());
    RunTime(true);
    EXPECT_EQ(Value(65), "BOOL True");
    EXPECT_EQ(Value(63), "BSTR \"Arial\"");
    EXPECT_EQ(Value(64), "R4 10.5");
    // The stock font property sees the same font.
    auto font = Get(DISPID_FONT).value;
    EXPECT_EQ(Text(platform::com::GetProperty(font.get().pdispVal, DISPID_FONT_NAME).value),
              "BSTR \"Arial\"");
}

TEST_F(Pictures, ACaptionChangeTellsTheContainer) {
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("Design")).ok());
    EXPECT_EQ(host.Site().changes, std::vector<DISPID>{DISPID_CAPTION});
    EXPECT_EQ(host.Site().controlInfoChanges, 1);
    EXPECT_EQ(Redraws(), 1);
    EXPECT_TRUE(host.Events().events.empty());
    RunTime(true);
    Clear();
    ASSERT_TRUE(Set(DISPID_CAPTION, Variant::String("Run")).ok());
    ASSERT_EQ(host.Events().events.size(), 1u);
    EXPECT_EQ(host.Events().events[0].name, "Change");
    EXPECT_EQ(host.Site().locks, 0);
    EXPECT_EQ(host.Site().lockCalls, 1) << "fired while kept in-place active";
    EXPECT_TRUE(host.Site().changes.empty());
}
