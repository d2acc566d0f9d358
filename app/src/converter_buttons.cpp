// The skin's buttons, options and slider, and playback in the engine's view.
#include <cstdlib>

#include "app_resources.h"
#include "converter_dlg.h"
#include "converter_rows.h"
#include "edit_time_dlg.h"
#include "options_dlg.h"
#include "profile_dlg.h"
#include "skin/skin_list_box.h"
#include "skin/skin_slider.h"

namespace {

struct FrameSize {
  short width;
  short height;
};
constexpr FrameSize kFullScreenSizes[] = {{320, 240}, {352, 288}, {480, 480}, {480, 576},  {640, 480},
                                          {704, 576}, {720, 480}, {720, 576}, {1024, 768}, {1280, 720}};

FrameSize FullScreenSize(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kFullScreenSizes))) return {640, 480};
  return kFullScreenSizes[index];
}

short PreviewDepth(int index) {
  switch (index) {
    case 0: return 16;
    case 2: return 32;
    default: return 24;
  }
}

// The preview in the engine's own view has a fixed size.
constexpr short kPreviewWidth = 320;
constexpr short kPreviewHeight = 240;

}  // namespace

void CConverterDlg::OnSkinButton(CString name) {
  if (name == "BUTTON_EXIT" || name == "BUTTON_CLOSE") {
    OnClose();
  } else if (name == "BUTTON_ADD") {
    AddFiles();
  } else if (name == "BUTTON_BROWSE") {
    BrowseOutput();
  } else if (name == "BUTTON_DELALL") {
    if (CSkinListBoxCtrl* list = FileList()) {
      list->DeleteAllItems();
      list->Invalidate();
    }
  } else if (name == "BUTTON_DEL") {
    if (CSkinListBoxCtrl* list = FileList()) list->DeleteSelected();
  } else if (name == "BUTTON_CONVERT") {
    if (batchMode_)
      ConvertBatch();
    else
      ConvertMerge();
  } else if (name == "BUTTON_UP") {
    MoveSelectedUp();
  } else if (name == "BUTTON_DOWN") {
    MoveSelectedDown();
  } else if (name == "BUTTON_EDIT") {
    engine.Stop();
    EditProfiles();
  } else if (name == "BUTTON_PLAY") {
    PreviewSelected();
  } else if (name == "BUTTON_PAUSE") {
    engine.Pause();
  } else if (name == "BUTTON_STOP") {
    engine.Stop();
  } else if (name == "BUTTON_MINIMIZE") {
    ShowWindow(SW_MINIMIZE);
  }
}

void CConverterDlg::OnSkinOption(CString name) {
  const bool batch = name == "OPTION_BATCH";
  settings_.batchOption = batch ? 1 : 0;
  settings_.mergeOption = batch ? 0 : 1;
  ShowMode();
}

void CConverterDlg::BrowseOutput() {
  if (!batchMode_) {
    ChooseMergeFile();
    return;
  }
  // Cancelling the chooser keeps the folder there was.
  const CString folder = BrowseOutputFolder();
  if (folder.IsEmpty()) return;
  settings_.outputFolder = folder;
  SetOutputText(folder);
}

void CConverterDlg::SelectRow(int row) {
  CSkinListBoxCtrl* list = FileList();
  if (!list || row < 0 || row >= list->GetItemCount()) return;
  list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list->SetSelectionMark(row);
}

void CConverterDlg::MoveSelectedUp() {
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  const int selected = list->GetSelectionMark();
  if (selected < 1 || selected >= list->GetItemCount()) return;
  list->MoveItem(selected, selected - 1);
  list->SetFocus();
  SelectRow(selected - 1);
}

void CConverterDlg::MoveSelectedDown() {
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  const int selected = list->GetSelectionMark();
  if (selected < 0 || selected >= list->GetItemCount() - 1) return;
  // The row below moves up, so the selected file goes down one place.
  list->MoveItem(selected + 1, selected);
  list->SetFocus();
  SelectRow(selected + 1);
}

void CConverterDlg::OnSliderCommand(int, int position) {
  const CProfileRecord* profile = SelectedProfile();
  // A slowed clip's positions are not the file's: no seeking.
  if (!profile || profile->useSlowMotion) return;
  engine.Pause();
  engine.SetPos(position);
  engine.Play();
}

void CConverterDlg::PreviewSelected() {
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  const int selected = list->GetSelectionMark();
  if (selected < 0 || selected >= list->GetItemCount()) return;
  const FileRow row = ReadRow(*list, selected);
  if (row.path.IsEmpty()) return;
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
    // A file that cannot be opened is not previewed.
    if (engine.GetFileDuration(row.path) == 0) return;
    clipLength_ = end - start;
  }
  const CProfileRecord* profile = SelectedProfile();
  if (!profile) {
    AfxMessageBox(IDS_PROFILE_NOT_FOUND);
    return;
  }
  TakeOverlay(*profile);
  if (profile->useSlowMotion) clipLength_ *= 1 + profile->slowMotionRate;
  if (CSkinSlider* slider = ProgressSlider()) slider->SetRange(0, static_cast<int>(clipLength_), FALSE);
  if (engine.IsPause()) {
    engine.Play();
    return;
  }
  engine.SetUseOverlay(overlayOn_);
  engine.SetOutputFileWidth(kPreviewWidth);
  engine.SetOutputFileHeight(kPreviewHeight);
  engine.SetVideoSampleSize(32);
  engine.InitControl();
  if (profile->useSlowMotion) {
    engine.AddVideoWithSlowMotion(row.path, start, end, 0, profile->slowMotionRate);
    engine.AddAudioWithSlowMotion(row.path, start, end, profile->slowMotionRate);
  } else {
    engine.AddVideo(row.path, start, end, 0);
    engine.AddAudio(row.path, start, end);
  }
  engine.SetSetDivx(FALSE);
  engine.SetPrePos(0.0);
  engine.Preview();
}

