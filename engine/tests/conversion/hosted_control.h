#pragma once
// The control loaded from its module and hosted in a container window, with the events it fires.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dispatch_calls.h"
#include "engine/tessary_ids.h"
#include "mfc/afxctl.h"

class CEventHost : public CWnd {
  DECLARE_EVENTSINK_MAP()
 public:
  void OnComplete() {
    ++completes;
    if (onComplete) onComplete();
  }
  void OnProcessing(double position, double duration) { progress.push_back({position, duration}); }
  void OnDblClick() { ++dblClicks; }
  void OnPlaying(double position) { playing.push_back(position); }
  void OnPreviewComplete() { ++previewCompletes; }
  struct Progress {
    double position;
    double duration;
  };
  int completes = 0;
  int dblClicks = 0;
  int previewCompletes = 0;
  std::vector<double> playing;
  std::vector<Progress> progress;
  // What the container does on Complete, such as starting its next conversion.
  std::function<void()> onComplete;
};

class HostedControl : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Method calls and property puts by member id.
  COleVariant Call(DISPID id, std::initializer_list<COleVariant> args = {});
  bool CallBool(DISPID id, std::initializer_list<COleVariant> args = {}) {
    return Call(id, args).boolVal == VARIANT_TRUE;
  }
  void Put(DISPID id, const COleVariant& value);
  COleVariant Get(DISPID id);
  // Position of a name in a collection property (by its item names), -1 when absent.
  short IndexOf(DISPID collection, const char* name);

  bool AddVideo(const std::string& file, double start, double stop, short stretch = 0) {
    return CallBool(dispidAddVideo, {COleVariant(file.c_str()), COleVariant(start), COleVariant(stop),
                                     COleVariant(stretch)});
  }
  bool AddAudio(const std::string& file, double start, double stop) {
    return CallBool(dispidAddAudio, {COleVariant(file.c_str()), COleVariant(start), COleVariant(stop)});
  }
  double TotalDuration() { return Call(dispidGetTotalDuration).dblVal; }

  static HMODULE module;
  CEventHost host;
  CWnd wrapper;
  COleControlSite* site = nullptr;
  IDispatch* control = nullptr;
};
