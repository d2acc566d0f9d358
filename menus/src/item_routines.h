#pragma once
// The item routines of the five looks: measuring, drawing and the title shared by all styles.
#include "frame_painter.h"

namespace styled_menu {

void MeasureClassic(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar);
void MeasureGradient(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar);
void MeasureFlat(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar);

void DrawClassicItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);
void DrawGradientItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);
void DrawFlatItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);
void DrawFlatGradientItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);
void DrawFlatBarItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar);

void DrawTitle(CStyledMenu* menu, LPDRAWITEMSTRUCT request);

}  // namespace styled_menu
