#pragma once
// The settings interfaces of the outside writers, called by method position: the encoder
// settings the MPEG, Flash and 3GP writers share, then each writer's own.
#include "dshow/dshow.h"

DEFINE_GUID(IID_IEncoderSettings, 0x1DE5F22F, 0xD5D1, 0x4980, 0x97, 0x97, 0xAC, 0x99, 0x31, 0x39, 0x9A, 0x08);

// What a writer encodes. Values take effect when the file starts; a writer whose format forbids a
// value uses the nearest legal one. Rates are in bit/s and Hz, sizes in pixels.
interface IEncoderSettings : public IUnknown {
  // 1: the video codec: 1 MPEG-1, 2 MPEG-2 (MPEG writer); the writer's own codes elsewhere.
  STDMETHOD(SetVideoCodec)(LONG code) = 0;
  // 2: the mean video bit rate.
  STDMETHOD(SetVideoBitRate)(LONG bps) = 0;
  // 3: the picture size; 0 keeps the input's.
  STDMETHOD(SetFrameSize)(LONG width, LONG height) = 0;
  // 4: the frame rate as decimal text ("25", "29.970030"); empty keeps the input's.
  STDMETHOD(SetFrameRate)(const char* rate) = 0;
  // 5: frames from one keyframe to the next; 0 for the encoder's choice.
  STDMETHOD(SetKeyframeInterval)(LONG frames) = 0;
  // 6, 7: the highest and lowest video bit rate; 0 for none.
  STDMETHOD(SetMaxVideoBitRate)(LONG bps) = 0;
  STDMETHOD(SetMinVideoBitRate)(LONG bps) = 0;
  // 8: the decoder's video buffer, in bits; 0 for the encoder's choice.
  STDMETHOD(SetVideoBufferSize)(LONG bits) = 0;
  // 9: B-frames between reference frames; these writers code none, so only 0 is taken.
  STDMETHOD(SetBFrames)(LONG count) = 0;
  // 10-18: read back what 9 and 1-8 set.
  STDMETHOD(GetBFrames)(LONG* count) = 0;
  STDMETHOD(GetVideoCodec)(LONG* code) = 0;
  STDMETHOD(GetVideoBitRate)(LONG* bps) = 0;
  STDMETHOD(GetFrameSize)(LONG* width, LONG* height) = 0;
  STDMETHOD(GetFrameRate)(char* rate, LONG size) = 0;
  STDMETHOD(GetKeyframeInterval)(LONG* frames) = 0;
  STDMETHOD(GetMaxVideoBitRate)(LONG* bps) = 0;
  STDMETHOD(GetMinVideoBitRate)(LONG* bps) = 0;
  STDMETHOD(GetVideoBufferSize)(LONG* bits) = 0;
  // 19: the audio codec, in the writer's own codes.
  STDMETHOD(SetAudioCodec)(LONG code) = 0;
  // 20-22: the audio's bit rate, channels and sample rate.
  STDMETHOD(SetAudioBitRate)(LONG bps) = 0;
  STDMETHOD(SetAudioChannels)(LONG channels) = 0;
  STDMETHOD(SetAudioSampleRate)(LONG hz) = 0;
  // 23-26: read back what 19-22 set.
  STDMETHOD(GetAudioCodec)(LONG* code) = 0;
  STDMETHOD(GetAudioBitRate)(LONG* bps) = 0;
  STDMETHOD(GetAudioChannels)(LONG* channels) = 0;
  STDMETHOD(GetAudioSampleRate)(LONG* hz) = 0;
};

// ---- MPEG writer: the six disc types, MPEG-1 and MPEG-2 ----------------------------------------
DEFINE_GUID(CLSID_MpegWriter, 0x3B0C20CF, 0x48E3, 0x4383, 0xA9, 0x79, 0x7C, 0x81, 0xB2, 0x26, 0x2F, 0x34);
DEFINE_GUID(IID_IMpegWriterMode, 0xA238147D, 0x97A4, 0x4340, 0xA2, 0x9C, 0xAD, 0x44, 0x45, 0x05, 0x54, 0xAB);

