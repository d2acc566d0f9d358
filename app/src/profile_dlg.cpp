#include "profile_dlg.h"

#include <cstring>
#include <iterator>

#include "app_resources.h"
#include "converter_dlg.h"
#include "dialog_buttons.h"
#include "win32/updown.h"

namespace {

const char* const kStretchRows[] = {"Stretched to fit", "No Resize", "Resize preserving the aspect ratio",
                                    "Resize crop"};
const char* const kDvRows[] = {"NTSC", "PAL"};
const char* const kMp3Rows[] = {"320", "256", "224", "192", "160", "144",
                                "128", "112", "96",  "80",  "64",  "32"};
// Compressors that cannot write the AVI files a profile makes; matched anywhere in the name.
const char* const kUnusableVideo[] = {"MSScreen encoder DMO", "MSScreen 9 encoder DMO", "WMVideo8 Encoder DMO",
                                      "WMVideo9 Encoder DMO", "Intel 4:2:0 Video",      "Microsoft H.261 Video Codec",
                                      "Microsoft H.263 Video Codec", "Microsoft Video 1"};
constexpr char kDvEncoder[] = "DV Video Encoder";
constexpr char kMp3Encoder[] = "MPEG Layer-3";
constexpr char kSizeLimitedCodec[] = "DivX? 6.8.3";
constexpr char kSection[] = "MYPROFILE";
constexpr char kImageFilter[] = "All Supported Files\0*.bmp;*.jpg;*.jpeg;*.png;*.gif\0All Files\0*.*\0";
constexpr DWORD kImageFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
constexpr DWORD kNameBufferSize = 32768;
const int kNavigationIds[] = {CProfileDlg::kFirstId, CProfileDlg::kPreviousId, CProfileDlg::kNextId,
                              CProfileDlg::kLastId, CProfileDlg::kAddId, CProfileDlg::kDeleteId};

void Fill(CWnd* combo, const char* const* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) combo->SendMessage(CB_ADDSTRING, 0, LPARAM(rows[i]));
}

CString Number(const char* format, double value) {
  CString text;
  text.Format(format, value);
  return text;
}
CString Number(int value) {
  CString text;
  text.Format("%d", value);
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CProfileDlg, CDialog)
  ON_BN_CLICKED(kAddId, OnAdd)
  ON_BN_CLICKED(kSaveId, OnSave)
  ON_BN_CLICKED(kCancelId, OnCancelAdding)
  ON_BN_CLICKED(kDeleteId, OnDelete)
  ON_BN_CLICKED(kFirstId, OnFirst)
  ON_BN_CLICKED(kPreviousId, OnPrevious)
  ON_BN_CLICKED(kNextId, OnNext)
  ON_BN_CLICKED(kLastId, OnLast)
  ON_CBN_SELCHANGE(kVideoId, OnVideoChange)
  ON_CBN_SELCHANGE(kAudioId, OnAudioChange)
  ON_BN_CLICKED(kSlowMotionId, OnSlowMotionClick)
  ON_BN_CLICKED(kOverlayId, OnOverlayClick)
  ON_BN_CLICKED(kBrowseId, OnBrowseImage)
END_MESSAGE_MAP()

CProfileDlg::CProfileDlg(CWnd* parent) : CDialog(IDD, parent) { LinkProgramResources(); }

BOOL CProfileDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  browseButton_.SetShade(CShadedButton::kSoftBump, 8, 10, 0, 0);
  browseButton_.SetIcon(IDI_FOLDER);
  firstButton_.SetIcon(IDI_FIRST);
  previousButton_.SetIcon(IDI_PREVIOUS);
  lastButton_.SetIcon(IDI_LAST);
  nextButton_.SetIcon(IDI_NEXT);
  ShadeWithIcon(saveButton_, IDI_CHECK);
  ShadeWithIcon(addButton_, IDI_ADD);
  ShadeWithIcon(deleteButton_, IDI_CROSS);
  ShadeWithIcon(cancelButton_, IDI_CROSS);
  if (!owner) return TRUE;
  CVideoCompressorsDriver videos = owner->engine.GetVideoCompressors();
  const short videoCount = videos.GetCount();
  for (short i = 0; i < videoCount; ++i)
    SendDlgItemMessage(kVideoId, CB_ADDSTRING, 0, LPARAM(LPCTSTR(videos.FindVideoCompressorName(i))));
  CAudioCompressorsDriver audios = owner->engine.GetAudioCompressors();
  const short audioCount = audios.GetCount();
  for (short i = 0; i < audioCount; ++i)
    SendDlgItemMessage(kAudioId, CB_ADDSTRING, 0, LPARAM(LPCTSTR(audios.FindAudioCompressorName(i))));
  if (audioCount > 0) SendDlgItemMessage(kAudioId, CB_SETCURSEL, 0);
  Fill(GetDlgItem(kStretchId), kStretchRows, std::size(kStretchRows));
  Fill(GetDlgItem(kDvId), kDvRows, std::size(kDvRows));
  SendDlgItemMessage(kDvId, CB_SETCURSEL, 0);
  Fill(GetDlgItem(kMp3Id), kMp3Rows, std::size(kMp3Rows));
  if (current == -1) current = 0;
  rateSpin_.SetBuddy(&rateEdit_);
  rateSpin_.SetRange(0.1f, 4.0f);
  rateSpin_.SetDelta(0.1f);
  SendDlgItemMessage(kAlphaSpinId, UDM_SETBUDDY, WPARAM(GetDlgItem(kAlphaId)->m_hWnd));
  SendDlgItemMessage(kAlphaSpinId, UDM_SETRANGE32, 1, 255);
  ShowRecord();
  return TRUE;
}

void CProfileDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kRateId, rateEdit_);
  DDX_Control(pDX, kRateSpinId, rateSpin_);
  DDX_Control(pDX, kKeyColourId, keyPicker_);
  DDX_Control(pDX, kBrowseId, browseButton_);
  DDX_Control(pDX, kFirstId, firstButton_);
  DDX_Control(pDX, kPreviousId, previousButton_);
  DDX_Control(pDX, kNextId, nextButton_);
  DDX_Control(pDX, kLastId, lastButton_);
  DDX_Control(pDX, kAddId, addButton_);
  DDX_Control(pDX, kDeleteId, deleteButton_);
  DDX_Control(pDX, kSaveId, saveButton_);
  DDX_Control(pDX, kCancelId, cancelButton_);
  DDX_ColourPicker(pDX, kKeyColourId, keyColour);
  DDX_Text(pDX, kNameId, name);
  DDX_Text(pDX, kDescriptionId, description);
  DDX_CBIndex(pDX, kVideoId, videoIndex);
  DDX_CBIndex(pDX, kAudioId, audioIndex);
  DDX_CBIndex(pDX, kMp3Id, mp3BitrateIndex);
  DDX_Text(pDX, kFrameRateId, frameRate);
  DDX_Text(pDX, kWidthId, width);
  DDX_Text(pDX, kHeightId, height);
  DDX_CBIndex(pDX, kStretchId, stretch);
  DDX_Check(pDX, kSlowMotionId, useSlowMotion);
  DDX_Text(pDX, kRateId, slowMotionRate);
  DDX_Check(pDX, kOverlayId, useOverlay);
  DDX_Text(pDX, kImageId, overlayImage);
  DDX_Text(pDX, kLeftId, overlayLeft);
  DDX_Text(pDX, kTopId, overlayTop);
  DDX_Text(pDX, kAlphaId, alpha);
}

int CProfileDlg::ProfileCount() const { return owner ? int(owner->Profiles().size()) : 0; }

void CProfileDlg::Enable(int id, bool enable) {
  if (CWnd* item = GetDlgItem(id)) item->EnableWindow(enable);
}

CString CProfileDlg::ComboText(int id) const {
  const int selected = int(SendDlgItemMessage(id, CB_GETCURSEL));
  if (selected < 0) return CString();
  const int length = int(SendDlgItemMessage(id, CB_GETLBTEXTLEN, WPARAM(selected)));
  if (length < 0) return CString();
  std::string text(size_t(length) + 1, '\0');
  SendDlgItemMessage(id, CB_GETLBTEXT, WPARAM(selected), LPARAM(text.data()));
  return CString(text.c_str());
}

void CProfileDlg::ResetFields() {
  frameRate = 25.0;
  height = 240;
  width = 320;
  name.Empty();
  description.Empty();
  videoIndex = audioIndex = stretch = 0;
  slowMotionRate = 0.5f;
  useSlowMotion = 0;
}

