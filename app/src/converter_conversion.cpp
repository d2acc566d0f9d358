// Batch and merge conversion: the selected profile goes into the engine, the rows go onto its
// timeline, and the progress window runs modally while the engine works.
#include <cstdlib>

#include "app_resources.h"
#include "converter_dlg.h"
#include "converter_rows.h"
#include "skin/skin_combo_box.h"
#include "skin/skin_list_box.h"

namespace {

constexpr int kAviOutput = 8;
constexpr int kProgressMessage = WM_USER + 100;
constexpr DWORD kPauseBetweenRows = 500;
constexpr char kCreditLine[] = "Converted with Corvane";

CString FullPath(const CString& path) {
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathName(path, sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? CString(full) : path;
}

}  // namespace

const CProfileRecord* CConverterDlg::SelectedProfile() const {
  if (profiles_.empty()) return nullptr;
  int mark = -1;
  if (CSkinComboBox* combo = ProfileCombo()) mark = combo->GetDropList().GetSelectionMark();
  // No mark means the first profile, the one the combo box shows first.
  if (mark < 0) mark = 0;
  return mark < static_cast<int>(profiles_.size()) ? profiles_[mark].get() : nullptr;
}

void CConverterDlg::TakeOverlay(const CProfileRecord& profile) {
  overlayOn_ = profile.useOverlay;
  overlayImage_ = profile.overlayImage;
  overlayLeft_ = profile.overlayLeft;
  overlayTop_ = profile.overlayTop;
  overlayAlpha_ = profile.alpha;
  overlayKey_ = profile.KeyColour();
}

void CConverterDlg::DrawProfileOverlay() {
  if (overlayOn_)
    engine.DrawImage(static_cast<short>(overlayLeft_), static_cast<short>(overlayTop_), overlayImage_, overlayKey_,
                     static_cast<short>(overlayAlpha_));
}

void CConverterDlg::ApplyProfile(const CProfileRecord& profile) {
  engine.SetUseOverlay(profile.useOverlay);
  // The overlay stage is always in the graph; the profile decides only whether an image is drawn.
  engine.SetUseOverlay(TRUE);
  short video = engine.GetVideoCompressors().FindVideoCompressor(profile.videoName);
  engine.SetVideoCompressor(video == -1 ? static_cast<short>(profile.videoIndex) : video);
  short audio = engine.GetAudioCompressors().FindAudioCompressor(profile.audioName);
  engine.SetAudioCompressor(audio == -1 ? static_cast<short>(profile.audioIndex) : audio);
  engine.SetVideoSampleSize(32);
  engine.SetOutputType(kAviOutput);
  engine.SetUseVideoCompressor(TRUE);
  engine.SetUseAudioCompressor(TRUE);
  engine.SetOutputFileWidth(static_cast<short>(profile.width));
  engine.SetOutputFileHeight(static_cast<short>(profile.height));
  engine.SetFrameRate(static_cast<float>(profile.frameRate));
  engine.SetDvVideoEncoderParam(static_cast<short>(profile.dvStandard));
  engine.SetAVILameBitrate(static_cast<short>(profile.mp3Bitrate));
  engine.InitControl();
}

CString CConverterDlg::BatchOutputPath(const CString& folder, const CString& inputPath) {
  const int slash = inputPath.ReverseFind('\\');
  const CString namePart = slash < 0 ? "\\" + inputPath : inputPath.Mid(slash);
  // A name without an extension keeps the whole name.
  const int dot = namePart.ReverseFind('.');
  const CString stem = dot < 0 ? namePart : namePart.Left(dot);
  if (settings_.prefixName.IsEmpty()) settings_.prefixName = "New";
  const CString base = folder + stem + "_" + settings_.prefixName;
  CString path = base + "." + outputExtension_;
  // Two inputs of one name in a batch would write one file; the later ones are numbered.
  for (int copy = 2; batchOutputs_.count(std::string(FullPath(path).MakeLower())); ++copy)
    path.Format("%s_%d.%s", base.GetString(), copy, outputExtension_.GetString());
  return path;
}

void CConverterDlg::ConvertBatch() {
  if (currentRow_ == 0 && MajorVersion() > 5 &&
      (settings_.outputFolder == "c:\\" || settings_.outputFolder == "C:\\")) {
    // Cancelling the question cancels the conversion; the folder stays as it was.
    const CString chosen = BrowseOutputFolder();
    if (chosen.IsEmpty()) return;
    settings_.outputFolder = chosen;
    SetOutputText(chosen);
  }
  CSkinListBoxCtrl* list = FileList();
  if (!list || currentRow_ >= list->GetItemCount()) {
    // The batch has ended.
    currentRow_ = 0;
    batchOutputs_.clear();
    if (progressWindow_.m_hWnd) progressWindow_.PostMessage(WM_CLOSE);
    return;
  }
  const CString folder = OutputText();
  if (currentRow_ == 0 && folder.IsEmpty()) {
    AfxMessageBox(IDS_NO_OUTPUT_FOLDER);
    return;
  }
  const FileRow row = ReadRow(*list, currentRow_);
  if (row.path.IsEmpty()) return;
  const CString outputPath = BatchOutputPath(folder, row.path);
  double start = std::atof(row.start);
  double end = std::atof(row.end);
  if (IsToEnd(row.end)) {
    start = 0;
    const double duration = engine.GetFileDuration(row.path);
    clipLength_ = duration;
    if (duration == 0) return;
    end = std::atof(FormatSeconds(duration));
    clipLength_ = duration - start;
  } else {
    clipLength_ = end - start;
  }
  const CProfileRecord* profile = SelectedProfile();
  if (!profile) return;
  TakeOverlay(*profile);
  if (profile->useSlowMotion) clipLength_ *= 1 + profile->slowMotionRate;
  ApplyProfile(*profile);
  const short stretch = static_cast<short>(profile->stretch);
  if (profile->useSlowMotion) {
    engine.AddVideoWithSlowMotion(row.path, start, end, stretch, profile->slowMotionRate);
    engine.AddAudioWithSlowMotion(row.path, start, end, profile->slowMotionRate);
  } else {
    engine.AddVideo(row.path, start, end, stretch);
    engine.AddAudio(row.path, start, end);
  }
  if (!engine.Save(outputPath)) {
    // No conversion runs, so no Complete would ever come: the batch ends here.
    ReportSaveFailure(outputPath);
    currentRow_ = 0;
    batchOutputs_.clear();
    if (progressWindow_.m_hWnd) progressWindow_.PostMessage(WM_CLOSE);
    return;
  }
  batchOutputs_.insert(std::string(FullPath(outputPath).MakeLower()));
  DrawProfileOverlay();
  if (++currentRow_ != 1) return;
  // The first row runs the progress window; the later rows are converted from inside it.
  if (RunProgressWindow() == IDCANCEL) {
    currentRow_ = 0;
    batchOutputs_.clear();
    engine.Stop();
  }
}

void CConverterDlg::ConvertMerge() {
  CSkinListBoxCtrl* list = FileList();
  if (!list || list->GetItemCount() == 0) return;
  if (MajorVersion() > 5 && (settings_.mergeFile == "c:\\mymerge.avi" || settings_.mergeFile == "C:\\mymerge.avi")) {
    // Cancelling the question cancels the conversion.
    if (!ChooseMergeFile()) return;
  }
  if (settings_.mergeFile.IsEmpty()) {
    AfxMessageBox(IDS_NO_OUTPUT_FILE);
    return;
  }
  // Writing over an input while it is read would destroy it.
  const CString mergePath = FullPath(settings_.mergeFile);
  for (int i = 0; i < list->GetItemCount(); ++i) {
    if (FullPath(list->GetItemText(i, 1)).CompareNoCase(mergePath) == 0) {
      AfxMessageBox(IDS_MERGE_FILE_IS_INPUT);
      return;
    }
  }
  const CProfileRecord* profile = SelectedProfile();
  if (!profile) return;
  TakeOverlay(*profile);
  ApplyProfile(*profile);
  const short stretch = static_cast<short>(profile->stretch);
  for (int i = 0; i < list->GetItemCount(); ++i) {
    const FileRow row = ReadRow(*list, i);
    double start = std::atof(row.start);
    double end = std::atof(row.end);
    if (IsToEnd(row.end)) {
      start = 0;
      const double duration = engine.GetFileDuration(row.path);
      clipLength_ = duration;
      // A file that cannot be opened ends the merge list there.
      if (duration == 0) break;
      end = std::atof(FormatSeconds(duration));
    }
    if (profile->useSlowMotion) {
      engine.AddVideoSlow2(row.path, start, end, stretch, profile->slowMotionRate);
      engine.AddAudioSlow2(row.path, start, end, profile->slowMotionRate);
    } else {
      engine.AddVideo(row.path, start, end, stretch);
      engine.AddAudio(row.path, start, end);
    }
  }
  if (!engine.Save(settings_.mergeFile)) {
    ReportSaveFailure(settings_.mergeFile);
    return;
  }
  DrawProfileOverlay();
  if (RunProgressWindow() == IDCANCEL) engine.Stop();
}

void CConverterDlg::ReportSaveFailure(const CString& outputPath) {
  CString text, message;
  text.LoadString(IDS_CONVERSION_NOT_STARTED);
  message.Format(text, outputPath.GetString());
  AfxMessageBox(message);
}

INT_PTR CConverterDlg::RunProgressWindow() {
  progressWindow_.SetMainDialog(this);
  return progressWindow_.DoModal();
}

void CConverterDlg::OnComplete() {
  if (!batchMode_) {
    if (progressWindow_.m_hWnd) progressWindow_.PostMessage(WM_CLOSE);
    return;
  }
  // The engine has just let go of the previous file.
  Sleep(kPauseBetweenRows);
  ConvertBatch();
}

void CConverterDlg::OnProcessing(double position, double duration) {
  DrawProfileOverlay();
  engine.SetTextFontSize(18);
  engine.DrawText(0, 0, kCreditLine);
  if (progressWindow_.m_hWnd)
    progressWindow_.PostMessage(kProgressMessage, static_cast<WPARAM>(static_cast<LONG>(position)),
                                static_cast<LPARAM>(static_cast<LONG>(duration)));
}
