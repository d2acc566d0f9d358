#pragma once
// What a file holds, asked without touching the editing timeline: its length through a graph
// that renders it, its streams through the media detector.
#include "win32/windows.h"

// The length in whole seconds; 0 when it cannot be told. A file no graph can render is reported
// to the user (a message box owned by owner) and gives 0.
double FileDurationSeconds(LPCTSTR name, HWND owner);

struct StreamFacts {
  bool found = false;  // the detector opened the file and read every stream asked about
  short width = 0;
  short height = 0;
  double frameRate = 0;
  double length = 0;  // seconds
  bool audio = false;
};

// Reads the streams as far as they can be read; found stays false when a read that was asked
// for failed, with the facts read until then.
StreamFacts ProbeStreams(LPCTSTR name, bool wantFrameRate, bool wantLength);

// Whether the name ends in "tif", "jpg" or "bmp" exactly (lower case), which is read as an image.
bool NamesImageFile(LPCTSTR name);
// The picture size of an image file; 0 x 0 when it cannot be read.
SIZE ImageFileSize(LPCTSTR name);