void CConverterDlg::OnOptions() {
  engine.Stop();
  COptionsDlg dialog(this);
  dialog.sizeIndex = settings_.fullScreenSize;
  dialog.depthIndex = settings_.previewDepth;
  dialog.prefix = settings_.prefixName;
  if (dialog.DoModal() != IDOK) return;
  settings_.prefixName = dialog.prefix;
  settings_.fullScreenSize = dialog.sizeIndex;
  settings_.previewDepth = dialog.depthIndex;
}

void CConverterDlg::OnListDblClk(int) { EditSelectedTimes(); }

void CConverterDlg::EditProfiles() {
  CProfileDlg editor(this);
  editor.owner = this;
  if (CSkinComboBox* combo = ProfileCombo()) editor.current = combo->GetDropList().GetSelectionMark();
  editor.DoModal();
}

void CConverterDlg::EditSelectedTimes() {
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  const int selected = list->GetSelectionMark();
  if (selected < 0 || selected >= list->GetItemCount()) return;
  const FileRow row = ReadRow(*list, selected);
  CString start = row.start;
  CString end = row.end;
  if (IsToEnd(end)) {
    // The dialog shows the whole file rather than a zero end.
    const double duration = engine.GetFileDuration(row.path);
    if (duration == 0) return;
    start = FormatSeconds(0);
    end = FormatSeconds(duration);
  }
  CEditTimeDlg dialog(this);
  dialog.start = std::atof(start);
  dialog.end = std::atof(end);
  if (dialog.DoModal() != IDOK) return;
  // The row selected now: the dialog may have run while the list changed.
  const int now = list->GetSelectionMark();
  if (now < 0 || now >= list->GetItemCount()) return;
  list->SetItemText(now, 2, FormatSeconds(dialog.start));
  list->SetItemText(now, 3, FormatSeconds(dialog.end));
}

void CConverterDlg::OnPlaying(double position) {
  DrawProfileOverlay();
  CSkinSlider* slider = ProgressSlider();
  if (!slider) return;
  slider->SetPos(static_cast<int>(position));
  if (CLabel* label = FindLabel("LABEL_TIME"))
    label->SetText(FormatHms(static_cast<int>(position)) + "/" + FormatHms(static_cast<int>(clipLength_)));
}

void CConverterDlg::OnPreviewComplete() {
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  const int selected = list->GetSelectionMark();
  // Without a selection there is nothing to play on from.
  if (selected < 0 || selected >= list->GetItemCount()) return;
  list->SetItemState(selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (selected + 1 >= list->GetItemCount()) return;
  SelectRow(selected + 1);
  PreviewSelected();
}

void CConverterDlg::OnDblClick() {
  CSkinListBoxCtrl* list = FileList();
  if (!list) return;
  const int selected = list->GetSelectionMark();
  if (selected < 0 || selected >= list->GetItemCount()) return;
  const FileRow row = ReadRow(*list, selected);
  if (row.path.IsEmpty()) return;
  const BOOL divx = engine.CheckDivxFile(row.path);
  double start = std::atof(row.start);
  double end = std::atof(row.end);
  if (IsToEnd(row.end)) {
    start = 0;
    const double duration = engine.GetFileDuration(row.path);
    // A file that cannot be opened is not shown.
    if (duration == 0) return;
    end = std::atof(FormatSeconds(duration));
    clipLength_ = duration - start;
  } else {
    clipLength_ = end - start;
  }
  const double position = engine.GetPos();
  const CProfileRecord* profile = SelectedProfile();
  if (!profile) return;
  const FrameSize size = FullScreenSize(settings_.fullScreenSize);
  engine.SetOutputFileWidth(size.width);
  engine.SetOutputFileHeight(size.height);
  engine.SetUseOverlay(profile->useOverlay);
  engine.SetVideoSampleSize(PreviewDepth(settings_.previewDepth));
  engine.InitControl();
  if (profile->useSlowMotion) {
    engine.AddVideoSlow2(row.path, start, end, 0, profile->slowMotionRate);
    engine.AddAudioSlow2(row.path, start, end, profile->slowMotionRate);
  } else {
    engine.AddVideo(row.path, start, end, 0);
    engine.AddAudio(row.path, start, end);
  }
  engine.SetSetDivx(divx);
  engine.SetPrePos(position);
  // Full screen only for a preview that starts.
  engine.ShowFullScreen(TRUE);
  engine.Preview();
}
