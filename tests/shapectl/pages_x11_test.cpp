// The control's property frame on a real X display with a window manager: every page, shown in
// its tab, is on the screen as Qt drew it, with each of its controls visible.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <set>

#include "platform/com/activation.h"
#include "platform/ole/factory.h"
#include "platform/ole/propframe.h"
#include "platform/win/window.h"
#include "shapectl/ShapectlPages.h"
#include "tests/shapectl/control_fixture.h"

namespace shapectl_test {

namespace {

// The share of pixels whose colours differ by more than a little in some channel.
double Different(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1.0;
    long long differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 48 || std::abs(qGreen(p) - qGreen(q)) > 48 ||
                std::abs(qBlue(p) - qBlue(q)) > 48) {
                ++differing;
            }
        }
    }
    return static_cast<double>(differing) / (a.width() * a.height());
}

int Colours(const QImage& image) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
    }
    return static_cast<int>(seen.size());
}

}  // namespace

TEST_F(ControlTest, ThePropertyFrameShowsEveryPageWithItsControlsOnTheScreen) {
    ShapectlInstallResources();
    const std::pair<CLSID, const CRuntimeClass*> own[] = {
        {CLSID_ShapectlPropPage, RUNTIME_CLASS(CShapectlPropPage)},
        {CLSID_BorderPage, RUNTIME_CLASS(CBorderPage)},
        {CLSID_HotspotPage, RUNTIME_CLASS(CHotspot)},
        {CLSID_EffectsPage, RUNTIME_CLASS(CEffects)},
        {CLSID_FontStylePage, RUNTIME_CLASS(CFontStyle)},
        {CLSID_MiscPage, RUNTIME_CLASS(CMiscellaneous)},
        {CLSID_ShapePage, RUNTIME_CLASS(CShape)},
        {CLSID_DrawStylePage, RUNTIME_CLASS(DrawPPG)}};
    std::vector<std::unique_ptr<COleObjectFactory>> factories;
    std::vector<DWORD> cookies;
    for (const auto& [clsid, rc] : own) {
        factories.push_back(std::make_unique<COleObjectFactory>(clsid, rc, FALSE, nullptr));
        DWORD cookie = 0;
        ASSERT_EQ(CoRegisterClassObject(clsid, factories.back().get(), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie),
                  S_OK);
        cookies.push_back(cookie);
    }
    {
        platform::ole::PropertyFrame frame;
        ASSERT_EQ(frame.Open(nullptr, "Shape1 Properties", {host.Object()},
                             platform::ole::PropertyFrame::PagesOf(host.Object())),
                  S_OK);
        ASSERT_EQ(frame.PageCount(), 11);
        QWidget* window = frame.Widget();
        frame.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        window->raise();
        window->activateWindow();
        QScreen* screen = QGuiApplication::primaryScreen();
        for (int i = 0; i < frame.PageCount(); ++i) {
            SCOPED_TRACE(frame.PageTitle(i));
            ASSERT_EQ(frame.SelectPage(i), S_OK);
            QTest::qWait(150);
            QPoint at = window->mapToGlobal(QPoint(0, 0));
            QImage shown = screen->grabWindow(0, at.x(), at.y(), window->width(), window->height())
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
            QImage drawn = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(shown.size(), drawn.size());
            // Fonts and the window manager's focus may differ a little; the page may not.
            EXPECT_LT(Different(shown, drawn), 0.02);
            HWND page = frame.PageWindow(i);
            std::vector<int> ids = platform::ole::DialogItemIds(page);
            EXPECT_FALSE(ids.empty());
            for (int id : ids) {
                QWidget* control = platform::win::WidgetOf(GetDlgItem(page, id));
                if (!control || platform::ole::DialogItemKind(page, id) == "static") continue;
                QRect r(control->mapTo(window, QPoint(0, 0)), control->size());
                EXPECT_TRUE(window->rect().contains(r)) << id;
                EXPECT_GT(Colours(shown.copy(r)), 2) << "control " << id << " is drawn";
            }
        }
    }
    for (DWORD cookie : cookies) CoRevokeClassObject(cookie);
}

}  // namespace shapectl_test
