#include "numedit/KelBevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "NumEditTestSupport.h"
#include "framework/Graphics.h"

namespace {

using desktop::RECT;
using numedit::TKelBevel;
using numedit::TKelBevelMode;
using numedit::TKelBevelStyle;
using numedit::TKelBorderStyle;

// Paints on a 20 x 20 surface with the edge colours made distinct, so that a pixel tells which
// edge role drew it.
class FrameTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kBackground = 0x123456;
    static constexpr std::array<int, 4> kRoles = {desktop::COLOR_BTNHIGHLIGHT, desktop::COLOR_3DLIGHT,
                                                  desktop::COLOR_BTNSHADOW, desktop::COLOR_3DDKSHADOW};

    void SetUp() override
    {
        for (std::size_t i = 0; i < kRoles.size(); ++i) {
            saved_[i] = desktop::GetSysColor(kRoles[i]);
        }
        const std::array<desktop::COLORREF, 4> distinct = {desktop::RGB(255, 255, 255), desktop::RGB(200, 200, 200),
                                                           desktop::RGB(128, 128, 128), desktop::RGB(0, 0, 0)};
        desktop::SetSysColors(4, kRoles.data(), distinct.data());
        dc_ = desktop::CreateSurfaceDC(&surface_, desktop::POINT{0, 0}, desktop::Region::FromRect(RECT{0, 0, 20, 20}));
    }
    void TearDown() override
    {
        desktop::DeleteDC(dc_);
        desktop::SetSysColors(4, kRoles.data(), saved_.data());
    }

    // H highlight, L light, S shadow, K dark shadow, . untouched.
    char RoleAt(int x, int y) const
    {
        const std::uint32_t pixel = surface_.At(x, y);
        if (pixel == kBackground) {
            return '.';
        }
        for (std::size_t i = 0; i < kRoles.size(); ++i) {
            if (pixel == desktop::PixelFromColor(desktop::GetSysColor(kRoles[i]))) {
                return "HLSK"[i];
            }
        }
        return '?';
    }
    // Outer ring top, left, right, bottom, then the same on the ring inside it.
    std::string Rings() const
    {
        std::string roles;
        for (auto [x, y] : {std::pair{10, 0}, {0, 10}, {19, 10}, {10, 19}, {10, 1}, {1, 10}, {18, 10}, {10, 18}}) {
            roles += RoleAt(x, y);
        }
        return roles;
    }

    desktop::Surface surface_{20, 20, kBackground};
    desktop::HDC dc_ = nullptr;

private:
    std::array<desktop::COLORREF, 4> saved_{};
};

TEST_F(FrameTest, EachStandardStyleDrawsItsEdgesAndShrinksTheRectanglePastThem)
{
    struct Case {
        TKelBorderStyle style;
        const char* rings;
        RECT inside;
    };
    using S = TKelBorderStyle;
    const Case cases[] = {
        {S::lsNone, "........", {0, 0, 20, 20}},          {S::lsSingle, "KKKK....", {1, 1, 20, 20}},
        {S::lsLowered, "KKHHSSLL", {2, 2, 18, 18}},       {S::lsRaised, "HHKKLLSS", {2, 2, 18, 18}},
        {S::lsRaisedspb, "HHKK..SS", {1, 1, 18, 18}},     {S::lsLoweredspb, "SSHHKK..", {2, 2, 19, 19}},
        {S::lsRaisedExt, "HHKK..SS", {2, 2, 18, 18}},     {S::lsLoweredExt, "SSHHKK..", {2, 2, 18, 18}},
        {S::lsFrameInset, "SSHHHHSS", {2, 2, 18, 18}},    {S::lsFrameOffset, "HHSSSSHH", {2, 2, 18, 18}},
        {S::lsWindowBorder, "..KKHHSS", {2, 2, 18, 18}},  {S::lsSingleRaised, "HHSS....", {1, 1, 19, 19}},
        {S::lsSingleLowered, "SSHH....", {1, 1, 19, 19}}, {S::lsDoubleRaised, "HHSSHHSS", {2, 2, 18, 18}},
        {S::lsDoubleLowered, "SSHHSSHH", {2, 2, 18, 18}},
    };
    for (const Case& c : cases) {
        std::fill(surface_.pixels.begin(), surface_.pixels.end(), kBackground);
        RECT r{0, 0, 20, 20};
        numedit::DrawStandardFrame(dc_, r, c.style);
        SCOPED_TRACE(static_cast<int>(c.style));
        EXPECT_EQ(Rings(), c.rings);
        EXPECT_EQ(r, c.inside);
        EXPECT_EQ(RoleAt(10, 10), '.');
        // The width the bevel reserves covers the widest side drawn.
        const int widest = std::max({r.left, r.top, 20 - r.right, 20 - r.bottom});
        EXPECT_EQ(numedit::BorderStyleWidth(c.style), widest);
    }
}

