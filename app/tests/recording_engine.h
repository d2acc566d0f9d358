#pragma once
// A stand-in for the engine control, registered under the engine's class identifier for the
// process: it answers every member of the engine's automation interface, records each put and
// call in order, answers durations, pause state and positions as a test scripts them, and fires
// the engine's events when a test asks.
#include <map>
#include <string>
#include <vector>

#include "mfc/afxctl.h"

namespace app_test {

class CRecordingEngine;

// The stand-in's compressor collections: Find answers the index a test gave the name, or -1.
class CRecordingCollection : public CCmdTarget {
 public:
  CRecordingCollection(CRecordingEngine* engine, const char* findName);
  std::map<std::string, short> indices;

 private:
  short GetCount();
  short Find(LPCTSTR name);
  BSTR FindName(short index);
  CRecordingEngine* engine_;
  std::string findName_;
  DECLARE_DISPATCH_MAP()
};

class CRecordingEngine : public COleControl {
  DECLARE_DYNCREATE(CRecordingEngine)
  DECLARE_DISPATCH_MAP()
  DECLARE_EVENT_MAP()
 public:
  CRecordingEngine();
  ~CRecordingEngine() override;

  // Registers the stand-in's class object for the engine's class identifier (once a process).
  static void Register();
  // The stand-in made last, null when none lives.
  static CRecordingEngine* Current();

  // Everything the hosts did, in order: "Name=value" for a put, "Name(arg,...)" for a call,
  // "FindVideoCompressor(name)" for a look-up in a collection. Kept after the stand-in is gone.
  inline static std::vector<std::string> calls;
  static void ClearCalls() { calls.clear(); }
  // The calls whose text starts with prefix.
  static std::vector<std::string> CallsStartingWith(const std::string& prefix);

  // Scripted answers.
  std::map<std::string, double> durations;  // by path; 0 for any other file
  BOOL paused = FALSE;
  BOOL saveResult = TRUE;  // what Save answers
  double position = 0;

  CRecordingCollection videoCompressors;
  CRecordingCollection audioCompressors;

  void FireComplete();
  void FireProcessing(double position, double duration);
  void FireOnPlaying(double position);
  void FirePreviewComplete();
  void FireDblClick();

  static void Record(std::string call) { calls.push_back(std::move(call)); }
  HRESULT GetClassID(LPCLSID clsid) override;
  void OnDraw(CDC* dc, const CRect& bounds, const CRect&) override { dc->FillSolidRect(bounds, RGB(0, 0, 0)); }

  static HRESULT GetMember(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                           VARIANT* result);
  static HRESULT PutMember(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                           VARIANT* result);
  static HRESULT CallMember(CCmdTarget* target, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs, UINT count,
                            VARIANT* result);

 private:
  std::map<DISPID, std::string> values_;
};

// A value as the record writes it: numbers with %g, flags as TRUE/FALSE, texts as they are.
std::string FormatValue(const VARIANT& value);

}  // namespace app_test
