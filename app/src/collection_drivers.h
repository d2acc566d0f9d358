#pragma once
// Dispatch drivers of the collections the engine control hands out. Each owns its dispatch
// pointer and releases it when destroyed; each operation is one call by member id.
#include "mfc/afxctl.h"

class CAudioCompressorsDriver : public COleDispatchDriver {
 public:
  CAudioCompressorsDriver() = default;
  explicit CAudioCompressorsDriver(LPDISPATCH dispatch) : COleDispatchDriver(dispatch) {}

  short GetCount();
  void SetCount(short count);
  // The index of the compressor with that name, -1 when there is none.
  short FindAudioCompressor(LPCTSTR name);
  CString FindAudioCompressorName(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};

class CTransitionsDriver : public COleDispatchDriver {
 public:
  CTransitionsDriver() = default;
  explicit CTransitionsDriver(LPDISPATCH dispatch) : COleDispatchDriver(dispatch) {}

  short GetCount();
  void SetCount(short count);
  short FindTransition(LPCTSTR name);
  CString FindTransitionName(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};

class CVideoCompressorsDriver : public COleDispatchDriver {
 public:
  CVideoCompressorsDriver() = default;
  explicit CVideoCompressorsDriver(LPDISPATCH dispatch) : COleDispatchDriver(dispatch) {}

  short GetCount();
  void SetCount(short count);
  // The index of the compressor with that name, -1 when there is none.
  short FindVideoCompressor(LPCTSTR name);
  CString FindVideoCompressorName(short index);
  BOOL ShowPropertyPage(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};

class CWMVProfilesDriver : public COleDispatchDriver {
 public:
  CWMVProfilesDriver() = default;
  explicit CWMVProfilesDriver(LPDISPATCH dispatch) : COleDispatchDriver(dispatch) {}

  short GetCount();
  void SetCount(short count);
  short FindWMVProfile(LPCTSTR name);
  CString FindWMVProfileDesc(short index);
  CString FindWMVProfileName(short index);
  BOOL IsAudioOnly(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};
