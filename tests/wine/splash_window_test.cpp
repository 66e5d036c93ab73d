#include "PictureFiles.h"
#include "WineTestSupport.h"

#include "app/UFrmSplashPicture.h"
#include "runtime/Application.h"
#include "runtime/core/Failures.h"
#include "ui/pictures/Image.h"
#include "ui/pictures/Picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace pw = picture_writer;
using picture_files::ScratchFolder;

namespace {

const FixedEnvironment kDesign(13);

class SplashWindow : public ::testing::Test {
protected:
  void SetUp() override {
    if (!Application) Application = new TApplication();  // lives as long as the test program
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  }

  // The start-up sequence's use of the window: load, then size to the picture.
  static void LoadAndSize(TfrmSplashPicture& form, const std::string& file) {
    form.Picture().LoadPictureFile(file);
    form.SetWidth(form.Picture().PictureWidth());
    form.SetHeight(form.Picture().PictureHeight());
  }

  static void ExpectBounds(const TfrmSplashPicture& form, int left, int top, int width, int height) {
    EXPECT_EQ(form.Left(), left);
    EXPECT_EQ(form.Top(), top);
    EXPECT_EQ(form.Width(), width);
    EXPECT_EQ(form.Height(), height);
  }
};

}  // namespace

TEST_F(SplashWindow, ComesUpCentredVisibleTopmostAndKeyedAtItsDesignSize) {
  const HWND mainBefore = Application->MainForm();
  TfrmSplashPicture form(kDesign);
  const HWND window = form.Handle();
  ExpectBounds(form, 392, 325, 239, 118);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.Position(), poDesigned);

  char className[64];
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "TfrmSplashPicture");
  EXPECT_EQ(GetWindow(window, GW_OWNER), Application->Handle());
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
  const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  ASSERT_TRUE(exStyle & WS_EX_LAYERED);
  COLORREF key = 1;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(0, 0, 0));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));

  RECT image = form.imgPicture.BoundsRect();
  EXPECT_EQ(image.right, 239);
  EXPECT_EQ(image.bottom, 118);
  if (!mainBefore) {
    EXPECT_EQ(Application->MainForm(), window);
  }
}

TEST_F(SplashWindow, GrowsRightAndDownwardsToALargePictureWithoutCentringAgain) {
  ScratchFolder folder;
  pw::Bmp big;
  big.width = 640;
  big.height = 480;
  TfrmSplashPicture form(kDesign);
  LoadAndSize(form, folder.Write("Setup.bmp", pw::Write(big)));
  form.Show();
  ExpectBounds(form, 392, 325, 640, 480);  // covers 392..1031 x 325..804
  const RECT image = form.imgPicture.BoundsRect();
  EXPECT_EQ(image.right - image.left, 640);
  EXPECT_EQ(image.bottom - image.top, 480);
}

TEST_F(SplashWindow, AFailedLoadLeavesItAtDesignSizeAndAnEmptyBitmapSizesItToNothing) {
  ScratchFolder folder;
  TfrmSplashPicture form(kDesign);
  EXPECT_THROW(LoadAndSize(form, folder.Write("Setup.wmf", pw::Bytes(200, 7))), Exception);
  form.Show();
  ExpectBounds(form, 392, 325, 239, 118);
  EXPECT_EQ(form.Picture().Graphic(), nullptr);
  LoadAndSize(form, folder.Write("Setup.bmp", {}));
  ExpectBounds(form, 392, 325, 0, 0);
}

TEST_F(SplashWindow, AnotherMeasuredTextHeightScalesTheDesign) {
  TfrmSplashPicture form(FixedEnvironment(15));
  // 239 x 118 scaled by 15 / 13, then centred.
  ExpectBounds(form, (1024 - 276) / 2, (768 - 136) / 2, 276, 136);
  EXPECT_EQ(form.imgPicture.Width(), 276);
}

TEST_F(SplashWindow, WithoutTheLayeredOperationItIsAPlainTopmostPopup) {
  TfrmSplashPicture form(FixedEnvironment(13, false));
  const LONG_PTR exStyle = GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE);
  EXPECT_FALSE(exStyle & WS_EX_LAYERED);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  ExpectBounds(form, 392, 325, 239, 118);
}

TEST_F(SplashWindow, PaintsThePictureOnlyWhenThePlatformAsks) {
  ScratchFolder folder;
  pw::Bmp s;
  s.width = 4;
  s.height = 2;
  s.pixels = pw::Rows(4, 2, 24, false, [](int x, int y) { return x == 0 && y == 0 ? 0x000001u : 0x3080C0u; });
  TfrmSplashPicture form(FixedEnvironment(13, false));  // read back what the window itself painted
  UpdateWindow(form.Handle());
  LoadAndSize(form, folder.Write("Setup.bmp", pw::Write(s)));
  RECT pending = {};
  EXPECT_TRUE(GetUpdateRect(form.Handle(), &pending, FALSE));  // asked for, not yet painted

  UpdateWindow(form.Handle());
  EXPECT_FALSE(GetUpdateRect(form.Handle(), &pending, FALSE));
  HDC dc = GetDC(form.Handle());
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 1));
  EXPECT_EQ(GetPixel(dc, 3, 1), RGB(0x30, 0x80, 0xC0));
  ReleaseDC(form.Handle(), dc);
}

TEST(SplashTextHeight, TheRealMeasureGivesAHeight) {
  if (!Application) Application = new TApplication();
  const int height = PlatformEnvironment().TextHeight(SplashFormFont());
  EXPECT_GT(height, 0);
  RecordProperty("measured_text_height", height);
  std::printf("measured \"0\" height of the splash font: %d\n", height);
}
