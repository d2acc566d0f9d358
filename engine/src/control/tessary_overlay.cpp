// The overlay: the control keeps the text and image settings and pushes them to the overlay filter
// of the current graph; without a graph the pushes do nothing and the values wait.
#include "control/tessary_ctrl.h"
#include "engine/tessary_ids.h"

OverlayTextProperties CTessaryCtrl::OverlayText() const {
  return {settings_.showText,    settings_.textColor, settings_.textFontName,
          settings_.textFontSize, settings_.textStyle, settings_.textFontStyle};
}

void CTessaryCtrl::OverlayPropertyStored(DISPID dispid) {
  switch (dispid) {
    case dispidShowImage:
      overlay_.PushShowImage(graph_.Graph(), settings_.showImage);
      break;
    case dispidShowText:
      overlay_.PushShowText(graph_.Graph(), settings_.showText);
      break;
    case dispidTextColor:
    case dispidTextFontName:
    case dispidTextFontSize:
    case dispidTextStyle:
    case dispidTextFontStyle:
      overlay_.PushText(graph_.Graph(), OverlayText());
      break;
    default:
      break;
  }
}

void CTessaryCtrl::DrawImage(short iX, short iY, LPCTSTR strImagePath, OLE_COLOR clrTranColor, short iAlphaValue) {
  overlay_.DrawImage(graph_.Graph(), settings_.showImage, iX, iY, strImagePath, clrTranColor, iAlphaValue);
}

short CTessaryCtrl::DrawText(short iX, short iY, LPCTSTR strText) {
  overlay_.DrawText(graph_.Graph(), OverlayText(), iX, iY, strText);
  return 0;
}

void CTessaryCtrl::SetHashBrushValue(short iHatchStyle, OLE_COLOR clrForeColor, OLE_COLOR clrBackColor) {
  overlay_.SetHatch(graph_.Graph(), OverlayText(), iHatchStyle, clrForeColor, clrBackColor);
}

void CTessaryCtrl::SetTextureBrushImage(LPCTSTR strImage) {
  overlay_.SetTexture(graph_.Graph(), OverlayText(), strImage);
}

void CTessaryCtrl::SetOutlineTextBackColor(OLE_COLOR clrBack) { overlay_.SetOutlineBackColor(graph_.Graph(), clrBack); }

void CTessaryCtrl::SetOutlineTextBorderColor(OLE_COLOR clrBorder) {
  overlay_.SetOutlineBorderColor(graph_.Graph(), clrBorder);
}
