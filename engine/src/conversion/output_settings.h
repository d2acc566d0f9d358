#pragma once
// The properties that say what a conversion makes: the type and picture of the output, the sound
// of the timeline's groups, the compressors and profile chosen, the overlay, and the settings each
// writer takes.
// The control keeps them for its automation surface; the timeline and the conversion plan read
// them.
#include "mfc/afxstr.h"
#include "ole/oleidl.h"

struct OutputSettings {
  // Type (an OutputType value), picture and the timeline's sound.
  LONG outputType = 8;
  short outputFileWidth = 320;
  short outputFileHeight = 240;
  float frameRate = 15.0f;
  short videoSampleSize = 16;
  BOOL outputAudio = TRUE;
  short audioChannels = 2;
  short audioSample = 1;
  BOOL deleteTmpFiles = TRUE;

  // Positions in the control's collections, and what Save does with them.
  short wmvProfile = 0;
  CString wmvCustomFileName;
  short videoCompressor = 0;
  BOOL useVideoCompressor = FALSE;
  short dvVideoEncoderParam = 0;
  short audioCompressor = 0;
  BOOL useAudioCompressor = FALSE;

  // The MP3 encoder of AVI saves; the AVI writer stage records whether it used it.
  BOOL useAVILameEncoder = FALSE;
  LONG aviLameSampleRate = 44100;
  short aviLameBitrate = 320;

  // MPEG writer.
  LONG mpegAudioBitrate = 224000;
  LONG mpegAudioSampleRate = 44100;
  short mpegAudioChannels = 2;
  LONG mpegVideoBitrate = 4600000;
  LONG mpegAspectRatio = 0;
  // Exchanged with the persisted properties; nothing reads it.
  short mpegCodec = 0;

  // QuickTime writer.
  short qtVideoCompressor = 0;
  short qtAudioCompressor = 0;
  short qtAudioChannels = 1;
  LONG qtAudioSampleRate = 44100;

  // RealMedia writer.
  CString rmDllPath;
  short rmProfile = 0;
  short rmVideoMode = 0;

  // Flash writer: FLV and SWF.
  LONG flvAudioBitrate = 128000;
  LONG flvAudioChannels = 2;
  LONG flvAudioSampleRate = 44100;
  LONG flvVideoBitrate = 512000;
  short flvFrameRate = 25;
  LONG swfAudioBitrate = 128000;
  LONG swfAudioChannels = 2;
  LONG swfAudioSampleRate = 44100;
  LONG swfVideoBitrate = 512000;
  short swfFrameRate = 25;

  // 3GP writer.
  LONG video3GPAudioCodec = 0;
  LONG video3GPVideoBitrate = 190000;
  LONG video3GPVideoCodec = 0;
  LONG video3GPAudioSampleRate = 22050;

  // Animated GIF writer.
  short aniGIFWidth = 320;
  short aniGIFHeight = 240;
  short aniGIFLoop = -1;
  short aniGIFMaxColor = 256;
  short aniGIFQuantizer = 0;
  OLE_COLOR aniGIFTransColor = 0xFFFFFF;
  BYTE aniGIFVideoQuality = 1;

  // The text and image laid over the picture.
  BOOL useOverlay = FALSE;
  BOOL showImage = TRUE;
  BOOL showText = TRUE;
  CString textFontName = "Arial";
  short textFontSize = 8;
  short textFontStyle = 0;
  short textStyle = 0;
  OLE_COLOR textColor = 0x0000FF;

  // MP4 and PSP writer.
  LONG mp4VideoBitrate = 256000;
  short mp4Codec = 0;
  short mp4Width = 320;
  short mp4Height = 240;
  short mp4Framerate = 25;
  LONG mp4AudioBitrate = 96000;
  short mp4AudioChannels = 2;
  LONG mp4AudioSampleRate = 44100;
  CString mp4Title;
  CString mp4Album;
  CString mp4Author;
  CString mp4Comment;
  CString mp4Copyright;
};