TEST_F(FrameTest, ExtraFlagsReachEveryEdgeButTheFixedOnes)
{
    RECT r{0, 0, 20, 20};
    numedit::DrawStandardFrame(dc_, r, TKelBorderStyle::lsSingle, desktop::BF_FLAT);
    EXPECT_EQ(RoleAt(10, 0), 'S');   // flat: the top-left edge takes the extra flag
    EXPECT_EQ(RoleAt(19, 10), 'K');  // the bottom-right edge is fixed
}

TEST_F(FrameTest, BevelDrawsByModeAndInsetsByTheInnerWidth)
{
    fw::TCanvas canvas;
    canvas.SetHandle(dc_);
    TKelBevel bevel(nullptr);

    // The window frame draws a system-bordered bmWindows border: nothing here.
    bevel.SetMode(TKelBevelMode::bmWindows);
    bevel.SetSystemBorder(true);
    EXPECT_EQ(bevel.Draw(canvas, RECT{0, 0, 20, 20}, false), (RECT{0, 0, 20, 20}));
    EXPECT_EQ(Rings(), "........");

    bevel.SetSystemBorder(false);
    bevel.SetBorderInnerWidth(1);
    EXPECT_EQ(bevel.Draw(canvas, RECT{0, 0, 20, 20}, false), (RECT{3, 3, 17, 17}));
    EXPECT_EQ(Rings(), "SSHHKK..");  // the 2-pixel sunken frame

    // Edged: the sides left out keep their 2 pixels, painted with the brush unless transparent.
    std::fill(surface_.pixels.begin(), surface_.pixels.end(), kBackground);
    bevel.SetMode(TKelBevelMode::bmEdge);
    bevel.SetBorderInnerWidth(0);
    bevel.SetEdgeStyle(numedit::TKelEdgeStyle::etSunkenOuter);
    bevel.SetBorderSides(numedit::fsTop | numedit::fsLeft);
    canvas.Brush()->SetColor(fw::clRed);
    EXPECT_EQ(bevel.Draw(canvas, RECT{0, 0, 20, 20}, false), (RECT{2, 2, 18, 18}));
    EXPECT_EQ(RoleAt(10, 0), 'S');
    EXPECT_EQ(surface_.At(10, 1), 0xFF0000u);   // the edge is one pixel; the band goes on
    EXPECT_EQ(surface_.At(19, 10), 0xFF0000u);  // right side not drawn
    EXPECT_EQ(RoleAt(10, 10), '.');

    std::fill(surface_.pixels.begin(), surface_.pixels.end(), kBackground);
    bevel.Draw(canvas, RECT{0, 0, 20, 20}, true);
    EXPECT_EQ(RoleAt(10, 0), 'S');
    EXPECT_EQ(RoleAt(19, 10), '.');
    canvas.SetHandle(nullptr);
}

// ---- Widths, pairing, notification ----

TEST(KelBevel, WidthFollowsModeAndStyles)
{
    TKelBevel bevel(nullptr);
    EXPECT_EQ(bevel.Mode(), TKelBevelMode::bmCustom);
    EXPECT_EQ(bevel.Ext(), 0);  // no frames, no border

    bevel.SetStyleOuter(TKelBevelStyle::bvRaised);
    bevel.SetWidthOuter(2);
    bevel.SetStyleInner(TKelBevelStyle::bvFrameLowered);  // a frame takes one pixel more
    bevel.SetBorderWidth(3);
    bevel.SetBorderInnerWidth(1);
    EXPECT_EQ(bevel.Ext(), 2 + 3 + (1 + 1) + 1);
    EXPECT_EQ(bevel.Extr(), bevel.Ext());

    bevel.SetStyleOuter(TKelBevelStyle::bvShadow);  // the shadow widens right and bottom only
    EXPECT_EQ(bevel.Ext(), 1 + 1);
    EXPECT_EQ(bevel.Extr(), 1 + 2 + 1);

    bevel.SetMode(TKelBevelMode::bmStandard);
    EXPECT_EQ(bevel.StandardStyle(), TKelBorderStyle::lsSingleLowered);
    EXPECT_EQ(bevel.Ext(), 1 + 1);
    bevel.SetBorderInnerWidth(0);
    bevel.SetStandardStyle(TKelBorderStyle::lsNone);
    EXPECT_EQ(bevel.Ext(), 0);

    bevel.SetMode(TKelBevelMode::bmEdge);
    EXPECT_EQ(bevel.Ext(), 2);
    bevel.SetBorderSides(0);
    EXPECT_EQ(bevel.Ext(), 0);

    bevel.SetMode(TKelBevelMode::bmWindows);
    EXPECT_EQ(bevel.Ext(), 2);
    bevel.SetSystemBorder(true);
    EXPECT_EQ(bevel.Ext(), 0);
}

