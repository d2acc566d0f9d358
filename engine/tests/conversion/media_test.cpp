// Media information and frame grabbing through the control: clips made at test time, asked about
// and grabbed from; the images written are read back and the frame's colour checked.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "gdiplus/gdiplus.h"
#include "hosted_control.h"
#include "ole/olectl.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

using testing_support::Rgb;

std::string Sandboxed(const char* name) { return testing_support::SandboxDir() + "/" + name; }

class MediaTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.width = 160;
    options.height = 120;
    options.frameRate = 15;
    options.keyframeInterval = 10;
    options.sampleRate = 22050;
    options.seconds = 4.0;
    options.timeColoured = true;
    ASSERT_EQ("", testing_support::MakeClip(Sandboxed("coloured.avi"), options));
    options.audioEncoder = "";
    options.seconds = 2.5;
    ASSERT_EQ("", testing_support::MakeClip(Sandboxed("silent.avi"), options));
    testing_support::ClipOptions sound;
    sound.format = "wav";
    sound.videoEncoder = "";
    sound.audioEncoder = "pcm_s16le";
    sound.seconds = 3.5;
    ASSERT_EQ("", testing_support::MakeClip(Sandboxed("tone.wav"), sound));
  }
  void SetUp() override {
    HostedControl::SetUp();
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
  }
  void TearDown() override {
    Gdiplus::GdiplusShutdown(gdiplus);
    HostedControl::TearDown();
  }

  COleVariant Name(const std::string& path) { return COleVariant(path.c_str()); }
  double Number(DISPID id, const std::string& path) {
    COleVariant v = Call(id, {Name(path)});
    return v.vt == VT_I2 ? v.iVal : v.dblVal;
  }
  bool GrabToFile(const std::string& clip, double seconds, const std::string& image, short type) {
    return CallBool(dispidGetFrame, {Name(clip), COleVariant(seconds), Name(image), COleVariant(type)});
  }
  // The pixel at the middle of an image file.
  static bool CentreOfImage(const std::string& path, Rgb* colour) {
    const CStringW name(path.c_str());
    Gdiplus::Bitmap image(name);
    if (image.GetLastStatus() != Gdiplus::Ok) return false;
    Gdiplus::BitmapData data{};
    Gdiplus::Rect centre(int(image.GetWidth()) / 2, int(image.GetHeight()) / 2, 1, 1);
    if (image.LockBits(&centre, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return false;
    const BYTE* p = static_cast<const BYTE*>(data.Scan0);
    *colour = {p[2], p[1], p[0]};
    image.UnlockBits(&data);
    return true;
  }
  // The size of a bitmap and the pixel at its middle.
  static bool CentreOfBitmap(HBITMAP bitmap, SIZE* size, Rgb* colour) {
    BITMAP bm{};
    if (!GetObject(bitmap, sizeof bm, &bm)) return false;
    size->cx = bm.bmWidth;
    size->cy = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size->cx;
    info.bmiHeader.biHeight = -size->cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size_t(size->cx) * size_t(size->cy));
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, UINT(size->cy), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != size->cy) return false;
    const uint32_t p = pixels[size_t(size->cy / 2) * size_t(size->cx) + size_t(size->cx / 2)];
    *colour = {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
    return true;
  }
  static std::string Magic(const std::string& path, size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), std::streamsize(bytes));
    return in ? head : std::string();
  }

  testing_ui::UiDriver ui;
  ULONG_PTR gdiplus = 0;
};

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Describe(Rgb c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// The 3-3-2 palette entry nearest to a colour, channel by channel.
Rgb NearestPaletteColour(Rgb c) {
  const int r = (c.r * 7 + 127) / 255, g = (c.g * 7 + 127) / 255, b = (c.b * 3 + 127) / 255;
  return {r * 255 / 7, g * 255 / 7, b * 255 / 3};
}

// Frame 45 covers 3.0 s at 15 frames a second.
const Rgb kFrameAt3s = testing_support::TimeColourOfFrame(45);

TEST_F(MediaTest, LengthsSizesRatesAndFrameCountsOfClipsAndSoundFiles) {
  const std::string clip = Sandboxed("coloured.avi");
  EXPECT_EQ(4.0, Number(dispidGetFileDuration, clip));
  EXPECT_EQ(160, Number(dispidGetFileWidth, clip));
  EXPECT_EQ(120, Number(dispidGetFileHeight, clip));
  // The rate comes from the frame length in 100-ns units (666667).
  EXPECT_NEAR(15.0, Number(dispidGetFileFrameRate, clip), 1e-4);
  EXPECT_NEAR(60.0, Number(dispidGetFileTotalFrame, clip), 1e-3);
  EXPECT_TRUE(CallBool(dispidGetAudioStream, {Name(clip)}));

  // Whole seconds, truncated.
  const std::string silent = Sandboxed("silent.avi");
  EXPECT_EQ(2.0, Number(dispidGetFileDuration, silent));
  EXPECT_FALSE(CallBool(dispidGetAudioStream, {Name(silent)}));

  // Sound only: no picture, and the frame count takes 25 frames a second.
  const std::string tone = Sandboxed("tone.wav");
  EXPECT_EQ(3.0, Number(dispidGetFileDuration, tone));
  EXPECT_EQ(0, Number(dispidGetFileWidth, tone));
  EXPECT_EQ(0, Number(dispidGetFileHeight, tone));
  EXPECT_EQ(0.0, Number(dispidGetFileFrameRate, tone));
  EXPECT_DOUBLE_EQ(75.0, Number(dispidGetFileTotalFrame, tone));
  EXPECT_TRUE(CallBool(dispidGetAudioStream, {Name(tone)}));
}

TEST_F(MediaTest, ImagesAreMeasuredAsImagesAndMissingFilesAreReported) {
  const std::string jpeg = Sandboxed("measured.jpg");
  ASSERT_TRUE(GrabToFile(Sandboxed("coloured.avi"), 1.0, jpeg, 1));
  EXPECT_EQ(160, Number(dispidGetFileWidth, jpeg));
  EXPECT_EQ(120, Number(dispidGetFileHeight, jpeg));
  EXPECT_EQ(0, Number(dispidGetFileWidth, ""));

  ui.AnswerMessageBox(IDOK, "Failed to open the media file,do you installed correct decoder");
  EXPECT_EQ(0.0, Number(dispidGetFileDuration, Sandboxed("missing.avi")));
  EXPECT_EQ(0u, ui.PendingAnswers());
  EXPECT_EQ(0, Number(dispidGetFileHeight, Sandboxed("missing.avi")));
  EXPECT_FALSE(CallBool(dispidGetAudioStream, {Name(Sandboxed("missing.avi"))}));
}

TEST_F(MediaTest, TheFrameAtThreeSecondsIsWrittenInEveryImageType) {
  const std::string clip = Sandboxed("coloured.avi");
  struct Kind {
    short type;
    const char* name;
    std::string magic;
    int tolerance;
  };
  const Kind kinds[] = {{1, "frame.jpg", "\xFF\xD8\xFF", 12},
                        {2, "frame.png", "\x89PNG", 3},
                        {3, "frame.tif", "II*", 3},
                        {4, "frame.gif", "GIF8", 0},
                        {9, "frame.bmp", "BM", 3}};
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    const std::string image = Sandboxed(kind.name);
    ASSERT_TRUE(GrabToFile(clip, 3.0, image, kind.type));
    EXPECT_EQ(kind.magic, Magic(image, kind.magic.size()));
    Rgb centre{};
    ASSERT_TRUE(CentreOfImage(image, &centre));
    if (kind.type == 4) {
      // The source's own colour may be a few levels off: any of the palette colours near it.
      bool found = false;
      for (int d = -6; d <= 6 && !found; d += 3)
        found = Near(centre, NearestPaletteColour({kFrameAt3s.r + d, kFrameAt3s.g + d, kFrameAt3s.b + d}), 0);
      EXPECT_TRUE(found) << Describe(centre) << " for " << Describe(kFrameAt3s);
    } else {
      EXPECT_TRUE(Near(centre, kFrameAt3s, kind.tolerance + 6)) << Describe(centre) << " for " << Describe(kFrameAt3s);
    }
  }
  // Scaled, into the caller's name as given.
  const std::string scaled = Sandboxed("scaled.image");
  ASSERT_TRUE(CallBool(dispidGetFrameBySize, {Name(clip), COleVariant(3.0), Name(scaled), COleVariant(LONG(64)),
                                              COleVariant(LONG(48)), COleVariant(short(2))}));
  const CStringW name(scaled.c_str());
  Gdiplus::Bitmap read(name);
  EXPECT_EQ(64u, read.GetWidth());
  EXPECT_EQ(48u, read.GetHeight());
}

