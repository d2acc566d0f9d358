#pragma once
// The default skin's look: its colours, the four states of its controls and its small icons.
#include <functional>

#include "canvas.h"
#include "typeface.h"

namespace look {

inline constexpr Colour kTitleTop = Hex(0x1E293B);
inline constexpr Colour kTitleBottom = Hex(0x0F172A);
inline constexpr Colour kTitleText = Hex(0xF8FAFC);
inline constexpr Colour kTitleMuted = Hex(0x94A3B8);
inline constexpr Colour kBodyTop = Hex(0xF1F5F9);
inline constexpr Colour kBodyBottom = Hex(0xE6EBF1);
inline constexpr Colour kCard = Hex(0xFFFFFF);
inline constexpr Colour kCardBorder = Hex(0xDCE3EB);
inline constexpr Colour kHeading = Hex(0x0F172A);
inline constexpr Colour kText = Hex(0x1E293B);
inline constexpr Colour kMuted = Hex(0x64748B);
inline constexpr Colour kFieldBorder = Hex(0xCBD5E1);
inline constexpr Colour kFieldBack = Hex(0xF8FAFC);
inline constexpr Colour kGroove = Hex(0xE2E8F0);
inline constexpr Colour kAccent = Hex(0x2563EB);
inline constexpr Colour kAccentLight = Hex(0x3B82F6);
inline constexpr Colour kAccentDark = Hex(0x1D4ED8);
inline constexpr Colour kSelection = Hex(0xDBEAFE);
inline constexpr Colour kSelectionText = Hex(0x1E3A8A);
inline constexpr Colour kVideo = Hex(0x0B1220);
inline constexpr Colour kDisabled = Hex(0x94A3B8);

struct Fonts {
  Typeface regular{"DejaVu Sans"};
  Typeface bold{"DejaVu Sans:bold"};
};

enum class State { Normal, Hover, Pressed, Disabled };

// The four states side by side (normal, hover, pressed, disabled), each one drawn over the face
// under box, in the state's own coordinates (0, 0)-(width, height).
Canvas StateStrip(const Canvas& face, const Box& box, const std::function<void(Canvas&, State)>& draw);

// Button backgrounds filling the canvas.
void SecondaryButton(Canvas& c, State state);
void PrimaryButton(Canvas& c, State state);
void TitleButton(Canvas& c, State state, bool closes);
// The colour of a button's caption and glyphs in a state.
Colour SecondaryInk(State state);
// Glyphs move down a pixel while pressed.
int PressOffset(State state);

// A white card with a soft shadow.
void Card(Canvas& face, const Box& box);

// Icons centred on (cx, cy), size pixels across.
void PlayIcon(Canvas& c, float cx, float cy, float size, Colour colour);
void PauseIcon(Canvas& c, float cx, float cy, float size, Colour colour);
void StopIcon(Canvas& c, float cx, float cy, float size, Colour colour);
void PlusIcon(Canvas& c, float cx, float cy, float size, Colour colour);
void MinusIcon(Canvas& c, float cx, float cy, float size, Colour colour);
void CrossIcon(Canvas& c, float cx, float cy, float size, Colour colour);
// A chevron pointing up or down.
void ChevronIcon(Canvas& c, float cx, float cy, float size, bool up, Colour colour, float width = 1.6f);
// An arrow pointing up or down.
void ArrowIcon(Canvas& c, float cx, float cy, float size, bool up, Colour colour);
void GearIcon(Canvas& c, float cx, float cy, float size, Colour colour, Colour hole);

// The program's mark: a rounded square in the accent colours with a play sign.
Shape LogoShape(float left, float top, float size);
void Logo(Canvas& c, float left, float top, float size);

// Fails when text does not fit a width.
void CheckFits(const Typeface& face, const std::string& text, int pixels, int width);

}  // namespace look