constexpr LONG kMpegWriterKey = 8453;

// The kind of file the MPEG writer makes. A disc preset imposes its standard's codecs, picture,
// rates and buffers over the encoder settings; with MPEG-1 and MPEG-2 the encoder settings say
// what is made, the video codec code choosing between the two.
enum MpegPreset : LONG {
  MPEG_PRESET_VCD_PAL,
  MPEG_PRESET_VCD_NTSC,
  MPEG_PRESET_SVCD_PAL,
  MPEG_PRESET_SVCD_NTSC,
  MPEG_PRESET_DVD_PAL,
  MPEG_PRESET_DVD_NTSC,
  MPEG_PRESET_MPEG1,
  MPEG_PRESET_MPEG2,
};

interface IMpegWriterMode : public IUnknown {
  // 1: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 2: the picture's shape on screen: 0 square pixels, 1 4:3, 2 16:9.
  STDMETHOD(SetAspectRatio)(LONG ratio) = 0;
  // 3: an MpegPreset; E_INVALIDARG for another value.
  STDMETHOD(SetPreset)(LONG preset) = 0;
};

// ---- MP4 writer: MP4 and PSP ---------------------------------------------------------------------
DEFINE_GUID(CLSID_Mp4Writer, 0x8217EEA6, 0x7902, 0x421D, 0xAA, 0xFF, 0x4C, 0xB0, 0x89, 0xFA, 0xFB, 0x8A);
DEFINE_GUID(IID_IMp4WriterSettings, 0x0D01CC91, 0x5DF9, 0x4263, 0xA4, 0x76, 0x9A, 0x86, 0xC9, 0xB2, 0x4B, 0xAB);

constexpr LONG kMp4WriterKey = 5433;

// MPEG-4 video and AAC sound in an MP4 file; with sample rate 0 a PSP file with 48000 Hz sound.
interface IMp4WriterSettings : public IUnknown {
  // 1-4: video bit rate, audio bit rate (bit/s), sample rate (Hz; 0: PSP) and channels.
  STDMETHOD(SetVideoBitRate)(LONG bps) = 0;
  STDMETHOD(SetAudioBitRate)(LONG bps) = 0;
  STDMETHOD(SetAudioSampleRate)(LONG hz) = 0;
  STDMETHOD(SetAudioChannels)(LONG channels) = 0;
  // 5: frames a second; 0 keeps the input's.
  STDMETHOD(SetFrameRate)(LONG fps) = 0;
  // 6: the picture size; 0 keeps the input's.
  STDMETHOD(SetFrameSize)(LONG width, LONG height) = 0;
  // 7: the video codec: 0 MPEG-4 Visual, 1 H.264.
  STDMETHOD(SetVideoCodec)(LONG codec) = 0;
  // 8: frames from one keyframe to the next; 0 for the encoder's choice.
  STDMETHOD(SetKeyframeInterval)(LONG frames) = 0;
  // 9-13: the file's title, album, author, comment and copyright tags.
  STDMETHOD(SetTitle)(BSTR text) = 0;
  STDMETHOD(SetAlbum)(BSTR text) = 0;
  STDMETHOD(SetAuthor)(BSTR text) = 0;
  STDMETHOD(SetComment)(BSTR text) = 0;
  STDMETHOD(SetCopyright)(BSTR text) = 0;
  // 14: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 15: B-frames; this writer codes none, so only 0 is taken.
  STDMETHOD(SetBFrames)(LONG count) = 0;
};

// ---- 3GP writer ----------------------------------------------------------------------------------
// Also offers IEncoderSettings: video codes 13 MPEG-4 and 5 H.263; audio codes 0x15002 AAC and
// 0x12000 AMR-NB. Another code gives MPEG-4 or AAC.
DEFINE_GUID(CLSID_ThreeGpWriter, 0x469DE030, 0x546D, 0x418A, 0xB9, 0x5E, 0x41, 0x15, 0x08, 0xC9, 0xE5, 0x97);
DEFINE_GUID(IID_IThreeGpWriterMode, 0x4D39E155, 0x89D6, 0x4D55, 0x88, 0x2C, 0x2A, 0x2F, 0xB5, 0xEF, 0xDF, 0xB4);

