// DrawText: lines, word breaks, tabs, '&' prefixes, alignment, end ellipsis, measuring.
#include <algorithm>

#include "last_error.h"
#include "text/font_object.h"
#include "text/text_draw.h"
#include "text/text_units.h"
#include "win32/winfont.h"

namespace win32::text {
namespace {

struct Line {
  std::u32string text;
  std::vector<bool> underlined;  // per character: a prefixed one
  std::vector<int> advances;
  int width = 0;
};

class Layout {
 public:
  Layout(FontFace& face, UINT format) : face_(face), format_(format) {
    tabStop_ = 8 * std::max(1, face.Metrics().aveCharWidth);
  }

  // Splits the text into lines at line breaks (unless single line) and at word breaks.
  std::vector<Line> Lines(const std::u32string& text, int maxWidth) {
    std::vector<Line> lines;
    std::vector<Line> paragraphs;
    Line current;
    for (size_t i = 0; i < text.size(); ++i) {
      char32_t c = text[i];
      if (!(format_ & DT_SINGLELINE) && (c == U'\r' || c == U'\n')) {
        if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
        paragraphs.push_back(std::move(current));
        current = Line{};
        continue;
      }
      if (!(format_ & DT_NOPREFIX) && c == U'&') {
        if (i + 1 >= text.size()) break;  // a lone '&' at the end shows nothing
        ++i;
        bool underline = text[i] != U'&' && !(format_ & DT_HIDEPREFIX);
        current.text += text[i];
        current.underlined.push_back(underline);
        continue;
      }
      current.text += c;
      current.underlined.push_back(false);
    }
    paragraphs.push_back(std::move(current));
    for (Line& p : paragraphs) {
      Measure(p);
      if ((format_ & DT_WORDBREAK) && !(format_ & DT_SINGLELINE))
        Wrap(p, maxWidth, lines);
      else
        lines.push_back(std::move(p));
    }
    return lines;
  }

  // Cuts a line that is too wide and ends it with "...".
  void Ellipsize(Line& line, int maxWidth) {
    if (line.width <= maxWidth) return;
    const std::u32string dots = U"...";
    const int dotsWidth = MeasureRun(face_, dots);
    while (!line.text.empty() && line.width + dotsWidth > maxWidth) {
      line.width -= line.advances.back();
      line.text.pop_back();
      line.advances.pop_back();
      line.underlined.pop_back();
    }
    for (char32_t c : dots) {
      line.text += c;
      line.underlined.push_back(false);
      line.advances.push_back(face_.Advance(c));
    }
    line.width += dotsWidth;
  }

 private:
  // Advances of the line's characters, tabs reaching the next tab stop when expanded.
  void Measure(Line& line) {
    line.advances.clear();
    line.width = 0;
    for (char32_t c : line.text) {
      int a = face_.Advance(c);
      if (c == U'\t' && (format_ & DT_EXPANDTABS)) a = (line.width / tabStop_ + 1) * tabStop_ - line.width;
      line.advances.push_back(a);
      line.width += a;
    }
  }

  Line Slice(const Line& line, size_t from, size_t to) {
    Line out;
    out.text = line.text.substr(from, to - from);
    out.underlined.assign(line.underlined.begin() + std::ptrdiff_t(from), line.underlined.begin() + std::ptrdiff_t(to));
    Measure(out);
    return out;
  }

  // Greedy breaking at blanks; the blanks at a break are dropped. A word wider than the line
  // keeps a line of its own.
  void Wrap(const Line& p, int maxWidth, std::vector<Line>& lines) {
    size_t start = 0;
    const size_t n = p.text.size();
    if (n == 0) {
      lines.push_back(p);
      return;
    }
    while (start < n) {
      size_t end = start;        // end of the text that fits
      size_t lastBreak = start;  // end of the last whole word that fits
      bool haveBreak = false;
      while (end < n) {
        size_t wordEnd = end;
        while (wordEnd < n && p.text[wordEnd] == U' ') ++wordEnd;
        while (wordEnd < n && p.text[wordEnd] != U' ') ++wordEnd;
        Line trial = Slice(p, start, wordEnd);
        if (trial.width > maxWidth && haveBreak) break;
        end = wordEnd;
        lastBreak = wordEnd;
        haveBreak = true;
        if (trial.width > maxWidth) break;
      }
      Line line = Slice(p, start, lastBreak);
      while (!line.text.empty() && line.text.back() == U' ') {
        line.text.pop_back();
        line.underlined.pop_back();
        line.width -= line.advances.back();
        line.advances.pop_back();
      }
      lines.push_back(std::move(line));
      start = lastBreak;
      while (start < n && p.text[start] == U' ') ++start;
    }
  }

  FontFace& face_;
  UINT format_;
  int tabStop_;
};

int DrawTextCommon(HDC hdc, const std::u32string& text, LPRECT rect, UINT format) {
  auto dc = gdi::FindDC(hdc);
  if (!dc) {
    Fail(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!rect) {
    Fail(ERROR_INVALID_PARAMETER);
    return 0;
  }
  *rect = gdi::Clamped(*rect);  // far-off sides come back within the coordinate range
  SelectedFont font = FontOf(*dc);
  FontFace& face = *font.face;
  const int lineHeight = face.Metrics().height;
  const int maxWidth = rect->right - rect->left;

  Layout layout(face, format);
  std::vector<Line> lines = text.empty() ? std::vector<Line>{} : layout.Lines(text, maxWidth);
  if (format & DT_END_ELLIPSIS)
    for (Line& line : lines) layout.Ellipsize(line, maxWidth);
  const int height = int(lines.size()) * lineHeight;

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& line : lines) widest = std::max(widest, line.width);
    rect->right = rect->left + widest;
    rect->bottom = rect->top + height;
    return height;
  }

  int top = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      top = (rect->top + rect->bottom - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      top = rect->bottom - lineHeight;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    int x = rect->left;
    if (format & DT_CENTER)
      x = (rect->left + rect->right - line.width) / 2;
    else if (format & DT_RIGHT)
      x = rect->right - line.width;
    RunRequest request;
    request.x = x;
    request.y = top + int(i) * lineHeight;
    request.align = TA_LEFT | TA_TOP;
    if (!(format & DT_NOCLIP)) {
      request.options = ETO_CLIPPED;
      request.rect = rect;
    }
    request.advances = &line.advances;
    request.underlined = &line.underlined;
    DrawRun(*dc, line.text, request);
  }
  // With vertical placement the result reaches from the rectangle's top to the text's bottom.
  return (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)) ? top - rect->top + height : height;
}

}  // namespace
}  // namespace win32::text

using namespace win32::text;

int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  if (!lpchText && cchText != 0) return 0;
  return DrawTextCommon(hdc, FromWide(lpchText, cchText), lprc, format);
}

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  if (!lpchText && cchText != 0) return 0;
  return DrawTextCommon(hdc, FromAnsi(lpchText, cchText), lprc, format);
}
