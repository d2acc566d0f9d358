#include "look.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace look {

Canvas StateStrip(const Canvas& face, const Box& box, const std::function<void(Canvas&, State)>& draw) {
  Canvas strip(box.Width() * 4, box.Height(), Colour{});
  int i = 0;
  for (State state : {State::Normal, State::Hover, State::Pressed, State::Disabled}) {
    Canvas part = face.Crop(box);
    draw(part, state);
    strip.Paste(part, box.Width() * i++, 0);
  }
  return strip;
}

void SecondaryButton(Canvas& c, State state) {
  const Colour back = state == State::Hover      ? Hex(0xF1F5F9)
                      : state == State::Pressed  ? Hex(0xE2E8F0)
                      : state == State::Disabled ? Hex(0xF8FAFC)
                                                 : kCard;
  const Colour border = state == State::Hover      ? Hex(0x93C5FD)
                        : state == State::Pressed  ? Hex(0x94A3B8)
                        : state == State::Disabled ? Hex(0xE2E8F0)
                                                   : kFieldBorder;
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  if (state != State::Pressed && state != State::Disabled)
    c.Fill(RoundRect(0.5f, 1.0f, w - 0.5f, h, 6), Solid(Hex(0x0F172A)), 0.08f);  // shadow
  c.Fill(RoundRect(0.5f, 0.5f, w - 0.5f, h - 1.0f, 6), Solid(back));
  c.Fill(Outline(RoundRect(0.5f, 0.5f, w - 0.5f, h - 1.0f, 6), 1.0f), Solid(border));
}

void PrimaryButton(Canvas& c, State state) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  Colour top = kAccentLight, bottom = kAccent;
  if (state == State::Hover) top = Hex(0x60A5FA), bottom = kAccentLight;
  if (state == State::Pressed) top = kAccentDark, bottom = Hex(0x1E40AF);
  if (state == State::Disabled) top = bottom = Hex(0xCBD5E1);
  if (state != State::Pressed && state != State::Disabled)
    c.Fill(RoundRect(0.5f, 1.5f, w - 0.5f, h, 9), Solid(Hex(0x1E3A8A)), 0.25f);  // shadow
  const Shape body = RoundRect(0.5f, 0.5f, w - 0.5f, h - 1.5f, 9);
  c.Fill(body, VerticalGradient(top, bottom, 0, h));
  if (state != State::Disabled) c.Fill(Outline(body, 1.0f), Solid(Hex(0x1E40AF)), 0.45f);
  // A faint light along the top edge.
  if (state == State::Normal || state == State::Hover)
    c.Fill(Outline(RoundRect(1.5f, 1.5f, w - 1.5f, h - 2.5f, 8), 1.0f), Solid(Hex(0xFFFFFF)), 0.12f);
}

void TitleButton(Canvas& c, State state, bool closes) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  const Shape body = RoundRect(1, 1, w - 1, h - 1, 6);
  if (state == State::Hover) c.Fill(body, Solid(closes ? Hex(0xE11D48) : Hex(0x334155)));
  if (state == State::Pressed) c.Fill(body, Solid(closes ? Hex(0xBE123C) : Hex(0x475569)));
}

Colour SecondaryInk(State state) {
  switch (state) {
    case State::Hover:
      return kAccentDark;
    case State::Pressed:
      return kHeading;
    case State::Disabled:
      return kDisabled;
    default:
      return Hex(0x334155);
  }
}

int PressOffset(State state) { return state == State::Pressed ? 1 : 0; }

void Card(Canvas& face, const Box& box) {
  const float l = static_cast<float>(box.left), t = static_cast<float>(box.top);
  const float r = static_cast<float>(box.right), b = static_cast<float>(box.bottom);
  face.Fill(RoundRect(l - 1, t, r + 1, b + 3, 12), Solid(Hex(0x0F172A)), 0.035f);
  face.Fill(RoundRect(l, t, r, b + 1.5f, 11), Solid(Hex(0x0F172A)), 0.06f);
  const Shape card = RoundRect(l, t, r, b, 10);
  face.Fill(card, Solid(kCard));
  face.Fill(Outline(card, 1.0f), Solid(kCardBorder));
}

void PlayIcon(Canvas& c, float cx, float cy, float size, Colour colour) {
  const float h = size / 2;
  c.Fill(Polygon({{cx - h * 0.75f, cy - h}, {cx + h, cy}, {cx - h * 0.75f, cy + h}}), Solid(colour));
}