constexpr LONG kThreeGpWriterKey = 5422;
constexpr LONG kThreeGpVideoMpeg4 = 13;
constexpr LONG kThreeGpVideoH263 = 5;
constexpr LONG kThreeGpAudioAac = 0x15002;
constexpr LONG kThreeGpAudioAmrNb = 0x12000;

interface IThreeGpWriterMode : public IUnknown {
  // 1: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 2: the file kind: 0 3GP, 1 3G2.
  STDMETHOD(SetFileKind)(LONG kind) = 0;
};

// ---- Animated GIF writer -------------------------------------------------------------------------
DEFINE_GUID(CLSID_GifWriter, 0x6B94F187, 0xEBC3, 0x4CC5, 0x93, 0xFD, 0x9D, 0x26, 0x63, 0x5C, 0x4C, 0x55);
DEFINE_GUID(IID_IGifWriterSettings, 0xFA5587A0, 0xC3E4, 0x4911, 0xA1, 0x23, 0x63, 0x76, 0x3D, 0xB8, 0xB5, 0x04);

constexpr LONG kGifWriterKey = 4957;

// An animated GIF of the video; sound is not written.
interface IGifWriterSettings : public IUnknown {
  // 1: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 2: the most colours a picture uses, 2-256; 16 or fewer gives a 16-colour palette.
  STDMETHOD(SetMaxColors)(LONG colors) = 0;
  // 3-5: the colour reduction, the quality switch and the transparent colour (blue in the lowest
  // byte, then green, then red). Kept: this writer reduces every picture to a fixed palette and
  // draws no colour transparent.
  STDMETHOD(SetQuantizer)(LONG quantizer) = 0;
  STDMETHOD(SetVideoQuality)(LONG quality) = 0;
  STDMETHOD(SetTransparentColor)(LONG rgb) = 0;
  // 6: how often the animation plays: below 0 forever, 0 once, n: once and n repeats.
  STDMETHOD(SetLoop)(LONG loop) = 0;
  // 7: frames a second; 0 keeps the input's.
  STDMETHOD(SetFrameRate)(LONG fps) = 0;
  // 8, 9: the picture's width and height; 0 keeps the input's.
  STDMETHOD(SetWidth)(LONG width) = 0;
  STDMETHOD(SetHeight)(LONG height) = 0;
};

// ---- Flash writer: FLV and SWF -------------------------------------------------------------------
// Also offers IEncoderSettings; its codec codes are the FLV ones: video 2 Sorenson H.263, audio 2
// MP3, the only ones it writes. MP3 is sampled at 44100, 22050 or 11025 Hz, the rates Flash plays.
DEFINE_GUID(CLSID_FlashWriter, 0x25C1CC5A, 0x1DCF, 0x44C7, 0xAF, 0xB8, 0xC4, 0xCD, 0x7A, 0x32, 0x5E, 0xA7);
DEFINE_GUID(IID_IFlashWriterMode, 0x2EC3F970, 0x6D10, 0x49F6, 0x8B, 0x8A, 0x86, 0xDA, 0xAF, 0x26, 0x19, 0xFC);

constexpr LONG kFlashWriterKey = 8450;
constexpr LONG kFlashVideoSorenson = 2;
constexpr LONG kFlashAudioMp3 = 2;

interface IFlashWriterMode : public IUnknown {
  // 1: nonzero: an FLV file gets the writer's own "onMetaData" tag; 0 leaves it to a later pass.
  STDMETHOD(SetWriteMetadata)(LONG write) = 0;
  // 2: 1 an FLV file, 0 an SWF movie.
  STDMETHOD(SetFlv)(LONG flv) = 0;
  // 3: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
};