void CProfileDlg::ShowRecord() {
  if (!owner) return;
  const auto& profiles = owner->Profiles();
  int dvStandard = 0;
  CString videoName, audioName;
  if (current >= 0 && current < int(profiles.size())) {
    const CProfileRecord& record = *profiles[size_t(current)];
    name = record.name;
    description = record.description;
    videoIndex = record.videoIndex;
    audioIndex = record.audioIndex;
    stretch = record.stretch;
    width = record.width;
    height = record.height;
    frameRate = record.frameRate;
    dvStandard = record.dvStandard;
    mp3BitrateIndex = record.mp3BitrateIndex;
    slowMotionRate = float(record.slowMotionRate);
    useSlowMotion = record.useSlowMotion;
    useOverlay = record.useOverlay;
    overlayImage = record.overlayImage;
    overlayLeft = record.overlayLeft;
    overlayTop = record.overlayTop;
    alpha = record.alpha;
    keyColour = record.KeyColour();
    videoName = record.videoName;
    audioName = record.audioName;
  } else {
    ResetFields();
    useOverlay = 0;
    overlayImage.Empty();
    overlayLeft = overlayTop = 0;
    alpha = 255;
  }
  UpdateData(FALSE);
  // A missing index means the record names its compressor instead.
  if (SendDlgItemMessage(kVideoId, CB_GETCOUNT) > 0) {
    int row = videoIndex;
    if (row == -1) row = int(SendDlgItemMessage(kVideoId, CB_FINDSTRING, WPARAM(-1), LPARAM(LPCTSTR(videoName))));
    SendDlgItemMessage(kVideoId, CB_SETCURSEL, WPARAM(row));
  }
  if (SendDlgItemMessage(kAudioId, CB_GETCOUNT) > 0) {
    int row = audioIndex;
    if (row == -1) row = int(SendDlgItemMessage(kAudioId, CB_FINDSTRING, WPARAM(-1), LPARAM(LPCTSTR(audioName))));
    SendDlgItemMessage(kAudioId, CB_SETCURSEL, WPARAM(row));
  }
  SendDlgItemMessage(kStretchId, CB_SETCURSEL, WPARAM(stretch));
  UpdateDependentControls();
  SendDlgItemMessage(kDvId, CB_SETCURSEL, WPARAM(dvStandard));
  SendDlgItemMessage(kMp3Id, CB_SETCURSEL, WPARAM(mp3BitrateIndex));
}

void CProfileDlg::UpdateDependentControls() {
  OnVideoChange();
  OnAudioChange();
  OnSlowMotionClick();
  OnOverlayClick();
}

void CProfileDlg::OnVideoChange() {
  const bool dv = ComboText(kVideoId) == kDvEncoder;
  Enable(kDvId, dv);
  if (dv) SendDlgItemMessage(kDvId, CB_SETCURSEL, 0);
  Enable(kWidthId, !dv);
  Enable(kHeightId, !dv);
}

void CProfileDlg::OnAudioChange() {
  const bool mp3 = ComboText(kAudioId) == kMp3Encoder;
  Enable(kMp3Id, mp3);
  if (mp3) SendDlgItemMessage(kMp3Id, CB_SETCURSEL, 0);
}

void CProfileDlg::OnSlowMotionClick() {
  const bool on = IsDlgButtonChecked(kSlowMotionId) == BST_CHECKED;
  Enable(kRateId, on);
  Enable(kRateSpinId, on);
}

void CProfileDlg::OnOverlayClick() {
  const bool on = IsDlgButtonChecked(kOverlayId) == BST_CHECKED;
  for (int id : {kBrowseId, kAlphaSpinId, kKeyColourId, kLeftId, kTopId}) Enable(id, on);
}

void CProfileDlg::OnBrowseImage() {
  std::vector<char> names(kNameBufferSize, '\0');
  OPENFILENAME ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = kImageFilter;
  ofn.lpstrFile = names.data();
  ofn.nMaxFile = kNameBufferSize;
  ofn.Flags = kImageFlags;
  UpdateData(TRUE);
  if (!GetOpenFileName(&ofn)) {
    overlayImage.Empty();
  } else {
    // A multiple selection lists the folder first: the first file chosen is the image.
    overlayImage = names.data();
    const char* second = names.data() + std::strlen(names.data()) + 1;
    if (*second) overlayImage += CString("\\") + second;
  }
  UpdateData(FALSE);
}

void CProfileDlg::SetAdding(bool adding) {
  for (int id : kNavigationIds) Enable(id, !adding);
  Enable(kSaveId, adding);
  Enable(kCancelId, adding);
  Enable(kNameId, adding);
}

void CProfileDlg::OnAdd() {
  ResetFields();
  UpdateData(FALSE);
  SetAdding(true);
  GetDlgItem(kNameId)->SetFocus();
  UpdateDependentControls();
}

void CProfileDlg::OnCancelAdding() {
  SetAdding(false);
  ShowRecord();
}

