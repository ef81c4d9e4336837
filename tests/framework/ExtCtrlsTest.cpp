#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "desktop/backends/Headless.h"
#include "framework/ClassesStreams.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"

namespace {

class ExtCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop::headless::Install();
        app_ = std::make_unique<fw::TApplication>();
        form_ = fw::NewForm<fw::TForm>(app_.get(), fw::CreateNew);
        form_->SetBounds(50, 50, 600, 400);
        image_ = new fw::TImage(form_);
        image_->SetParent(form_);
    }
    void TearDown() override
    {
        app_.reset();
        desktop::headless::Uninstall();
    }

    // A bitmap of the size, filled with one colour.
    static std::unique_ptr<fw::TBitmap> Filled(int width, int height, fw::TColor color)
    {
        auto bitmap = std::make_unique<fw::TBitmap>();
        bitmap->SetSize(width, height);
        bitmap->Canvas()->Brush()->SetColor(color);
        bitmap->Canvas()->FillRect({0, 0, width, height});
        return bitmap;
    }
    // Picture data as a layout stores it: the class name, then the graphic's own data.
    static void ReadPictureData(fw::TPicture& picture, const std::vector<std::uint8_t>& graphicData)
    {
        std::vector<std::uint8_t> bytes = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
        bytes.insert(bytes.end(), graphicData.begin(), graphicData.end());
        fw::TMemoryStream stream(bytes);
        picture.ReadData(stream);
    }
    desktop::COLORREF At(int x, int y) { return desktop::headless::ScreenColorAt(image_->ClientToScreen({x, y})); }

    std::unique_ptr<fw::TApplication> app_;
    fw::TForm* form_ = nullptr;
    fw::TImage* image_ = nullptr;
};

TEST_F(ExtCtrlsTest, AutoSizeTakesThePictureSizeAtTheCurrentPosition)
{
    EXPECT_EQ(image_->BoundsRect(), (desktop::RECT{0, 0, 105, 105}));
    image_->SetBounds(16, 264, 300, 50);
    image_->SetAutoSize(true);
    EXPECT_EQ(image_->BoundsRect(), (desktop::RECT{16, 264, 316, 314}));  // no picture yet: unchanged
    auto bitmap = Filled(441, 126, fw::clRed);
    image_->Picture()->SetGraphic(bitmap.get());
    EXPECT_EQ(image_->BoundsRect(), (desktop::RECT{16, 264, 16 + 441, 264 + 126}));

    // Without AutoSize a new picture leaves the bounds alone.
    image_->SetAutoSize(false);
    auto small = Filled(20, 10, fw::clBlue);
    image_->Picture()->SetGraphic(small.get());
    EXPECT_EQ(image_->Width(), 441);
    // Switching AutoSize on applies it at once.
    image_->SetAutoSize(true);
    EXPECT_EQ(image_->BoundsRect(), (desktop::RECT{16, 264, 36, 274}));
}

TEST_F(ExtCtrlsTest, EmptyPictureLeavesAnAutoSizeImageAtItsStoredSize)
{
    image_->SetBounds(10, 20, 50, 40);
    image_->SetAutoSize(true);
    ReadPictureData(*image_->Picture(), {0, 0, 0, 0});
    ASSERT_NE(image_->Picture()->Graphic(), nullptr);
    EXPECT_TRUE(image_->Picture()->Graphic()->Empty());
    EXPECT_EQ(image_->BoundsRect(), (desktop::RECT{10, 20, 60, 60}));
    image_->Picture()->SetGraphic(nullptr);
    EXPECT_EQ(image_->BoundsRect(), (desktop::RECT{10, 20, 60, 60}));
}

TEST_F(ExtCtrlsTest, DestinationRectangle)
{
    image_->SetBounds(0, 0, 101, 51);
    auto bitmap = Filled(40, 20, fw::clRed);
    image_->Picture()->SetGraphic(bitmap.get());
    EXPECT_EQ(image_->DestRect(), (desktop::RECT{0, 0, 40, 20}));
    image_->SetCenter(true);
    EXPECT_EQ(image_->DestRect(), (desktop::RECT{30, 15, 70, 35}));
    // A picture larger than the control: half the negative difference, rounded down.
    auto big = Filled(110, 60, fw::clRed);
    image_->Picture()->SetGraphic(big.get());
    EXPECT_EQ(image_->DestRect(), (desktop::RECT{-5, -5, 105, 55}));
    image_->SetStretch(true);
    EXPECT_EQ(image_->DestRect(), (desktop::RECT{0, 0, 101, 51}));
}

TEST_F(ExtCtrlsTest, OpaqueOnlyWhenThePictureCoversTheControl)
{
    image_->SetBounds(0, 0, 40, 20);
    auto bitmap = Filled(40, 20, fw::clRed);
    image_->Picture()->SetGraphic(bitmap.get());
    EXPECT_TRUE(image_->HasStyle(fw::csOpaque));
    image_->SetStretch(true);
    EXPECT_FALSE(image_->HasStyle(fw::csOpaque));
    image_->SetStretch(false);
    image_->SetTransparent(true);
    EXPECT_TRUE(image_->Picture()->Graphic()->Transparent());
    EXPECT_FALSE(image_->HasStyle(fw::csOpaque));
    image_->SetTransparent(false);
    EXPECT_FALSE(image_->Picture()->Graphic()->Transparent());
    image_->SetWidth(41);
    image_->Picture()->SetGraphic(bitmap.get());
    EXPECT_FALSE(image_->HasStyle(fw::csOpaque));
}

TEST_F(ExtCtrlsTest, PaintsThePictureAtItsDestination)
{
    form_->SetColor(fw::clWhite);
    image_->SetBounds(10, 10, 60, 40);
    auto bitmap = Filled(20, 10, fw::clRed);
    image_->Picture()->SetGraphic(bitmap.get());
    form_->Show();
    app_->ProcessMessages();
    const auto red = desktop::RGB(255, 0, 0);
    EXPECT_EQ(At(0, 0), red);
    EXPECT_EQ(At(19, 9), red);
    EXPECT_NE(At(20, 9), red);
    EXPECT_NE(At(19, 10), red);

    image_->SetStretch(true);
    app_->ProcessMessages();
    EXPECT_EQ(At(59, 39), red);

    image_->SetStretch(false);
    image_->SetCenter(true);
    app_->ProcessMessages();
    EXPECT_NE(At(0, 0), red);
    EXPECT_EQ(At(20, 15), red);
    EXPECT_EQ(At(39, 24), red);
}

}  // namespace
