// Conversion: Save has a conversion plan build the graph from the timeline and runs it; the
// progress timer reports, the graph's notices end it.
#include "control/tessary_ctrl.h"
#include "control/wmv_profile.h"
#include "control/wmv_profiles.h"
#include "conversion/conversion_plan.h"
#include "conversion/output_types.h"
#include "conversion/quicktime_writer_stage.h"
#include "engine/tessary_ids.h"

// ---- Run flags ----------------------------------------------------------------------------------

void CTessaryCtrl::InitControl() {
  CreateTimeline();
  ready_ = TRUE;
  busy_ = FALSE;
}

namespace {

// Whether a file can be written under name: an existing file opens for writing, or a new one can
// be made (and is removed again).
bool OutputCanBeCreated(LPCTSTR name) {
  HANDLE file = CreateFile(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  file = CreateFile(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  DeleteFile(name);
  return true;
}

}  // namespace

BOOL CTessaryCtrl::Save(LPCTSTR strFileName) {
  if (!ready_ || busy_) return FALSE;
  // Numbers that name no type are refused untouched.
  const OutputTypeRow* type = FindOutputType(settings_.outputType);
  if (!type) return FALSE;
  // Some writers only reach the output at the end (FLV writes elsewhere first): an output that
  // cannot be written is refused before anything is built.
  if (strFileName && *strFileName && !OutputCanBeCreated(strFileName)) return FALSE;
  if (m_hWnd) KillTimer(kPreviewPositionTimer);
  busy_ = TRUE;
  const HRESULT hr = BuildConversionGraph(*type, strFileName);
  // A conversion that does not run holds no graph and leaves no file.
  if (hr != S_OK) {
    ReleaseGraph();
    flvTemporary_.Discard();
  }
  return hr == S_OK;
}

HRESULT CTessaryCtrl::BuildConversionGraph(const OutputTypeRow& type, LPCTSTR name) {
  GUID profileId = GUID_NULL;
  if (const CWMVProfile* profile = wmvProfiles_->ProfileAt(settings_.wmvProfile)) profileId = profile->ProfileId();
  ConversionPlan plan(type, settings_, profileId);

  CWaitCursor wait;
  ReleaseGraph();
  outputFile_.Empty();
  if (!name || !*name) return E_INVALIDARG;
  outputFile_ = name;
  // Without the control's window the graph's notices would reach nobody and the run never end.
  if (!m_hWnd || !timeline_.Get()) return E_UNEXPECTED;

  // FLV is written to a temporary file, which the metadata pass turns into the output.
  CString writtenFile = outputFile_;
  if (OutputType(settings_.outputType) == OutputType::FLV) {
    if (!flvTemporary_.Create()) return E_FAIL;
    writtenFile = flvTemporary_.Path();
  }
  HRESULT hr = plan.Build(timeline_.Get(), writtenFile, m_hWnd, overlay_, graph_);
  if (FAILED(hr)) return hr;
  graph_.NotifyWindow(m_hWnd, kGraphNotifyMessage);
  PlaceVideo(true);
  hr = graph_.Run();
  if (FAILED(hr)) return hr;
  SetTimer(kConversionProgressTimer, 0, nullptr);
  return S_OK;
}

// ---- Running ------------------------------------------------------------------------------------

void CTessaryCtrl::OnTimer(UINT_PTR nIDEvent) {
  switch (nIDEvent) {
    case kConversionProgressTimer:
      ReportProgress();
      break;
    case kSoundSaveProgressTimer:
      ReportSoundSaveProgress();
      break;
    case kPreviewPositionTimer:
      ReportPlaying();
      break;
    default:
      break;
  }
  COleControl::OnTimer(nIDEvent);
}

// QuickTime runs in real time; its writer counts what it has written.
void CTessaryCtrl::ReportProgress() {
  double seconds = 0;
  if (OutputType(settings_.outputType) == OutputType::QT) {
    LONG written = 0;
    if (!QuickTimePosition(graph_.Writer().get(), &written)) return;
    seconds = written;
  } else {
    LONGLONG position = 0;
    if (FAILED(graph_.CurrentPosition(&position))) return;
    seconds = double(position) * 1e-7;
  }
  FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), seconds, GetTotalDuration());
}

LRESULT CTessaryCtrl::OnGraphNotify(WPARAM, LPARAM) {
  // A late notice of a graph already let go must not read the preview's.
  if (previewing_) return 0;
  const GraphEnd end = ReadGraphNotices();
  if (end == GraphEnd::Running) return 0;
  KillTimer(kConversionProgressTimer);
  StopProcessing(end == GraphEnd::Failed);
  if (end == GraphEnd::Failed) DiscardIncompleteOutput();
  // The container may start its next conversion from here.
  FireEvent(eventidComplete, EVENT_PARAM(VTS_NONE));
  return 0;
}

namespace {

bool WriteFailed(HRESULT abortCode) { return abortCode == STG_E_MEDIUMFULL || abortCode == STG_E_WRITEFAULT; }

}  // namespace

CTessaryCtrl::GraphEnd CTessaryCtrl::ReadGraphNotices() {
  const ComPtr<IMediaEventEx> events = graph_.Events();
  if (!events) return GraphEnd::Running;
  LONG code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  // Reading stops at the end of the conversion: what follows belongs to a graph being let go.
  while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
    events->FreeEventParams(code, param1, param2);
    switch (code) {
      case EC_COMPLETE:
      // The user closing the live view ends the conversion too; the file keeps what was converted.
      case EC_USERABORT:
        return GraphEnd::Finished;
      // So does a stream that fails, unless what failed was writing the file.
      case EC_ERRORABORT:
      case EC_ERRORABORTEX:
        return WriteFailed(HRESULT(param1)) ? GraphEnd::Failed : GraphEnd::Finished;
      case EC_REPAINT:
        Invalidate(TRUE);
        break;
      default:
        break;
    }
  }
  return GraphEnd::Running;
}

// Runs after the graph is let go, so the writer has closed the file. A file cut short would pass
// for a finished conversion, so it goes.
void CTessaryCtrl::DiscardIncompleteOutput() {
  ::DeleteFile(outputFile_);
  const CString text = "Failed to write the output file:\n" + outputFile_;
  ::MessageBoxA(m_hWnd, text, nullptr, MB_OK);
}

void CTessaryCtrl::StopProcessing(bool aborted) {
  overlay_.ClearImagePath();
  if (m_hWnd) {
    KillTimer(kConversionProgressTimer);
    KillTimer(kSoundSaveProgressTimer);
    KillTimer(kPreviewPositionTimer);
  }
  TearDownEditing();
  flvTemporary_.Finish(outputFile_, aborted);
  ready_ = FALSE;
}
