#pragma once
// Dispatch drivers of the collections the engine control hands out. Each owns its dispatch
// pointer and releases it when destroyed; each operation is one call by member id.
#include "mfc/afxctl.h"

// What every collection has: its count.
class CCollectionDriver : public COleDispatchDriver {
 public:
  CCollectionDriver() = default;
  explicit CCollectionDriver(LPDISPATCH dispatch) : COleDispatchDriver(dispatch) {}

  short GetCount();
  void SetCount(short count);
};

class CAudioCompressorsDriver : public CCollectionDriver {
 public:
  using CCollectionDriver::CCollectionDriver;

  // The index of the compressor with that name, -1 when there is none.
  short FindAudioCompressor(LPCTSTR name);
  CString FindAudioCompressorName(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};

class CTransitionsDriver : public CCollectionDriver {
 public:
  using CCollectionDriver::CCollectionDriver;

  short FindTransition(LPCTSTR name);
  CString FindTransitionName(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};

class CVideoCompressorsDriver : public CCollectionDriver {
 public:
  using CCollectionDriver::CCollectionDriver;

  // The index of the compressor with that name, -1 when there is none.
  short FindVideoCompressor(LPCTSTR name);
  CString FindVideoCompressorName(short index);
  BOOL ShowPropertyPage(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};

class CWMVProfilesDriver : public CCollectionDriver {
 public:
  using CCollectionDriver::CCollectionDriver;

  short FindWMVProfile(LPCTSTR name);
  CString FindWMVProfileDesc(short index);
  CString FindWMVProfileName(short index);
  BOOL IsAudioOnly(short index);
  LPDISPATCH GetItem(const VARIANT& key);
};
