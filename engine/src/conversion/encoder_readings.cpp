#include "conversion/encoder_readings.h"

EncoderReadings ReadEncoderSettings(IEncoderSettings* encoder) {
  EncoderReadings r;
  encoder->GetAudioBitRate(&r.audioBitRate);
  encoder->GetAudioChannels(&r.audioChannels);
  encoder->GetAudioSampleRate(&r.audioSampleRate);
  encoder->GetAudioCodec(&r.audioCodec);
  encoder->GetVideoCodec(&r.videoCodec);
  encoder->GetVideoBitRate(&r.videoBitRate);
  encoder->GetVideoBufferSize(&r.videoBufferSize);
  encoder->GetKeyframeInterval(&r.keyframeInterval);
  encoder->GetMaxVideoBitRate(&r.maxVideoBitRate);
  encoder->GetMinVideoBitRate(&r.minVideoBitRate);
  encoder->GetFrameSize(&r.width, &r.height);
  return r;
}
