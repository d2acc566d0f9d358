// The progress window's face: a small dark title, a rounded track that the progress bar fills
// with tiles, and the cancel button.
#include <string>

#include "description.h"
#include "faces.h"

namespace {

using look::State;
using D = Description;

constexpr int kWidth = 360, kHeight = 120, kCorner = 12, kTitleHeight = 34;
constexpr Box kTrack{24, 56, 336, 70};
constexpr Box kBar{27, 59, 333, 67};  // inside the track, clear of its rounded ends
constexpr int kTileWidth = 6;
constexpr Box kCancel{256, 80, 336, 106};

Canvas DrawFace(const look::Fonts& fonts) {
  const Shape window = RoundRect(0, 0, kWidth, kHeight, kCorner);
  Canvas face(kWidth, kHeight, look::kBodyTop);
  face.Fill(window, VerticalGradient(look::kBodyTop, look::kBodyBottom, 0, kHeight));
  face.Fill(Intersection(window, RoundRect(-1, -1, kWidth + 1, kTitleHeight, 0)),
            VerticalGradient(look::kTitleTop, look::kTitleBottom, 0, kTitleHeight));
  face.Fill(Line(0, kTitleHeight - 0.5f, kWidth, kTitleHeight - 0.5f, 1), Solid(Hex(0x020617)), 0.6f);
  look::Logo(face, 14, 8, 18);
  fonts.bold.Draw(face, "Converting", 13, 40, 9, look::kTitleText);

  const Shape track = RoundRect(kTrack.left, kTrack.top, kTrack.right, kTrack.bottom, kTrack.Height() / 2.0f);
  face.Fill(track, Solid(look::kGroove));
  face.Fill(Outline(track, 1), Solid(Hex(0xCBD5E1)), 0.7f);
  fonts.regular.Draw(face, "This may take a while.", 11, kTrack.left, kCancel.top + 6, look::kMuted);

  face.Fill(Outline(window, 1), Solid(Hex(0x334155)), 0.85f);
  face.KeyOutside(window, 0.5f);
  return face;
}

Canvas Tile() {
  Canvas tile(kTileWidth, kBar.Height(), look::kAccent);
  tile.Fill(RoundRect(-1, 0, kTileWidth + 1, static_cast<float>(kBar.Height()), 0),
            VerticalGradient(Hex(0x60A5FA), look::kAccent, 0, static_cast<float>(kBar.Height())));
  return tile;
}

}  // namespace

std::vector<PackedFile> ProgressFace(const look::Fonts& fonts) {
  const Canvas face = DrawFace(fonts);
  FaceBitmaps bitmaps;
  Description d;
  d.Section("Main");
  d.Key("Screen", {bitmaps.Add("ConvertFace.bmp", face)});
  d.Section("COLOR");
  d.Key("TRANSPARENT", {D::Colour(kKeyColour)});

  look::CheckFits(fonts.regular, "Cancel", 11, kCancel.Width() - 10);
  const Canvas cancel = look::StateStrip(face, kCancel, [&](Canvas& c, State state) {
    look::SecondaryButton(c, state);
    const int down = look::PressOffset(state);
    fonts.regular.DrawCentred(c, "Cancel", 11, Box{0, down, c.Width(), c.Height() - 1 + down},
                              look::SecondaryInk(state));
  });
  d.Section("BUTTONINFO");
  d.Entry({"BUTTON_CANCEL", bitmaps.Add("BtnCancel.bmp", cancel), D::Rect(kCancel), "Stop converting", "F"});

  d.Section("PROGRESSINFO");
  d.Entry({"PROGRESS_CONVERT", D::Rect(kBar), bitmaps.Add("ProgressTile.bmp", Tile())});
  return bitmaps.After("ConvertSkin.ini", d.Text());
}
