#include "text_painter.h"

#include <memory>
#include <string>

#include "ansi_text.h"

namespace overlay_filter {
namespace {

Gdiplus::Color WithAlpha(BYTE alpha, Rgb c) { return Gdiplus::Color(alpha, c.r, c.g, c.b); }

}  // namespace

std::optional<TextExtent> DrawOverlayText(Gdiplus::Graphics& graphics, const OverlaySettings& s, int frameHeight) {
  const int mode = s.brushMode;
  if (mode < LOGO_TEXT_SOLID || mode > LOGO_TEXT_TEXTURE) return std::nullopt;
  const std::u16string text = WideFromAnsi(s.text.data());
  const std::u16string face = WideFromAnsi(s.fontFace.data());
  const INT length = INT(text.size());
  const Gdiplus::RectF layout(Gdiplus::REAL(s.textX), Gdiplus::REAL(s.textY), 1024.0f, Gdiplus::REAL(frameHeight));
  const Gdiplus::StringFormat format(0, LANG_NEUTRAL);

  // The named family, else the generic sans-serif one; the outline modes trace the named family.
  Gdiplus::FontFamily family(face.c_str());
  const Gdiplus::FontFamily* fontFamily = family.GetLastStatus() == Gdiplus::Ok ? &family
                                                                                : Gdiplus::FontFamily::GenericSansSerif();
  auto font = std::make_unique<Gdiplus::Font>(fontFamily, Gdiplus::REAL(s.fontSize), s.fontStyle, Gdiplus::UnitPixel);
  if (font->GetLastStatus() != Gdiplus::Ok)
    font = std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(), Gdiplus::REAL(s.fontSize),
                                           s.fontStyle, Gdiplus::UnitPixel);

  const BYTE alpha = s.textAlpha;
  switch (mode) {
    case LOGO_TEXT_SOLID: {
      Gdiplus::SolidBrush brush(WithAlpha(alpha, s.textColour));
      graphics.DrawString(text.c_str(), length, font.get(), layout, &format, &brush);
      break;
    }
    case LOGO_TEXT_OUTLINE:
    case LOGO_TEXT_FILLED_OUTLINE: {
      Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
      path.AddString(text.c_str(), length, &family, s.fontStyle, Gdiplus::REAL(s.fontSize), layout, &format);
      if (mode == LOGO_TEXT_FILLED_OUTLINE) {
        Gdiplus::SolidBrush fill(WithAlpha(alpha, s.outlineFill));
        graphics.FillPath(&fill, &path);
      }
      Gdiplus::Pen pen(WithAlpha(alpha, s.outlineBorder), 1.0f);
      graphics.DrawPath(&pen, &path);
      break;
    }
    case LOGO_TEXT_HATCH: {
      Gdiplus::HatchBrush brush(Gdiplus::HatchStyle(s.hatchStyle), WithAlpha(alpha, s.hatchFore),
                                WithAlpha(alpha, s.hatchBack));
      graphics.DrawString(text.c_str(), length, font.get(), layout, &format, &brush);
      break;
    }
    case LOGO_TEXT_TEXTURE: {
      std::unique_ptr<Gdiplus::Image> texture(Gdiplus::Image::FromFile(WideFromAnsi(s.texturePath.data()).c_str()));
      Gdiplus::TextureBrush brush(texture.get(), Gdiplus::WrapModeTile);
      graphics.DrawString(text.c_str(), length, font.get(), layout, &format, &brush);
      break;
    }
  }

  Gdiplus::RectF box;
  graphics.MeasureString(text.c_str(), length, font.get(), layout, &box);
  return TextExtent{int(box.Width), int(box.Height)};
}

}  // namespace overlay_filter