// ---- QuickTime writer ----------------------------------------------------------------------------
// Its settings are asked of its input pins: the video settings of the pin named "Video Input",
// the sound settings of "Audio Input". Codecs are four-character codes, the first character in the
// highest byte. Codes it has no encoder for are written as the nearest it has: 'WRLE' as Animation
// RLE ('rle '), 'SVQ3' and unknown video codes as H.264 ('avc1'), 'MAC3' and 'MAC6' as IMA 4:1
// ('ima4'), unknown sound codes as 24-bit PCM ('in24').
DEFINE_GUID(CLSID_QuickTimeWriter, 0xD2DE15D9, 0x3209, 0x4E28, 0xB0, 0xA4, 0x16, 0x28, 0x9B, 0xA3, 0x05, 0x3F);
DEFINE_GUID(IID_IQuickTimeVideoSettings, 0xFA342BA2, 0x5E9E, 0x45FB, 0xA7, 0x39, 0xF8, 0x0A, 0xED, 0xC9, 0x9B, 0x9B);
DEFINE_GUID(IID_IQuickTimeAudioSettings, 0x62893CB9, 0xB44A, 0x496B, 0x8C, 0xF6, 0x21, 0x7E, 0x43, 0x90, 0x9D, 0x2F);

constexpr LONG kQuickTimeWriterKey = 235;

constexpr LONG FourCharCode(char a, char b, char c, char d) {
  return LONG(uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 | uint8_t(d));
}

interface IQuickTimeVideoSettings : public IUnknown {
  // 1: how far the file has got: pictures written, or with no video, milliseconds of sound.
  STDMETHOD(GetUnitsWritten)(LONG* units) = 0;
  // 2, 3: the video codec's code.
  STDMETHOD(GetVideoCodec)(LONG* code) = 0;
  STDMETHOD(SetVideoCodec)(LONG code) = 0;
  // 4: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 5: the picture size set; 0 for the input's.
  STDMETHOD(GetFrameSize)(LONG* width, LONG* height) = 0;
  // 6: the units of 1 in a second: the frame rate, or 1000 with no video; 0 before the file starts.
  STDMETHOD(GetUnitsPerSecond)(LONG* units) = 0;
  // 7: the frame rate set; 0 for the input's.
  STDMETHOD(GetFrameRate)(LONG* fps) = 0;
  // 8: the video bit rate; 0 for the codec's choice.
  STDMETHOD(SetVideoBitRate)(LONG bps) = 0;
  // 9-11: frame rate, width and height; 0 keeps the input's.
  STDMETHOD(SetFrameRate)(LONG fps) = 0;
  STDMETHOD(SetWidth)(LONG width) = 0;
  STDMETHOD(SetHeight)(LONG height) = 0;
};

interface IQuickTimeAudioSettings : public IUnknown {
  // 1, 2: the sound codec's code and the sample rate set.
  STDMETHOD(GetAudioCodec)(LONG* code) = 0;
  STDMETHOD(GetSampleRate)(LONG* hz) = 0;
  // 3: the sound codec's code.
  STDMETHOD(SetAudioCodec)(LONG code) = 0;
  // 4: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 5: the channels set.
  STDMETHOD(GetChannels)(LONG* channels) = 0;
  // 6, 7: the bit rate of a compressing codec; 0 for the codec's choice.
  STDMETHOD(GetAudioBitRate)(LONG* bps) = 0;
  STDMETHOD(SetAudioBitRate)(LONG bps) = 0;
  // 8: milliseconds of sound written.
  STDMETHOD(GetMillisecondsWritten)(LONG* ms) = 0;
  // 9, 10: sample rate and channels; 0 keeps the input's.
  STDMETHOD(SetSampleRate)(LONG hz) = 0;
  STDMETHOD(SetChannels)(LONG channels) = 0;
};