void PauseIcon(Canvas& c, float cx, float cy, float size, Colour colour) {
  const float h = size / 2, bar = size * 0.3f;
  c.Fill(RoundRect(cx - h * 0.8f, cy - h, cx - h * 0.8f + bar, cy + h, 1), Solid(colour));
  c.Fill(RoundRect(cx + h * 0.8f - bar, cy - h, cx + h * 0.8f, cy + h, 1), Solid(colour));
}

void StopIcon(Canvas& c, float cx, float cy, float size, Colour colour) {
  const float h = size / 2 * 0.85f;
  c.Fill(RoundRect(cx - h, cy - h, cx + h, cy + h, 2), Solid(colour));
}

void PlusIcon(Canvas& c, float cx, float cy, float size, Colour colour) {
  const float h = size / 2;
  c.Fill(Union(Line(cx - h, cy, cx + h, cy, 1.8f), Line(cx, cy - h, cx, cy + h, 1.8f)), Solid(colour));
}

void MinusIcon(Canvas& c, float cx, float cy, float size, Colour colour) {
  c.Fill(Line(cx - size / 2, cy, cx + size / 2, cy, 1.8f), Solid(colour));
}

void CrossIcon(Canvas& c, float cx, float cy, float size, Colour colour) {
  const float h = size / 2;
  c.Fill(Union(Line(cx - h, cy - h, cx + h, cy + h, 1.6f), Line(cx - h, cy + h, cx + h, cy - h, 1.6f)), Solid(colour));
}

void ChevronIcon(Canvas& c, float cx, float cy, float size, bool up, Colour colour, float width) {
  const float h = size / 2, v = (up ? -1.0f : 1.0f) * size / 4;
  c.Fill(Union(Line(cx - h, cy - v, cx, cy + v, width), Line(cx, cy + v, cx + h, cy - v, width)), Solid(colour));
}

void ArrowIcon(Canvas& c, float cx, float cy, float size, bool up, Colour colour) {
  const float h = size / 2, s = up ? -1.0f : 1.0f;
  const Shape stem = Line(cx, cy - s * h, cx, cy + s * h, 1.8f);
  const Shape head = Union(Line(cx - h * 0.7f, cy + s * h * 0.3f, cx, cy + s * h, 1.8f),
                           Line(cx, cy + s * h, cx + h * 0.7f, cy + s * h * 0.3f, 1.8f));
  c.Fill(Union(stem, head), Solid(colour));
}

void GearIcon(Canvas& c, float cx, float cy, float size, Colour colour, Colour hole) {
  const float r = size / 2;
  Shape gear = Circle(cx, cy, r * 0.72f);
  for (int i = 0; i < 8; ++i) {
    const float angle = static_cast<float>(i) * 3.14159265f / 4;
    const float dx = std::cos(angle), dy = std::sin(angle);
    gear =
        Union(gear, Line(cx + dx * r * 0.5f, cy + dy * r * 0.5f, cx + dx * r * 0.88f, cy + dy * r * 0.88f, r * 0.36f));
  }
  c.Fill(gear, Solid(colour));
  c.Fill(Circle(cx, cy, r * 0.3f), Solid(hole));
}

Shape LogoShape(float left, float top, float size) {
  return RoundRect(left, top, left + size, top + size, size * 0.26f);
}

void Logo(Canvas& c, float left, float top, float size) {
  const Shape mark = LogoShape(left, top, size);
  c.Fill(mark, [=](int x, int y) {
    // A diagonal from the light accent to indigo.
    const float t = ((x + 0.5f - left) + (y + 0.5f - top)) / (2 * size);
    return Mix(Hex(0x38BDF8), Hex(0x4F46E5), t);
  });
  const float cx = left + size * 0.53f, cy = top + size / 2, h = size * 0.22f;
  c.Fill(Polygon({{cx - h * 0.8f, cy - h}, {cx + h, cy}, {cx - h * 0.8f, cy + h}}), Solid(Hex(0xFFFFFF)));
}

void CheckFits(const Typeface& face, const std::string& text, int pixels, int width) {
  if (face.Width(text, pixels) > width)
    throw std::runtime_error("\"" + text + "\" is " + std::to_string(face.Width(text, pixels)) + " pixels wide, " +
                             std::to_string(width) + " fit");
}

}  // namespace look
