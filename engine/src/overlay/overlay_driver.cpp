#include "overlay/overlay_driver.h"

namespace {

// OLE_COLOR: red in the low byte, then green, then blue.
int Red(OLE_COLOR c) { return int(c & 0xFF); }
int Green(OLE_COLOR c) { return int((c >> 8) & 0xFF); }
int Blue(OLE_COLOR c) { return int((c >> 16) & 0xFF); }

}  // namespace

ComPtr<ILogoMixer> OverlayDriver::FindMixer(IGraphBuilder* graph) {
  ComPtr<ILogoMixer> mixer;
  if (!graph) return mixer;
  ComPtr<IBaseFilter> filter;
  if (graph->FindFilterByName(kFilterName, filter.put()) == S_OK) filter.As(IID_ILogoMixer, &mixer);
  return mixer;
}

HRESULT OverlayDriver::Insert(IGraphBuilder* graph) {
  HRESULT hr = CoCreateInstance(CLSID_LumetFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter_.putVoid());
  if (FAILED(hr)) return hr;
  ComPtr<ILogoMixer> mixer;
  filter_.As(IID_ILogoMixer, &mixer);
  hr = graph->AddFilter(filter_.get(), kFilterName);
  if (!mixer) return hr;
  mixer->ShowText(1);
  mixer->SetReservedFlag3(0);
  mixer->SetText("");
  if (!imagePath_.IsEmpty()) {
    mixer->ShowImage(1);
    mixer->SetImagePosition(0, 0);
    mixer->SetImageFile(imagePath_);
  }
  // Outline colours given before there was a graph are not lost.
  if (outlineBorderSet_) mixer->SetOutlineTextBorderColor(Red(outlineBorder_), Green(outlineBorder_), Blue(outlineBorder_));
  if (outlineBackSet_) mixer->SetOutlineTextBackColor(Red(outlineBack_), Green(outlineBack_), Blue(outlineBack_));
  return hr;
}

void OverlayDriver::DrawImage(IGraphBuilder* graph, BOOL showImage, short x, short y, LPCTSTR path, OLE_COLOR key,
                              short alpha) {
  imagePath_ = path;
  ComPtr<ILogoMixer> mixer = FindMixer(graph);
  if (!mixer) return;
  mixer->ShowImage(showImage != 0);
  mixer->SetImagePosition(x, y);
  mixer->SetImageTransparency(Red(key), Green(key), Blue(key), alpha);
  mixer->SetImageFile(imagePath_);
}

void OverlayDriver::DrawText(IGraphBuilder* graph, const OverlayTextProperties& properties, short x, short y,
                             LPCTSTR text) {
  textX_ = x;
  textY_ = y;
  text_ = text;
  PushText(graph, properties);
}

void OverlayDriver::SetHatch(IGraphBuilder* graph, const OverlayTextProperties& properties, short style,
                             OLE_COLOR fore, OLE_COLOR back) {
  hatchStyle_ = style;
  hatchFore_ = fore;
  hatchBack_ = back;
  PushText(graph, properties);
}

void OverlayDriver::SetTexture(IGraphBuilder* graph, const OverlayTextProperties& properties, LPCTSTR path) {
  texturePath_ = path;
  PushText(graph, properties);
}

void OverlayDriver::SetOutlineBackColor(IGraphBuilder* graph, OLE_COLOR colour) {
  outlineBack_ = colour;
  outlineBackSet_ = true;
  if (ComPtr<ILogoMixer> mixer = FindMixer(graph)) mixer->SetOutlineTextBackColor(Red(colour), Green(colour), Blue(colour));
}

void OverlayDriver::SetOutlineBorderColor(IGraphBuilder* graph, OLE_COLOR colour) {
  outlineBorder_ = colour;
  outlineBorderSet_ = true;
  if (ComPtr<ILogoMixer> mixer = FindMixer(graph))
    mixer->SetOutlineTextBorderColor(Red(colour), Green(colour), Blue(colour));
}

void OverlayDriver::PushShowImage(IGraphBuilder* graph, BOOL show) {
  if (ComPtr<ILogoMixer> mixer = FindMixer(graph)) mixer->ShowImage(show != 0);
}

void OverlayDriver::PushShowText(IGraphBuilder* graph, BOOL show) {
  if (ComPtr<ILogoMixer> mixer = FindMixer(graph)) mixer->ShowText(show != 0);
}

void OverlayDriver::PushText(IGraphBuilder* graph, const OverlayTextProperties& p) {
  ComPtr<ILogoMixer> mixer = FindMixer(graph);
  if (!mixer) return;
  mixer->ShowText(p.showText != 0);
  mixer->SetOutlineTextBorderColor(Red(outlineBorder_), Green(outlineBorder_), Blue(outlineBorder_));
  mixer->SetOutlineTextBackColor(Red(outlineBack_), Green(outlineBack_), Blue(outlineBack_));
  mixer->SetTextStyle(p.textStyle);
  mixer->SetTextFontStyle(p.fontStyle);
  mixer->SetHashBrushValue(hatchStyle_, Red(hatchFore_), Green(hatchFore_), Blue(hatchFore_), Red(hatchBack_),
                           Green(hatchBack_), Blue(hatchBack_));
  mixer->SetTextureBrushImage(texturePath_);
  mixer->SetTextPosition(textX_, textY_);
  mixer->SetText(text_);
  mixer->SetTextColor(Red(p.textColor), Green(p.textColor), Blue(p.textColor));
  mixer->SetTextFont(p.fontName, p.fontSize);
}
