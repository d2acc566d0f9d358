#pragma once
// The engine's text and image overlay: the settings the control keeps beyond its properties, the
// overlay filter it puts into a conversion graph, and the pushes that keep the filter of the
// current graph configured. The filter is looked up by its name in the graph on every push.
#include "dshow/dshow.h"
#include "mfc/afx.h"
#include "ole/comptr.h"
#include "ole/oleidl.h"
#include "overlay_filter/logo_mixer.h"

// The control's properties that a text push sends.
struct OverlayTextProperties {
  BOOL showText;
  OLE_COLOR textColor;
  CString fontName;
  short fontSize;
  short textStyle;
  short fontStyle;
};

class OverlayDriver {
 public:
  // The name the overlay filter joins a graph under.
  static constexpr LPCWSTR kFilterName = u"Logo Mixer Filter";

  // Creates the overlay filter, adds it to the graph and gives it its start: text shown and
  // empty, and the image path and outline colours kept so far. The result of adding it.
  HRESULT Insert(IGraphBuilder* graph);
  IBaseFilter* Filter() const { return filter_.get(); }
  // Lets go of the filter (the graph is being torn down).
  void Release() { filter_ = nullptr; }
  // Every end of processing forgets the image.
  void ClearImagePath() { imagePath_.Empty(); }

  // Keeps the path; with a filter in the graph, shows the image there as given.
  void DrawImage(IGraphBuilder* graph, BOOL showImage, short x, short y, LPCTSTR path, OLE_COLOR key, short alpha);
  void DrawText(IGraphBuilder* graph, const OverlayTextProperties& properties, short x, short y, LPCTSTR text);
  void SetHatch(IGraphBuilder* graph, const OverlayTextProperties& properties, short style, OLE_COLOR fore,
                OLE_COLOR back);
  void SetTexture(IGraphBuilder* graph, const OverlayTextProperties& properties, LPCTSTR path);
  void SetOutlineBackColor(IGraphBuilder* graph, OLE_COLOR colour);
  void SetOutlineBorderColor(IGraphBuilder* graph, OLE_COLOR colour);
  void PushShowImage(IGraphBuilder* graph, BOOL show);
  void PushShowText(IGraphBuilder* graph, BOOL show);
  // Sends every text setting, in the filter's order, to the filter of the graph.
  void PushText(IGraphBuilder* graph, const OverlayTextProperties& properties);

 private:
  // The overlay filter's control interface in the graph; null without a graph or filter.
  static ComPtr<ILogoMixer> FindMixer(IGraphBuilder* graph);

  ComPtr<IBaseFilter> filter_;
  CString imagePath_;
  CString text_;
  short textX_ = 0, textY_ = 0;
  short hatchStyle_ = 0;
  OLE_COLOR hatchFore_ = 0xFFFFFF;
  OLE_COLOR hatchBack_ = 0;
  CString texturePath_;
  // Until set, the filter's own outline colours: a push leaves its look as it was.
  OLE_COLOR outlineBack_ = 0x0000FF;
  OLE_COLOR outlineBorder_ = 0x00FF00;
  bool outlineBackSet_ = false;
  bool outlineBorderSet_ = false;
};