TEST_F(MediaTest, GrabbedBitmapsAndPicturesBelongToTheCaller) {
  const std::string clip = Sandboxed("coloured.avi");
  auto bitmap = reinterpret_cast<HBITMAP>(UINT_PTR(Call(dispidGetFrame2HBitmap, {Name(clip), COleVariant(3.0)}).lVal));
  ASSERT_NE(nullptr, bitmap);
  auto scaled = reinterpret_cast<HBITMAP>(UINT_PTR(
      Call(dispidGetFrameBySize2HBitmap, {Name(clip), COleVariant(3.0), COleVariant(LONG(40)), COleVariant(LONG(30))})
          .lVal));
  ASSERT_NE(nullptr, scaled);
  COleVariant picture = Call(dispidGetFrame2Picture, {Name(clip), COleVariant(1.0)});
  ASSERT_EQ(VT_DISPATCH, picture.vt);
  ASSERT_NE(nullptr, picture.pdispVal);

  // The control goes; what it handed out stays.
  control->Release();
  control = nullptr;
  wrapper.DestroyWindow();
  SIZE size{};
  Rgb centre{};
  ASSERT_TRUE(CentreOfBitmap(bitmap, &size, &centre));
  EXPECT_EQ(160, size.cx);
  EXPECT_EQ(120, size.cy);
  EXPECT_TRUE(Near(centre, kFrameAt3s, 8)) << Describe(centre);
  ASSERT_TRUE(CentreOfBitmap(scaled, &size, &centre));
  EXPECT_EQ(40, size.cx);
  EXPECT_EQ(30, size.cy);
  EXPECT_TRUE(Near(centre, kFrameAt3s, 8)) << Describe(centre);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteObject(scaled));

  ComPtr<IPicture> held;
  ASSERT_EQ(S_OK, picture.pdispVal->QueryInterface(IID_IPicture, held.putVoid()));
  OLE_HANDLE handle = 0;
  ASSERT_EQ(S_OK, held->get_Handle(&handle));
  ASSERT_TRUE(CentreOfBitmap(reinterpret_cast<HBITMAP>(UINT_PTR(handle)), &size, &centre));
  EXPECT_TRUE(Near(centre, testing_support::TimeColourOfFrame(15), 8)) << Describe(centre);
}

