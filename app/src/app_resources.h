#pragma once
// Resource ids of the program.
#include "win32/windows.h"

constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDD_CONVERTER = 102;
constexpr UINT IDD_EDIT_TIME = 144;
constexpr UINT IDD_OPTIONS = 159;
constexpr UINT IDD_PROFILE = 135;

// The dialogs' button icons.
constexpr UINT IDI_ADD = 136;
constexpr UINT IDI_CROSS = 137;  // delete and cancel
constexpr UINT IDI_CHECK = 138;  // OK and save
constexpr UINT IDI_NEXT = 140;
constexpr UINT IDI_PREVIOUS = 141;
constexpr UINT IDI_LAST = 142;
constexpr UINT IDI_FIRST = 143;
constexpr UINT IDI_FOLDER = 153;

constexpr UINT IDS_OUTPUT_FOLDER = 102;
constexpr UINT IDS_OUTPUT_FILE = 103;
constexpr UINT IDS_PROFILE_NOT_FOUND = 105;
constexpr UINT IDS_NO_PROFILE_NAME = 106;
constexpr UINT IDS_UNUSABLE_VIDEO_COMPRESSOR = 107;
constexpr UINT IDS_FRAME_TOO_LARGE = 108;
constexpr UINT IDS_NO_OVERLAY_IMAGE = 109;
constexpr UINT IDS_DELETE_PROFILE = 110;
constexpr UINT IDS_OPEN_FAILED = 112;
constexpr UINT IDS_EXTRACT_FAILED = 113;
constexpr UINT IDS_NO_OUTPUT_FOLDER = 120;
constexpr UINT IDS_NO_OUTPUT_FILE = 121;
constexpr UINT IDS_MERGE_FILE_IS_INPUT = 122;
constexpr UINT IDS_CONVERSION_NOT_STARTED = 123;
constexpr UINT IDS_BAD_TIMES = 130;

// Called by the main dialog so that the resource tables come with it into any program.
void LinkProgramResources();
