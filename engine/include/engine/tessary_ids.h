#pragma once
// Identifiers of the Tessary control library: classes, interfaces and member ids. Shared by the
// library and the programs that host it.
#include "ole/ole.h"

// ---- Classes and interfaces ---------------------------------------------------------------------
DEFINE_GUID(CLSID_Tessary, 0x3AAED2B6, 0x8834, 0x4F17, 0x8B, 0x62, 0xAC, 0xAB, 0x5B, 0xD3, 0x98, 0xFF);
DEFINE_GUID(CLSID_TessaryPropPage, 0x2EEC36B3, 0x5255, 0x4F5A, 0x9B, 0x0B, 0xEC, 0x64, 0x43, 0x26, 0x47, 0x7B);
DEFINE_GUID(LIBID_TESSARYLib, 0x5883FDEC, 0x8AD4, 0x4ABA, 0x93, 0xF7, 0xB7, 0xD3, 0x2D, 0xFD, 0x56, 0xBC);
DEFINE_GUID(DIID__DTessary, 0x68F9B425, 0x6EA2, 0x4365, 0xA9, 0x56, 0x83, 0xB5, 0xA3, 0x96, 0xEB, 0xBF);
DEFINE_GUID(DIID__DTessaryEvents, 0xE050DEB5, 0x639A, 0x4730, 0x80, 0xBC, 0xA2, 0x5A, 0xE6, 0x02, 0x25, 0x9D);

#define TESSARY_PROGID "TESSARY.TessaryCtrl.1"
#define TESSARY_PAGE_PROGID "TESSARY.TessaryPropPage.1"

// Collection items.
DEFINE_GUID(IID_IAudioCompressor, 0x132825D5, 0x9CDB, 0x416F, 0x80, 0xCE, 0xEF, 0x40, 0x38, 0xE6, 0xC6, 0x0B);
DEFINE_GUID(IID_IVideoCompressor, 0xE970D30D, 0xFC7F, 0x4DE6, 0xAF, 0x8A, 0xC5, 0xA7, 0x8E, 0x29, 0xDF, 0xF2);
DEFINE_GUID(IID_ITransition, 0x1C08ABFD, 0x2FBF, 0x4F12, 0xB3, 0x32, 0x32, 0xCA, 0xAF, 0xC2, 0x2C, 0x21);
DEFINE_GUID(IID_IEffect, 0xBA7B541A, 0x5B8E, 0x48C6, 0x82, 0xDD, 0x78, 0x41, 0xFE, 0x46, 0x32, 0x0F);
DEFINE_GUID(IID_IWMVProfile, 0xEA1F3829, 0x2745, 0x4181, 0x95, 0x5A, 0xDB, 0xF7, 0x89, 0x03, 0xB3, 0x8F);
// Collections.
DEFINE_GUID(IID_IAudioCompressors, 0xC2E365A1, 0x483E, 0x4111, 0x97, 0x02, 0xF3, 0x49, 0xB0, 0x76, 0x23, 0xE0);
DEFINE_GUID(IID_IVideoCompressors, 0x4D2B185F, 0x005D, 0x4151, 0xAE, 0xFD, 0x8F, 0x7E, 0x11, 0x61, 0xC6, 0x36);
DEFINE_GUID(IID_ITransitions, 0x7A89DAA0, 0x62F8, 0x4252, 0x88, 0x0F, 0x36, 0x5E, 0x0A, 0x51, 0x8A, 0x26);
DEFINE_GUID(IID_IEffects, 0xC3BF142B, 0x8DDF, 0x411A, 0x90, 0x4A, 0x21, 0x86, 0x5C, 0x56, 0x9A, 0x9C);
DEFINE_GUID(IID_IWMVProfiles, 0x615D8560, 0x2CB6, 0x49AA, 0xA4, 0xFC, 0x67, 0xE3, 0x6E, 0x2B, 0xBD, 0x92);
// Classes of the collection and item objects (created by the control only, never by class id).
DEFINE_GUID(CLSID_AudioCompressor, 0x0CD74316, 0x569E, 0x4975, 0x92, 0x09, 0x9D, 0x2E, 0x54, 0x25, 0xEB, 0xC1);
DEFINE_GUID(CLSID_VideoCompressor, 0xCE990D1B, 0x76F9, 0x4BB4, 0xA7, 0xAC, 0x7B, 0xD3, 0x09, 0x80, 0x2E, 0xBC);
DEFINE_GUID(CLSID_Transition, 0x8F6F3F98, 0x3854, 0x4BF2, 0x8F, 0x83, 0x20, 0x96, 0xF9, 0x02, 0x48, 0x83);
DEFINE_GUID(CLSID_Effect, 0x73105B28, 0xF441, 0x4A1E, 0xA0, 0x74, 0xE4, 0x2E, 0x65, 0x21, 0xAA, 0x4C);
DEFINE_GUID(CLSID_WMVProfile, 0xBE00CBB3, 0x5168, 0x4F2C, 0x9A, 0x50, 0x94, 0x7E, 0xEA, 0x23, 0xE2, 0x0B);
DEFINE_GUID(CLSID_AudioCompressors, 0xB7750E58, 0x0847, 0x4D7F, 0x84, 0xB0, 0x7C, 0x3F, 0xE8, 0x34, 0x35, 0x33);
DEFINE_GUID(CLSID_VideoCompressors, 0x1D2B458E, 0x8F0B, 0x491B, 0x83, 0xBA, 0x80, 0x72, 0x78, 0x67, 0xF9, 0xB1);
DEFINE_GUID(CLSID_Transitions, 0x974295E2, 0xB12E, 0x4EBE, 0x90, 0x03, 0xDF, 0xCD, 0xEA, 0xA2, 0xB9, 0xC6);
DEFINE_GUID(CLSID_Effects, 0x33AE406D, 0xB0D9, 0x4F9A, 0xA4, 0xB6, 0x66, 0x0E, 0xBB, 0x2E, 0x84, 0x07);
DEFINE_GUID(CLSID_WMVProfiles, 0x51F9D109, 0xB50D, 0x48B9, 0xAC, 0xB3, 0xC9, 0x50, 0xCA, 0x24, 0xEB, 0xFA);
// The collections' enumerators.
DEFINE_GUID(IID_IEnumAudioCompressors, 0x09AFA13C, 0xA1CC, 0x4A1E, 0xBA, 0x49, 0xEE, 0xCA, 0x1F, 0x29, 0xC3, 0xD7);
DEFINE_GUID(IID_IEnumVideoCompressors, 0x5821023D, 0x283F, 0x4A2F, 0x87, 0xCF, 0x8C, 0x80, 0x7F, 0x46, 0x1E, 0xCF);
DEFINE_GUID(IID_IEnumTransitions, 0x04AE9B42, 0xF8A6, 0x4FE5, 0x91, 0x1E, 0x67, 0x14, 0x59, 0x6E, 0xDA, 0x40);
DEFINE_GUID(IID_IEnumEffects, 0xB46865DC, 0x6418, 0x44F8, 0x86, 0x22, 0x67, 0x5F, 0xDE, 0xDF, 0x99, 0xC4);
DEFINE_GUID(IID_IEnumWMVProfiles, 0x094E41D3, 0x950A, 0x4EC3, 0x9B, 0xC2, 0xAE, 0x2F, 0x97, 0x19, 0xE4, 0xB0);