TEST(KelBevel, ShadowStylesComeAndGoInPairs)
{
    TKelBevel bevel(nullptr);
    bevel.SetStyleOuter(TKelBevelStyle::bvShadow);
    EXPECT_EQ(bevel.StyleInner(), TKelBevelStyle::bvShadow);
    bevel.SetStyleInner(TKelBevelStyle::bvLowered);
    EXPECT_EQ(bevel.StyleOuter(), TKelBevelStyle::bvNone);
    bevel.SetStyleOuter(TKelBevelStyle::bvRaised);  // no shadow involved: the other stays
    EXPECT_EQ(bevel.StyleInner(), TKelBevelStyle::bvLowered);
}

TEST(KelBevel, NotifiesItsOwnerOfRealChangesOnly)
{
    TKelBevel bevel(nullptr);
    int changes = 0;
    bevel.OnChange = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, &bevel);
        ++changes;
    };
    bevel.SetMode(TKelBevelMode::bmWindows);
    bevel.SetMode(TKelBevelMode::bmWindows);
    bevel.SetLightColor(bevel.LightColor());
    bevel.SetStyleInner(TKelBevelStyle::bvNone);
    EXPECT_EQ(changes, 1);

    // The standard style matters only in bmStandard, but the width must follow it anyway.
    bevel.SetStandardStyle(TKelBorderStyle::lsLowered);
    EXPECT_EQ(changes, 1);
    bevel.SetMode(TKelBevelMode::bmStandard);
    EXPECT_EQ(bevel.Ext(), 2);
    bevel.SetStandardStyle(TKelBorderStyle::lsSingle);
    EXPECT_EQ(changes, 3);

    // A copy notifies once and has its width recomputed.
    TKelBevel copy(nullptr);
    int copyChanges = 0;
    copy.OnChange = [&](fw::TObject*) { ++copyChanges; };
    copy.Assign(&bevel);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_EQ(copy.Ext(), 1);
}

// ---- Window styles ----

TEST(KelBevelWindow, WindowsModeAsksTheFrameForTheBorderUnlessThemed)
{
    TKelBevel bevel(nullptr);
    const auto styles = [&](bool ctl3D, bool themed) {
        fw::TCreateParams params;
        params.Style = desktop::WS_CHILD;
        numedit::ApplyBevelWindowStyles(bevel, ctl3D, themed, params);
        return std::pair{params.Style, params.ExStyle};
    };
    EXPECT_EQ(styles(true, false), (std::pair<desktop::DWORD, desktop::DWORD>{desktop::WS_CHILD, 0}));

    bevel.SetMode(TKelBevelMode::bmWindows);
    EXPECT_EQ(styles(true, false),
              (std::pair<desktop::DWORD, desktop::DWORD>{desktop::WS_CHILD, desktop::WS_EX_CLIENTEDGE}));
    EXPECT_EQ(styles(false, false),
              (std::pair<desktop::DWORD, desktop::DWORD>{desktop::WS_CHILD | desktop::WS_BORDER, 0}));
    EXPECT_EQ(styles(true, true), (std::pair<desktop::DWORD, desktop::DWORD>{desktop::WS_CHILD, 0}));
    EXPECT_TRUE(numedit::Ctl3DChangeNeedsNewWindow(bevel, false));
    EXPECT_FALSE(numedit::Ctl3DChangeNeedsNewWindow(bevel, true));
    bevel.SetMode(TKelBevelMode::bmStandard);
    EXPECT_FALSE(numedit::Ctl3DChangeNeedsNewWindow(bevel, false));
}

// A control bordered the way the family's edits are.
class TBorderedBox : public fw::TCustomControl {
public:
    explicit TBorderedBox(fw::TComponent* owner) : fw::TCustomControl(owner)
    {
        bevel.SetMode(TKelBevelMode::bmWindows);
        bevel.SetSystemBorder(true);
    }
    TKelBevel bevel{this};
    bool ctl3D = true;

protected:
    void CreateParams(fw::TCreateParams& params) override
    {
        fw::TCustomControl::CreateParams(params);
        numedit::ApplyBevelWindowStyles(bevel, ctl3D, false, params);
    }
};

class KelBevelFrame : public numedit::testing::WindowTest {};

TEST_F(KelBevelFrame, TheSystemEdgeTakesTwoPixelsASideAndThePlainBorderOne)
{
    auto* box = NewChild<TBorderedBox>(10, 10, 65, 21);
    RECT client = box->ClientRect();
    EXPECT_EQ(client.right - client.left, 61);
    EXPECT_EQ(client.bottom - client.top, 17);
    EXPECT_EQ(box->bevel.Ext(), 0);

    box->ctl3D = false;
    box->RecreateWnd();
    box->HandleNeeded();
    client = box->ClientRect();
    EXPECT_EQ(client.right - client.left, 63);
    EXPECT_EQ(client.bottom - client.top, 19);
}

}  // namespace