// ---- RealMedia writer ----------------------------------------------------------------------------
// RealVideo and RealAudio or AC-3 sound at the rates of a target audience. The audiences are a
// built-in list followed by the files of the audiences folder (each named by its file name without
// extension, and written with the settings of the built-in audience of that name, else of the
// first broadband one).
DEFINE_GUID(CLSID_RealMediaWriter, 0x69902FCE, 0x0497, 0x451F, 0x8E, 0xD8, 0x4D, 0xCF, 0xF3, 0x03, 0xE3, 0x5F);
DEFINE_GUID(IID_IRealMediaWriterSettings, 0x774123EC, 0xDD6F, 0x4261, 0x88, 0xA6, 0xA2, 0x99, 0xC9, 0x38, 0xEA, 0xDA);
DEFINE_GUID(IID_IRealMediaWriterSettings2, 0x310B3598, 0x849A, 0x4B0F, 0xBC, 0x71, 0xFB, 0x29, 0x00, 0x66, 0xDF, 0x37);

constexpr LONG kRealMediaWriterKey = 5833;
constexpr LONG kRealMediaListingKey = 3456;
// The room GetAudienceName needs: names longer than this less one are cut.
constexpr LONG kRealMediaNameBytes = 256;

// How the picture is coded: 0 normal motion, 1 smoothest motion (every frame, shorter keyframe
// distance), 2 sharpest image (half the frames), 3 slide show (one frame a second).
enum RealMediaVideoMode : LONG { RM_VIDEO_NORMAL, RM_VIDEO_SMOOTHEST, RM_VIDEO_SHARPEST, RM_VIDEO_SLIDE_SHOW };

interface IRealMediaWriterSettings : public IUnknown {
  // 1: the caller's key; kept, it changes nothing.
  STDMETHOD(SetKey)(LONG key) = 0;
  // 2: the folder of audience files (platform path); by default the library path's "audiences".
  STDMETHOD(SetAudiencesFolder)(const char* folder) = 0;
  // 3: the folder of the RealMedia libraries (platform path).
  STDMETHOD(SetLibraryPath)(const char* folder) = 0;
  // 4, 5: the audiences: their number, and the name at a position, into kRealMediaNameBytes bytes.
  STDMETHOD(GetAudienceCount)(LONG* count) = 0;
  STDMETHOD(GetAudienceName)(LONG index, char* name) = 0;
  // 6, 7: the audience written for, by position.
  STDMETHOD(SetAudience)(LONG index) = 0;
  STDMETHOD(GetAudience)(LONG* index) = 0;
  // 8-14: what is set and what the chosen audience gives.
  STDMETHOD(GetVideoMode)(LONG* mode) = 0;
  STDMETHOD(GetAudioChannels)(LONG* channels) = 0;
  STDMETHOD(GetFrameSize)(LONG* width, LONG* height) = 0;
  STDMETHOD(GetFrameRate)(LONG* fps) = 0;
  STDMETHOD(GetVideoBitRate)(LONG* bps) = 0;
  STDMETHOD(GetAudioBitRate)(LONG* bps) = 0;
  STDMETHOD(GetAudioSampleRate)(LONG* hz) = 0;
  // 15: a RealMediaVideoMode.
  STDMETHOD(SetVideoMode)(LONG mode) = 0;
  // 16: pictures written, or with no video, milliseconds of sound.
  STDMETHOD(GetUnitsWritten)(LONG* units) = 0;
  // 17: the sound's channels, where the audience's codec takes two.
  STDMETHOD(SetAudioChannels)(LONG channels) = 0;
};

interface IRealMediaWriterSettings2 : public IRealMediaWriterSettings {
  // 18-20: width, height and frames a second; 0 keeps the input's. RealVideo 1 codes multiples
  // of 16 pixels, RealVideo 2 multiples of 4: the size is rounded down to them.
  STDMETHOD(SetWidth)(LONG width) = 0;
  STDMETHOD(SetHeight)(LONG height) = 0;
  STDMETHOD(SetFrameRate)(LONG fps) = 0;
};