// A grab decodes from the keyframe before the time: the frames on either side of a keyframe, and the
// last one before the next, each come out as themselves (10 frames from keyframe to keyframe).
TEST_F(MediaTest, FramesAroundKeyframesAreGrabbedExactly) {
  const std::string clip = Sandboxed("coloured.avi");
  const struct {
    int frame;
    double seconds;
  } grabs[] = {{9, 0.66}, {10, 0.67}, {11, 0.74}, {19, 1.33}, {20, 1.34}, {0, 0.0}, {59, 3.99}};
  for (const auto& grab : grabs) {
    SCOPED_TRACE(grab.seconds);
    auto bitmap =
        reinterpret_cast<HBITMAP>(UINT_PTR(Call(dispidGetFrame2HBitmap, {Name(clip), COleVariant(grab.seconds)}).lVal));
    ASSERT_NE(nullptr, bitmap);
    SIZE size{};
    Rgb centre{};
    EXPECT_TRUE(CentreOfBitmap(bitmap, &size, &centre));
    DeleteObject(bitmap);
    const Rgb expected = testing_support::TimeColourOfFrame(grab.frame);
    EXPECT_TRUE(Near(centre, expected, 8)) << Describe(centre) << " for " << Describe(expected);
  }
  // Sound alone has no frame to grab.
  EXPECT_EQ(0, Call(dispidGetFrame2HBitmap, {Name(Sandboxed("tone.wav")), COleVariant(1.0)}).lVal);
}

TEST_F(MediaTest, ReleasePictureBoxDeletesThePicturesBitmap) {
  COleVariant picture = Call(dispidGetFrame2Picture, {Name(Sandboxed("coloured.avi")), COleVariant(0.5)});
  ASSERT_NE(nullptr, picture.pdispVal);
  ComPtr<IPicture> held;
  ASSERT_EQ(S_OK, picture.pdispVal->QueryInterface(IID_IPicture, held.putVoid()));
  OLE_HANDLE handle = 0;
  ASSERT_EQ(S_OK, held->get_Handle(&handle));
  BITMAP bm{};
  ASSERT_NE(0, GetObject(reinterpret_cast<HBITMAP>(UINT_PTR(handle)), sizeof bm, &bm));
  Call(dispidReleasePictureBox, {picture});
  EXPECT_EQ(0, GetObject(reinterpret_cast<HBITMAP>(UINT_PTR(handle)), sizeof bm, &bm));
}

TEST_F(MediaTest, TimesPastTheEndAndBadRequestsGiveNothingAndWriteNothing) {
  const std::string clip = Sandboxed("coloured.avi");
  EXPECT_EQ(0, Call(dispidGetFrame2HBitmap, {Name(clip), COleVariant(4.0)}).lVal);
  EXPECT_EQ(0, Call(dispidGetFrame2HBitmap, {Name(clip), COleVariant(60.0)}).lVal);
  EXPECT_EQ(0, Call(dispidGetFrame2HBitmap, {Name(""), COleVariant(1.0)}).lVal);
  const std::string nowhere = Sandboxed("no/such/folder/frame.png");
  EXPECT_FALSE(GrabToFile(clip, 1.0, nowhere, 2));
  const std::string late = Sandboxed("late.png");
  EXPECT_FALSE(GrabToFile(clip, 5.0, late, 2));
  EXPECT_TRUE(Magic(late, 1).empty());
  EXPECT_FALSE(CallBool(dispidGetFrameBySize, {Name(clip), COleVariant(1.0), Name(Sandboxed("flat.png")),
                                               COleVariant(LONG(0)), COleVariant(LONG(10)), COleVariant(short(2))}));
  COleVariant none = Call(dispidGetFrame2Picture, {Name(clip), COleVariant(9.0)});
  EXPECT_EQ(nullptr, none.pdispVal);
  // The frame-range grabbers do nothing.
  EXPECT_FALSE(CallBool(dispidFrameGrabber, {Name(clip), COleVariant(LONG(0)), COleVariant(LONG(5)),
                                             COleVariant(short(1)), Name(testing_support::SandboxDir())}));
  Call(dispidStopFrameGrabber);
}

}  // namespace
