// The main dialog's face: a dark title bar, the file list and the preview side by side on two
// cards, and the output settings with the convert button on a third card below.
#include <string>

#include "description.h"
#include "faces.h"

namespace {

using look::State;
using D = Description;

constexpr int kWidth = 640, kHeight = 490, kCorner = 12, kTitleHeight = 44;
constexpr int kCaption = 11;  // caption pixels: the 8-point labels of the description

constexpr Box kIcon{14, 10, 38, 34};
constexpr Box kMinimize{560, 8, 594, 36};
constexpr Box kExit{596, 8, 630, 36};

constexpr Box kFilesCard{12, 56, 272, 336};
constexpr Box kList{22, 84, 262, 292};
constexpr Box kAdd{22, 300, 68, 326};
constexpr Box kRemove{72, 300, 142, 326};
constexpr Box kClear{146, 300, 200, 326};
constexpr Box kUp{206, 300, 232, 326};
constexpr Box kDown{236, 300, 262, 326};

constexpr Box kPreviewCard{284, 56, 628, 336};
constexpr Box kVideo{296, 84, 616, 264};
constexpr Box kSlider{296, 272, 616, 288};
constexpr int kThumb = 16, kGrooveHeight = 6;
constexpr Box kPlay{296, 294, 334, 322};
constexpr Box kPause{338, 294, 376, 322};
constexpr Box kStop{380, 294, 418, 322};
constexpr Box kTime{488, 300, 616, 316};

constexpr Box kOutputCard{12, 348, 628, 478};
constexpr Box kModeLabel{24, 364, 232, 380};
constexpr Box kBatch{24, 382, 108, 406};
constexpr Box kMerge{112, 382, 196, 406};
constexpr Box kOutputLabel{24, 416, 232, 432};
constexpr Box kOutputEdit{24, 436, 232, 460};
constexpr Box kBrowse{238, 435, 300, 461};
constexpr Box kProfileLabel{316, 364, 440, 380};
constexpr Box kEditProfiles{446, 361, 496, 381};
constexpr Box kCombo{316, 384, 496, 474};
constexpr int kComboButtonWidth = 22, kComboButtonHeight = 24;
constexpr Box kConvert{512, 374, 616, 454};

constexpr int kScrollWidth = 14;

Canvas DrawFace(const look::Fonts& fonts) {
  const Shape window = RoundRect(0, 0, kWidth, kHeight, kCorner);
  Canvas face(kWidth, kHeight, look::kBodyTop);
  face.Fill(window, VerticalGradient(look::kBodyTop, look::kBodyBottom, 0, kHeight));
  face.Fill(Intersection(window, RoundRect(-1, -1, kWidth + 1, kTitleHeight, 0)),
            VerticalGradient(look::kTitleTop, look::kTitleBottom, 0, kTitleHeight));
  face.Fill(Line(0, kTitleHeight - 0.5f, kWidth, kTitleHeight - 0.5f, 1), Solid(Hex(0x020617)), 0.6f);

  // Title: the program's name and what it is, beside the icon element.
  const int nameSize = 15, subtitleSize = 12;
  fonts.bold.Draw(face, "Corvane", nameSize, 46, 13, look::kTitleText);
  const int subtitleX = 46 + fonts.bold.Width("Corvane", nameSize) + 8;
  fonts.regular.Draw(face, "Video Converter", subtitleSize, subtitleX,
                     13 + fonts.bold.Ascent(nameSize) - fonts.regular.Ascent(subtitleSize), look::kTitleMuted);

  look::Card(face, kFilesCard);
  look::Card(face, kPreviewCard);
  look::Card(face, kOutputCard);
  fonts.bold.Draw(face, "Input files", 12, kFilesCard.left + 12, kFilesCard.top + 8, look::kHeading);
  fonts.bold.Draw(face, "Preview", 12, kPreviewCard.left + 12, kPreviewCard.top + 8, look::kHeading);

  // The file list's frame; the list paints inside it, its scroll bar at the right.
  face.Fill(Outline(RoundRect(kList.left - 1, kList.top - 1, kList.right + 1, kList.bottom + 1, 2), 1),
            Solid(look::kFieldBorder));

  // Where the engine shows the picture, until it does.
  face.Fill(RoundRect(kVideo.left, kVideo.top, kVideo.right, kVideo.bottom, 4),
            VerticalGradient(Hex(0x111827), look::kVideo, kVideo.top, kVideo.bottom));
  const float vx = (kVideo.left + kVideo.right) / 2.0f, vy = (kVideo.top + kVideo.bottom) / 2.0f;
  face.Fill(Outline(Circle(vx, vy, 22), 2), Solid(Hex(0x334155)));
  look::PlayIcon(face, vx + 2, vy, 18, Hex(0x334155));

  // The empty groove of the position slider; the channel bitmap is its filled part.
  const float grooveTop = kSlider.top + (kThumb - kGrooveHeight) / 2.0f;
  face.Fill(RoundRect(kSlider.left, grooveTop, kSlider.right, grooveTop + kGrooveHeight, kGrooveHeight / 2.0f),
            Solid(look::kGroove));

  // Output card: two columns of fields and the convert button, divided by faint lines.
  for (int x : {308, 504})
    face.Fill(Line(x + 0.5f, kOutputCard.top + 14, x + 0.5f, kOutputCard.bottom - 14, 1), Solid(look::kGroove));
  fonts.regular.Draw(face, "Profile", kCaption, kProfileLabel.left, kProfileLabel.top, look::kMuted);

  face.Fill(Outline(window, 1), Solid(Hex(0x334155)), 0.85f);
  face.KeyOutside(window, 0.5f);
  return face;
}

// A secondary button with an optional icon before its caption.
Canvas TextButton(const Canvas& face, const look::Fonts& fonts, const Box& box, const std::string& caption,
                  void (*icon)(Canvas&, float, float, float, Colour) = nullptr) {
  const int iconSize = 8, gap = 5;
  const int textWidth = fonts.regular.Width(caption, kCaption);
  const int contentWidth = textWidth + (icon ? iconSize + gap : 0);
  look::CheckFits(fonts.regular, caption, kCaption, box.Width() - 10 - (icon ? iconSize + gap : 0));
  return look::StateStrip(face, box, [&](Canvas& c, State state) {
    look::SecondaryButton(c, state);
    const Colour ink = look::SecondaryInk(state);
    const int down = look::PressOffset(state);
    int x = (c.Width() - contentWidth) / 2;
    if (icon) {
      icon(c, x + iconSize / 2.0f, c.Height() / 2.0f - 0.5f + down, iconSize, ink);
      x += iconSize + gap;
    }
    fonts.regular.DrawCentred(c, caption, kCaption, Box{x, down, x + textWidth, c.Height() - 1 + down}, ink);
  });
}

using Glyph = void (*)(Canvas& c, float cx, float cy, float size, Colour colour, State state);

Canvas GlyphButton(const Canvas& face, const Box& box, float size, Glyph glyph) {
  return look::StateStrip(face, box, [&](Canvas& c, State state) {
    look::SecondaryButton(c, state);
    glyph(c, c.Width() / 2.0f, c.Height() / 2.0f - 0.5f + look::PressOffset(state), size, look::SecondaryInk(state),
          state);
  });
}

Canvas TitleGlyphButton(const Canvas& face, const Box& box, bool closes) {
  return look::StateStrip(face, box, [&](Canvas& c, State state) {
    look::TitleButton(c, state, closes);
    const Colour ink = state == State::Disabled ? Hex(0x475569)
                       : state == State::Normal ? Hex(0xCBD5E1)
                                                : look::kTitleText;
    const float cx = c.Width() / 2.0f, cy = c.Height() / 2.0f;
    if (closes)
      look::CrossIcon(c, cx, cy, 9, ink);
    else
      look::MinusIcon(c, cx, cy + 1, 10, ink);
  });
}

Canvas OptionStrip(const Canvas& face, const look::Fonts& fonts, const Box& box, const std::string& caption) {
  look::CheckFits(fonts.regular, caption, kCaption, box.Width() - 30);
  return look::StateStrip(face, box, [&](Canvas& c, State state) {
    const float cx = 11, cy = c.Height() / 2.0f, r = 7;
    const bool checked = state == State::Pressed;
    const Colour ring = state == State::Disabled           ? look::kGroove
                        : checked || state == State::Hover ? look::kAccent
                                                           : Hex(0x94A3B8);
    c.Fill(Circle(cx, cy, r), Solid(state == State::Disabled ? look::kFieldBack : look::kCard));
    c.Fill(Outline(Circle(cx, cy, r), checked ? 2.0f : 1.5f), Solid(ring));
    if (checked) c.Fill(Circle(cx, cy, 3.2f), Solid(look::kAccent));
    const Colour ink = state == State::Disabled ? look::kDisabled : look::kText;
    fonts.regular.DrawCentred(c, caption, kCaption, Box{24, 0, 24 + fonts.regular.Width(caption, kCaption), c.Height()},
                              ink);
  });
}

Canvas ConvertButton(const Canvas& face, const look::Fonts& fonts) {
  const int textSize = 14;
  look::CheckFits(fonts.bold, "Convert", textSize, kConvert.Width() - 12);
  return look::StateStrip(face, kConvert, [&](Canvas& c, State state) {
    look::PrimaryButton(c, state);
    const int down = look::PressOffset(state);
    const Colour ink = state == State::Disabled ? look::kFieldBack : Hex(0xFFFFFF);
    const float cx = c.Width() / 2.0f, cy = 28.0f + down;
    // Two chevrons pointing onward: files going through.
    c.Fill(Union(Line(cx - 9, cy - 7, cx - 2, cy, 2.4f), Line(cx - 2, cy, cx - 9, cy + 7, 2.4f)), Solid(ink));
    c.Fill(Union(Line(cx + 1, cy - 7, cx + 8, cy, 2.4f), Line(cx + 8, cy, cx + 1, cy + 7, 2.4f)), Solid(ink));
    fonts.bold.DrawCentred(c, "Convert", textSize, Box{0, 42 + down, c.Width(), 64 + down}, ink);
  });
}

Canvas EditProfilesButton(const Canvas& face, const look::Fonts& fonts) {
  const std::string caption = "Edit";
  const int textWidth = fonts.regular.Width(caption, kCaption), iconSize = 10, gap = 4;
  look::CheckFits(fonts.regular, caption, kCaption, kEditProfiles.Width() - 8 - iconSize - gap);
  return look::StateStrip(face, kEditProfiles, [&](Canvas& c, State state) {
    look::SecondaryButton(c, state);
    const Colour ink = look::SecondaryInk(state);
    const int down = look::PressOffset(state);
    int x = (c.Width() - textWidth - iconSize - gap) / 2;
    look::GearIcon(c, x + iconSize / 2.0f, c.Height() / 2.0f - 0.5f + down, iconSize, ink,
                   state == State::Pressed ? Hex(0xE2E8F0)
                   : state == State::Hover ? Hex(0xF1F5F9)
                                           : look::kCard);
    x += iconSize + gap;
    fonts.regular.DrawCentred(c, caption, kCaption, Box{x, down, x + textWidth, c.Height() - 1 + down}, ink);
  });
}

Canvas SliderChannel(const Canvas& face) {
  const int top = kSlider.top + (kThumb - kGrooveHeight) / 2;
  Canvas channel = face.Crop(Box{kSlider.left, top, kSlider.right, top + kGrooveHeight});
  // Square at the right: that end is always under the thumb.
  channel.Fill(RoundRect(0, 0, channel.Width() + kGrooveHeight, kGrooveHeight, kGrooveHeight / 2.0f),
               VerticalGradient(look::kAccentLight, look::kAccent, 0, kGrooveHeight));
  return channel;
}

Canvas SliderThumb(bool active) {
  Canvas thumb(kThumb, kThumb, look::kCard);
  const float c = kThumb / 2.0f;
  thumb.Fill(Circle(c, c + 0.5f, c - 0.5f), Solid(Hex(0x0F172A)), 0.18f);
  thumb.Fill(Circle(c, c, c - 1), Solid(active ? look::kAccent : look::kCard));
  thumb.Fill(Outline(Circle(c, c, c - 1), 2), Solid(active ? look::kAccentDark : look::kAccent));
  if (active) thumb.Fill(Circle(c, c, 2.5f), Solid(look::kCard));
  thumb.KeyOutside(Circle(c, c, c), 0.25f);
  return thumb;
}

// The list's scroll bar: a light channel, chevrons at the ends and a rounded thumb.
Canvas ScrollPicture(int height, const std::function<void(Canvas&)>& draw, bool pressed) {
  Canvas picture(kScrollWidth, height, pressed ? look::kGroove : Hex(0xF1F5F9));
  picture.Fill(Line(0.5f, 0, 0.5f, static_cast<float>(height), 1), Solid(look::kGroove));
  draw(picture);
  return picture;
}

Canvas ComboButtonStrip() {
  const Box box{0, 0, kComboButtonWidth, kComboButtonHeight};
  const Canvas back(kComboButtonWidth, kComboButtonHeight, look::kCard);
  return look::StateStrip(back, box, [](Canvas& c, State state) {
    const Colour fill = state == State::Hover     ? Hex(0xF1F5F9)
                        : state == State::Pressed ? look::kGroove
                                                  : look::kFieldBack;
    c.Fill(RoundRect(0, 0, c.Width(), c.Height(), 0), Solid(fill));
    c.Fill(Outline(RoundRect(0, 0, c.Width(), c.Height(), 0), 1), Solid(look::kFieldBorder));
    const Colour ink = state == State::Disabled ? look::kFieldBorder
                       : state == State::Hover  ? look::kAccent
                                                : Hex(0x475569);
    look::ChevronIcon(c, c.Width() / 2.0f, c.Height() / 2.0f + look::PressOffset(state), 8, false, ink, 1.8f);
  });
}

}  // namespace

