#pragma once
// What a writer's encoder settings hold before a stage changes them: the Flash and 3GP stages read
// them all, in the writer's expected order, and give some back unchanged.
#include "filters/writer_settings.h"

struct EncoderReadings {
  LONG audioBitRate = 0;
  LONG audioChannels = 0;
  LONG audioSampleRate = 0;
  LONG audioCodec = 0;
  LONG videoCodec = 0;
  LONG videoBitRate = 0;
  LONG videoBufferSize = 0;
  LONG keyframeInterval = 0;
  LONG maxVideoBitRate = 0;
  LONG minVideoBitRate = 0;
  LONG width = 0;
  LONG height = 0;
};

EncoderReadings ReadEncoderSettings(IEncoderSettings* encoder);
