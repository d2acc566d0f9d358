#pragma once
// The output types, numbered as the OutputType property numbers them, and one row per type saying
// what it asks of the timeline's picture and of the conversion graph.
#include <memory>

#include "conversion/output_settings.h"
#include "ole/ole.h"

enum class OutputType : LONG {
  VCD_PAL,
  VCD_NTSC,
  SVCD_PAL,
  SVCD_NTSC,
  DVD_PAL,
  DVD_NTSC,
  MPEG1,
  MPEG2,
  AVI,
  WMV,
  QT,
  RM,
  MP4,
  PSP,
  FLV,
  VIDEO_3GP,
  SWF,
  ANIMATED_GIF,
};

class WriterStage;
struct WriterInputs;

// How a type fixes the picture before the timeline's groups are made: it keeps the properties,
// imposes its standard's picture, or keeps them within what its encoder takes.
enum class FrameRule { Kept, Standard, Clamped };

struct OutputTypeRow {
  OutputType type;
  FrameRule frame;
  // The standard's picture, for FrameRule::Standard.
  short width;
  short height;
  float frameRate;
  // The name the video tee joins the graph under.
  LPCOLESTR teeName;
  // The name of the colour converter in front of the overlay filter.
  LPCOLESTR overlayConverterName;
  // Makes the writer stage that ends the type's graph.
  std::unique_ptr<WriterStage> (*makeWriter)(const WriterInputs& inputs);
};

// The row of an OutputType value; null for a value that names no type.
const OutputTypeRow* FindOutputType(LONG value);

// Writes the picture the type imposes into the settings, so the properties read back changed.
void ApplyFrameRule(const OutputTypeRow& type, OutputSettings& settings);
