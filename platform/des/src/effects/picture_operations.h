#pragma once
// Operations on whole pictures that several effects share.
#include <array>

#include "picture.h"

namespace des {

// A colour transform: each output channel (red, green, blue) is a weighted sum of the input
// channels plus an offset.
struct ColourMatrix {
  std::array<std::array<double, 3>, 3> m{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  std::array<double, 3> offset{0, 0, 0};

  static ColourMatrix Grayscale(double strength);
  static ColourMatrix Sepia(double strength);
  static ColourMatrix Invert(double strength);
  static ColourMatrix Saturation(double factor);  // 1 unchanged, 0 grey
  static ColourMatrix HueRotation(double degrees);
  static ColourMatrix Contrast(double factor);    // about the middle grey; 1 unchanged
  static ColourMatrix Brightness(double added);   // added to every channel, in steps of 1/255
  static ColourMatrix Channels(double red, double green, double blue);
};
void ApplyMatrix(const ColourMatrix& matrix, Picture* picture);

// Left and right swapped.
void MirrorLeftRight(Picture* picture);
// Top and bottom swapped.
void MirrorTopBottom(Picture* picture);
// Turned clockwise about the middle by degrees and shrunk to fit when its sides swap (black
// around it); 90, 180 and 270 move whole pixels.
void Rotate(Picture* picture, double degrees, Picture* scratch);
// Each square of side pixels filled with its average.
void Pixelate(Picture* picture, int side);
// A box blur of radius pixels (at most 128), sideways and then downwards; the helper, when given,
// takes half of the work.
void BoxBlur(Picture* picture, int radius, Picture* scratch, BandHelper* helper = nullptr);

inline int Luma(uint32_t p) { return (77 * Red(p) + 150 * Green(p) + 29 * Blue(p)) >> 8; }

}  // namespace des