void CProfileDlg::OnFirst() {
  current = 0;
  ShowRecord();
}

void CProfileDlg::OnPrevious() {
  if (current > 0) --current;
  ShowRecord();
}

void CProfileDlg::OnNext() {
  if (current < ProfileCount() - 1) ++current;
  ShowRecord();
}

void CProfileDlg::OnLast() {
  current = ProfileCount() - 1;
  ShowRecord();
}

UINT CProfileDlg::Refusal() const {
  if (name.IsEmpty()) return IDS_NO_PROFILE_NAME;
  const CString video = ComboText(kVideoId);
  for (const char* unusable : kUnusableVideo)
    if (video.Find(unusable) >= 0) return IDS_UNUSABLE_VIDEO_COMPRESSOR;
  if (video.Find(kSizeLimitedCodec) >= 0 && (width > 720 || height > 480)) return IDS_FRAME_TOO_LARGE;
  if (useOverlay && overlayImage.IsEmpty()) return IDS_NO_OVERLAY_IMAGE;
  return 0;
}

CString CProfileDlg::NewProfilePath(const CString& folder, int loaded, const CString& name) {
  // The name becomes part of a path: it may neither leave the folder nor make an invalid name.
  CString safe = name;
  for (const char bad : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) safe.Replace(bad, '_');
  for (int number = loaded + 1;; ++number) {
    CString path;
    path.Format("%s\\%d_%s.ini", LPCTSTR(folder), number, LPCTSTR(safe));
    if (GetFileAttributes(path) == INVALID_FILE_ATTRIBUTES) return path;
  }
}

void CProfileDlg::OnSave() {
  if (!owner || !UpdateData(TRUE)) return;
  if (const UINT refusal = Refusal()) {
    AfxMessageBox(refusal);
    return;
  }
  const auto& profiles = owner->Profiles();
  const bool adding = !GetDlgItem(kAddId)->IsWindowEnabled();
  if (!adding) {
    if (current >= 0 && current < int(profiles.size())) SaveProfile(profiles[size_t(current)]->path);
  } else {
    SaveProfile(NewProfilePath(owner->ProfileFolder(), int(profiles.size()), name));
  }
  SetAdding(false);
  owner->LoadProfiles();
}

void CProfileDlg::SaveProfile(const CString& path) {
  // The ini cache may hold the file as it was before.
  WritePrivateProfileString(nullptr, nullptr, nullptr, path);
  auto put = [&](LPCTSTR key, const CString& value) { WritePrivateProfileString(kSection, key, value, path); };
  put("Name", name);
  put("DESC", description);
  put("VCOMP", Number(int(SendDlgItemMessage(kVideoId, CB_GETCURSEL))));
  put("VCOMPNAME", ComboText(kVideoId));
  put("ACOMPNAME", ComboText(kAudioId));
  put("ACOMP", Number(int(SendDlgItemMessage(kAudioId, CB_GETCURSEL))));
  put("FRAMERATE", Number("%f", frameRate));
  put("WIDTH", Number(width));
  put("HEIGHT", Number(height));
  put("STRETCH", Number(stretch));
  put("DVVIDEOSTAND", Number(int(SendDlgItemMessage(kDvId, CB_GETCURSEL))));
  put("MP3BitrateIndex", Number(int(SendDlgItemMessage(kMp3Id, CB_GETCURSEL))));
  put("MP3Bitrate", ComboText(kMp3Id));
  put("USESLOWMOTION", useSlowMotion ? "T" : "F");
  put("SLOWMOTIONRATE", Number("%f", slowMotionRate));
  put("USEOVERLAY", useOverlay ? "T" : "F");
  put("OVERLAYIMAGE", overlayImage);
  put("OVERLAYLEFT", Number(overlayLeft));
  put("OVERLAYTOP", Number(overlayTop));
  put("CHROMAKEYR", Number(int(GetRValue(keyColour))));
  put("CHROMAKEYG", Number(int(GetGValue(keyColour))));
  put("CHROMAKEYB", Number(int(GetBValue(keyColour))));
  put("ALPHAVALUE", Number(alpha));
}

void CProfileDlg::OnDelete() {
  if (!owner || AfxMessageBox(IDS_DELETE_PROFILE, MB_YESNOCANCEL) != IDYES) return;
  const auto& profiles = owner->Profiles();
  if (current >= 0 && current < int(profiles.size())) DeleteFile(profiles[size_t(current)]->path);
  if (current > 0) --current;
  // Re-reading the folder drops the deleted record.
  owner->LoadProfiles();
  ShowRecord();
}