// ---- Member ids of _DTessary --------------------------------------------------------------------
enum TessaryDispId : DISPID {
  dispidWMVProfiles = 1,
  dispidWMVProfile = 2,
  dispidVideoCompressor = 3,
  dispidVideoCompressors = 4,
  dispidUseVideoCompressor = 5,
  dispidAudioCompressor = 6,
  dispidAudioCompressors = 7,
  dispidUseAudioCompressor = 8,
  dispidTransition = 9,
  dispidTransitions = 10,
  dispidOutputFileHeight = 11,
  dispidOutputFileWidth = 12,
  dispidVideoSampleSize = 13,
  dispidOutputAudio = 14,
  dispidOutputType = 15,
  dispidFrameRate = 16,
  dispidMPEGAudioBitrate = 17,
  dispidEnumTransitions = 18,
  dispidEnumWMVProfiles = 19,
  dispidWMVCustomFileName = 20,
  dispidDeleteTmpFiles = 21,
  dispidMPEGAudioSampleRate = 22,
  dispidAspectRatio = 24,
  dispidDvVideoEncoderParam = 25,
  dispidQTVideoCompressor = 26,
  dispidQTAudioCompressor = 27,
  dispidQTAudioChannels = 28,
  dispidQTAudioSampleRate = 29,
  dispidShowImage = 30,
  dispidTextColor = 31,
  dispidTextFontName = 32,
  dispidTextFontSize = 33,
  dispidTextStyle = 34,
  dispidUseOverlay = 35,
  dispidTextFontStyle = 36,
  dispidShowText = 37,
  dispidAudioChannels = 38,
  dispidAudioSample = 39,
  dispidRMDllPath = 40,
  dispidRMProfile = 41,
  dispidRMVideoMode = 42,
  dispidFLVAudioBitrate = 43,
  dispidFLVAudioChannels = 44,
  dispidFLVAudioSampleRate = 45,
  dispidFLVVideoBitrate = 46,
  dispidMPEGAudioChannels = 47,
  dispidMPEGVideoBitrate = 48,
  dispidVideo3GPAudioCodec = 49,
  dispidVideo3GPVideoBitrate = 50,
  dispidVideo3GPVideoCodec = 51,
  dispidVideo3GPAudioSampleRate = 52,
  dispidUseAVILameEncoder = 53,
  dispidAVILameSampleRate = 54,
  dispidAVILameBitrate = 55,
  dispidSWFAudioBitrate = 56,
  dispidSWFAudioChannels = 57,
  dispidSWFAudioSampleRate = 58,
  dispidSWFVideoBitrate = 59,
  dispidAniGIFHeight = 60,
  dispidAniGIFLoop = 61,
  dispidAniGIFMaxColor = 62,
  dispidAniGIFQuantizer = 63,
  dispidAniGIFTransColor = 64,
  dispidAniGIFVideoQuality = 65,
  dispidAniGIFWidth = 66,
  dispidMPEGAspectRatio = 67,
  dispidMP4Album = 68,
  dispidMP4AudioBitrate = 69,
  dispidMP4AudioChannels = 70,
  dispidMP4AudioSampleRate = 71,
  dispidMP4Author = 72,
  dispidMP4Codec = 73,
  dispidMP4Comment = 74,
  dispidMP4Copyright = 75,
  dispidMP4Framerate = 76,
  dispidMP4Title = 77,
  dispidMP4VideoBitrate = 78,
  dispidMP4Width = 79,
  dispidMP4Height = 80,
  dispidParenthWnd = 81,
  dispidPrePos = 82,
  dispidSetDivx = 83,
  dispidFLVFrameRate = 84,
  dispidSWFFrameRate = 85,
  // Methods.
  dispidSave = 86,
  dispidCancel = 87,
  dispidGetFileDuration = 88,
  dispidGetTotalDuration = 89,
  dispidPreview = 90,
  dispidAddAudio = 91,
  dispidAddVideo = 92,
  dispidAddBgVideo = 93,
  dispidAddTransition = 94,
  dispidGetFileHeight = 95,
  dispidGetFileWidth = 96,
  dispidGetFileFrameRate = 97,
  dispidInitControl = 98,
  dispidStop = 99,
  dispidSave2WMA = 100,
  dispidMPEGStatus = 101,
  dispidPause = 102,
  dispidPlay = 103,
  dispidSave2Wave = 104,
  dispidAddBgAudio = 105,
  dispidGetAudioStream = 106,
  dispidGetFrame2HBitmap = 107,
  dispidGetFrame2Picture = 108,
  dispidGetFrameBySize2HBitmap = 109,
  dispidGetFrameBySize2Picture = 110,
  dispidAddEffect = 111,
  dispidGetFrame = 112,
  dispidReleasePictureBox = 113,
  dispidGetFrameBySize = 114,
  dispidSetPos = 115,
  dispidGetPos = 116,
  dispidDrawImage = 117,
  dispidDrawText = 118,
  dispidSetHashBrushValue = 119,
  dispidSetTextureBrushImage = 120,
  dispidSetOutlineTextBackColor = 121,
  dispidSetOutlineTextBorderColor = 122,
  dispidSave2MP3 = 123,
  dispidLoadRmProfiles = 124,
  dispidGetRMProfilesCount = 125,
  dispidGetRMProfileName = 126,
  dispidFrameGrabberByTime = 127,
  dispidGetFileTotalFrame = 128,
  dispidFrameGrabber = 129,
  dispidFrameGrabber2 = 130,
  dispidFrameGrabberByTime2 = 131,
  dispidStopFrameGrabber = 132,
  dispidAddAudioWithTran = 133,
  dispidAddVideoWithTran = 134,
  dispidResizeControl = 135,
  dispidIsPause = 136,
  dispidShowFullScreen = 137,
  dispidAddVideoWithSlowMotion = 138,
  dispidAddAudioWithSlowMotion = 139,
  dispidAddAudioWithSlowMotionMer = 140,
  dispidAddVideoWithSlowMotionMer = 141,
  dispidAddVideoSlow2 = 142,
  dispidAddAudioSlow2 = 143,
  dispidCheckDivxFile = 144,
};

// ---- Member ids of _DTessaryEvents --------------------------------------------------------------
enum TessaryEventId : DISPID {
  eventidComplete = 1,
  eventidProcessing = 2,
  eventidOnPlaying = 3,
  eventidPreviewComplete = 4,
};

// ---- Member ids of the collections --------------------------------------------------------------
enum CollectionDispId : DISPID {
  dispidCollectionCount = 1,
  dispidCollectionFind = 2,
  dispidCollectionFindName = 3,  // FindWMVProfileDesc in IWMVProfiles
  dispidShowPropertyPage = 4,    // IVideoCompressors
  dispidFindWMVProfileName = 4,  // IWMVProfiles
  dispidIsAudioOnly = 5,         // IWMVProfiles
  dispidItemName = 1,            // every item
  dispidWMVProfileDescription = 2,
};
// Item's member id per collection.
constexpr DISPID kItemIdAudioCompressors = 4;
constexpr DISPID kItemIdVideoCompressors = 5;
constexpr DISPID kItemIdTransitions = 4;
constexpr DISPID kItemIdEffects = 4;
constexpr DISPID kItemIdWMVProfiles = 6;