std::vector<PackedFile> MainFace(const look::Fonts& fonts) {
  const Canvas face = DrawFace(fonts);
  FaceBitmaps bitmaps;
  Description d;

  d.Section("Main");
  d.Key("Screen", {bitmaps.Add("Main.bmp", face)});
  d.Section("COLOR");
  d.Key("TRANSPARENT", {D::Colour(kKeyColour)});
  d.Section("CONTROL");
  d.Key("CONTROL", {D::Rect(kVideo)});

  Canvas icon = face.Crop(kIcon);
  look::Logo(icon, 0, 0, static_cast<float>(kIcon.Width()));
  icon.KeyOutside(look::LogoShape(0, 0, static_cast<float>(kIcon.Width())), 0.25f);
  d.Section("ICON");
  d.Key("ICON", {bitmaps.Add("Icon.bmp", icon), D::Rect(kIcon)});

  auto button = [&](const std::string& name, const std::string& file, const Canvas& strip, const Box& box,
                    const std::string& tip) {
    d.Entry({name, bitmaps.Add(file, strip), D::Rect(box), tip, "F"});
  };
  Glyph up = [](Canvas& c, float x, float y, float s, Colour ink, State) { look::ArrowIcon(c, x, y, s, true, ink); };
  Glyph down = [](Canvas& c, float x, float y, float s, Colour ink, State) { look::ArrowIcon(c, x, y, s, false, ink); };
  Glyph play = [](Canvas& c, float x, float y, float s, Colour ink, State state) {
    look::PlayIcon(c, x + 1, y, s, state == State::Normal ? look::kAccent : ink);
  };
  Glyph pause = [](Canvas& c, float x, float y, float s, Colour ink, State) { look::PauseIcon(c, x, y, s, ink); };
  Glyph stop = [](Canvas& c, float x, float y, float s, Colour ink, State) { look::StopIcon(c, x, y, s, ink); };
  d.Section("BUTTONINFO");
  button("BUTTON_EXIT", "BtnExit.bmp", TitleGlyphButton(face, kExit, true), kExit, "Close");
  button("BUTTON_MINIMIZE", "BtnMinimize.bmp", TitleGlyphButton(face, kMinimize, false), kMinimize, "Minimise");
  button("BUTTON_ADD", "BtnAdd.bmp", TextButton(face, fonts, kAdd, "Add", look::PlusIcon), kAdd, "Add files");
  button("BUTTON_DEL", "BtnRemove.bmp", TextButton(face, fonts, kRemove, "Remove", look::MinusIcon), kRemove,
         "Remove the selected files");
  button("BUTTON_DELALL", "BtnClear.bmp", TextButton(face, fonts, kClear, "Clear", look::CrossIcon), kClear,
         "Remove every file");
  button("BUTTON_UP", "BtnUp.bmp", GlyphButton(face, kUp, 11, up), kUp, "Move the file up");
  button("BUTTON_DOWN", "BtnDown.bmp", GlyphButton(face, kDown, 11, down), kDown, "Move the file down");
  button("BUTTON_PLAY", "BtnPlay.bmp", GlyphButton(face, kPlay, 12, play), kPlay, "Play");
  button("BUTTON_PAUSE", "BtnPause.bmp", GlyphButton(face, kPause, 11, pause), kPause, "Pause");
  button("BUTTON_STOP", "BtnStop.bmp", GlyphButton(face, kStop, 11, stop), kStop, "Stop");
  button("BUTTON_BROWSE", "BtnBrowse.bmp", TextButton(face, fonts, kBrowse, "Browse"), kBrowse,
         "Choose where the output goes");
  button("BUTTON_EDIT", "BtnEdit.bmp", EditProfilesButton(face, fonts), kEditProfiles, "Edit the profiles");
  button("BUTTON_CONVERT", "BtnConvert.bmp", ConvertButton(face, fonts), kConvert, "Convert the files");

  d.Section("SLIDERINFO");
  d.Entry({"SLIDER_PROGRESS", bitmaps.Add("SliderChannel.bmp", SliderChannel(face)),
           bitmaps.Add("SliderThumb.bmp", SliderThumb(false)), bitmaps.Add("SliderThumbActive.bmp", SliderThumb(true)),
           D::Rect(kSlider), "H", "0", "Position"});

  d.Section("OPTIONINFO");
  d.Entry({"OPTION_BATCH", bitmaps.Add("OptBatch.bmp", OptionStrip(face, fonts, kBatch, "Batch")), D::Rect(kBatch),
           "Convert each file on its own", "F", "T"});
  d.Entry({"OPTION_MERGE", bitmaps.Add("OptMerge.bmp", OptionStrip(face, fonts, kMerge, "Merge")), D::Rect(kMerge),
           "Join the files into one", "F", "F"});

  const std::string labelFont = "DejaVu Sans", labelPoints = "8";
  look::CheckFits(fonts.regular, "00:00:00/00:00:00", kCaption, kTime.Width());
  d.Section("LABELINFO");
  d.Entry({"LABEL_TIME", D::Rect(kTime), "00:00:00/00:00:00", labelFont, labelPoints, D::Colour(Hex(0x475569))});
  d.Entry(
      {"LABEL_OUTPUTFILE", D::Rect(kOutputLabel), "Output Folder", labelFont, labelPoints, D::Colour(look::kMuted)});
  d.Entry({"LABEL_MODE", D::Rect(kModeLabel), "Conversion mode", labelFont, labelPoints, D::Colour(look::kMuted)});

  d.Section("EDITBOXINFO");
  d.Entry({"EDIT_OUTPUT", D::Rect(kOutputEdit), D::Colour(look::kFieldBack), D::Colour(Hex(0x334155)),
           D::Colour(look::kFieldBorder)});

  std::vector<std::string> scrollBar;
  auto chevron = [](bool up, Colour ink) {
    return [up, ink](Canvas& c) { look::ChevronIcon(c, kScrollWidth / 2.0f, kScrollWidth / 2.0f, 7, up, ink, 1.5f); };
  };
  auto thumb = [](Colour ink) {
    return [ink](Canvas& c) { c.Fill(RoundRect(3.5f, 2, kScrollWidth - 2.5f, c.Height() - 2.0f, 3.5f), Solid(ink)); };
  };
  scrollBar.push_back(bitmaps.Add("ScrollChannel.bmp", ScrollPicture(
                                                           32, [](Canvas&) {}, false)));
  scrollBar.push_back(bitmaps.Add("ScrollUp.bmp", ScrollPicture(kScrollWidth, chevron(true, look::kMuted), false)));
  scrollBar.push_back(
      bitmaps.Add("ScrollUpPressed.bmp", ScrollPicture(kScrollWidth, chevron(true, look::kText), true)));
  scrollBar.push_back(bitmaps.Add("ScrollDown.bmp", ScrollPicture(kScrollWidth, chevron(false, look::kMuted), false)));
  scrollBar.push_back(
      bitmaps.Add("ScrollDownPressed.bmp", ScrollPicture(kScrollWidth, chevron(false, look::kText), true)));
  scrollBar.push_back(bitmaps.Add("ScrollThumb.bmp", ScrollPicture(32, thumb(look::kFieldBorder), false)));
  scrollBar.push_back(bitmaps.Add("ScrollThumbPressed.bmp", ScrollPicture(32, thumb(look::kDisabled), false)));

  const std::vector<std::string> listColours{D::Colour(look::kCard), D::Colour(look::kText),
                                             D::Colour(look::kSelection), D::Colour(look::kSelectionText)};
  std::vector<std::string> list{"LIST_FILES", D::Rect(kList)};
  list.insert(list.end(), listColours.begin(), listColours.end());
  list.insert(list.end(), scrollBar.begin(), scrollBar.end());
  d.Section("LISTBOXINFO");
  d.Entry(list);

  std::vector<std::string> combo{
      "COMBO_PROFILE",        D::Rect(kCombo),        bitmaps.Add("ComboButton.bmp", ComboButtonStrip()),
      D::Colour(look::kCard), D::Colour(look::kText), D::Colour(look::kFieldBorder)};
  combo.insert(combo.end(), listColours.begin(), listColours.end());
  combo.insert(combo.end(), scrollBar.begin(), scrollBar.end());
  d.Section("COMBOBOXINFO");
  d.Entry(combo);

  return bitmaps.After("Skin.ini", d.Text());
}
