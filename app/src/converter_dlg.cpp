#include "converter_dlg.h"

#include <cstdlib>

#include "app_resources.h"
#include "converter_rows.h"
#include "engine/tessary_ids.h"
#include "skin/skin_combo_box.h"
#include "skin/skin_edit.h"
#include "skin/skin_list_box.h"

namespace {

constexpr char kSettingsFile[] = "\\mysetting.ini";
constexpr char kProfileFolder[] = "\\MyProfile";
// At most this many skins after the first are listed.
constexpr int kMaxFurtherSkins = 25;

// The filter libraries the program registers from its folder, in this order. Only the movie
// source is built with the program; the others are outside decoders and splitters, registered
// when they are installed beside it.
const char* const kFilterLibraries[] = {
    "\\FlvDecoder.ax",       "\\Halden.dll",          "\\MpegAudioDecoder.ax", "\\Mpeg2VideoDecoder.ax",
    "\\MpegSplitter.ax",     "\\RealAudioDecoder.ax", "\\RealMediaSplitter.ax", "\\RealVideoDecoder.ax",
};

}  // namespace

IMPLEMENT_DYNAMIC(CConverterDlg, CSkinDialog)

BEGIN_MESSAGE_MAP(CConverterDlg, CSkinDialog)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CConverterDlg, CSkinDialog)
  ON_EVENT(CConverterDlg, CConverterDlg::kEngineId, eventidOnPlaying, OnPlaying, VTS_R8)
  ON_EVENT(CConverterDlg, CConverterDlg::kEngineId, DISPID_DBLCLICK, OnDblClick, VTS_NONE)
  ON_EVENT(CConverterDlg, CConverterDlg::kEngineId, eventidComplete, OnComplete, VTS_NONE)
  ON_EVENT(CConverterDlg, CConverterDlg::kEngineId, eventidProcessing, OnProcessing, VTS_R8 VTS_R8)
  ON_EVENT(CConverterDlg, CConverterDlg::kEngineId, eventidPreviewComplete, OnPreviewComplete, VTS_NONE)
END_EVENTSINK_MAP()

CConverterDlg::CConverterDlg(CWnd* parent, LPCTSTR programFolder)
    : CSkinDialog(IDD, parent), programFolder_(programFolder ? programFolder : ""), progressWindow_(nullptr) {
  LinkProgramResources();
  appIcon_ = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : ::LoadIcon(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME));
}

CConverterDlg::~CConverterDlg() = default;

void CConverterDlg::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kEngineId, engine);
}

CString CConverterDlg::GetProgramFolder() {
  char path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  CString folder(path, static_cast<int>(length));
  const int cut = folder.ReverseFind('\\');
  return cut < 0 ? folder : folder.Left(cut);
}

void CConverterDlg::RegisterServerDll(LPCTSTR path) {
  HMODULE library = LoadLibraryA(path);
  if (!library) return;
  using RegisterCall = HRESULT (*)();
  if (auto registerServer = reinterpret_cast<RegisterCall>(GetProcAddress(library, "DllRegisterServer")))
    registerServer();
  FreeLibrary(library);
}

BOOL CConverterDlg::OnInitDialog() {
  if (programFolder_.IsEmpty()) programFolder_ = GetProgramFolder();
  // Relative names the user or a skin gives are read from the program folder.
  SetCurrentDirectory(programFolder_);
  EnumSkins();
  settings_.Load(programFolder_ + kSettingsFile);
  SetSelectedSkin(settings_.selectedSkin);
  RegisterFilterLibraries();
  LoadStartupSkin();
  LoadProfiles();
  CSkinDialog::OnInitDialog();
  SetIcon(appIcon_, TRUE);
  SetIcon(appIcon_, FALSE);
  PlaceEngine();
  engine.SetParenthWnd(static_cast<long>(reinterpret_cast<INT_PTR>(m_hWnd)));
  ShowMode();
  return TRUE;
}

void CConverterDlg::EnumSkins() {
  std::vector<CString>& names = SkinNames();
  names.clear();
  WIN32_FIND_DATA found;
  HANDLE search = FindFirstFile(programFolder_ + "\\*.skn", &found);
  if (search == INVALID_HANDLE_VALUE) return;
  int further = 0;
  do {
    const CString name = found.cFileName;
    const int dot = name.ReverseFind('.');
    if (dot >= 0 && name != "..") names.push_back(name.Left(dot));
  } while (further++ < kMaxFurtherSkins && FindNextFile(search, &found));
  FindClose(search);
}

void CConverterDlg::RegisterFilterLibraries() {
  // Later systems register their filters at installation.
  if (MajorVersion() > 5) return;
  for (const char* library : kFilterLibraries) RegisterServerDll(programFolder_ + library);
}

void CConverterDlg::LoadStartupSkin() {
  const std::vector<CString>& names = SkinNames();
  if (names.empty()) return;
  int index = SelectedSkin() - 2;
  if (index < 0 || index >= static_cast<int>(names.size())) index = 0;
  // The menu's check mark, the progress window and the saved settings follow the skin shown.
  SetSelectedSkin(index + 2);
  LoadSkinPackage(names[index]);
  FitToSkin();
}

void CConverterDlg::FitToSkin() {
  if (Skin().background.IsEmpty()) return;
  SetWindowPos(nullptr, 0, 0, Skin().background.Width(), Skin().background.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CString CConverterDlg::ProfileFolder() const { return programFolder_ + kProfileFolder; }

void CConverterDlg::LoadProfiles() {
  profiles_ = ReadProfileFolder(ProfileFolder());
  CSkinComboBox* combo = ProfileCombo();
  if (!combo) return;
  combo->GetDropList().DeleteAllItems();
  for (const auto& profile : profiles_) combo->AddString(profile->name);
  if (!profiles_.empty()) combo->GetEdit().SetWindowText(profiles_.front()->name);
}

void CConverterDlg::PlaceEngine() {
  if (!engine.m_hWnd || !Skin().controlRect) return;
  const CRect& at = *Skin().controlRect;
  engine.SetWindowPos(&CWnd::wndTop, at.left, at.top, at.Width(), at.Height(), SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

void CConverterDlg::ShowMode() {
  batchMode_ = settings_.batchOption ? 1 : 0;
  if (options_.size() > 0) options_[0]->SetCheck(batchMode_);
  if (options_.size() > 1) options_[1]->SetCheck(!batchMode_);
  SetOutputText(batchMode_ ? settings_.outputFolder : settings_.mergeFile);
  if (CLabel* label = FindLabel("LABEL_OUTPUTFILE")) {
    CString caption;
    caption.LoadString(batchMode_ ? IDS_OUTPUT_FOLDER : IDS_OUTPUT_FILE);
    label->SetText(caption);
    label->Invalidate();
  }
}

void CConverterDlg::OnPaint() {
  if (!IsIconic()) {
    CSkinDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  CRect client;
  GetClientRect(&client);
  const int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
  dc.DrawIcon(x, y, appIcon_);
}

HCURSOR CConverterDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(appIcon_); }

void CConverterDlg::OnSkinChanging() {
  engine.Stop();
  if (options_.size() > 0) settings_.batchOption = options_[0]->IsChecked() ? 1 : 0;
  if (options_.size() > 1) settings_.mergeOption = options_[1]->IsChecked() ? 1 : 0;
  savedRows_.clear();
  if (CSkinListBoxCtrl* list = FileList()) {
    for (int row = 0; row < list->GetItemCount(); ++row) {
      CFileRowRecord record;
      record.path = list->GetItemText(row, 1);
      record.start = std::atof(list->GetItemText(row, 2));
      record.end = std::atof(list->GetItemText(row, 3));
      savedRows_.push_back(record);
    }
    savedSelection_ = list->GetSelectionMark();
  }
  savedOutputText_ = OutputText();
}

void CConverterDlg::OnSkinLoaded(UINT) {
  FitToSkin();
  LoadProfiles();
  if (CSkinListBoxCtrl* list = FileList()) {
    for (const CFileRowRecord& record : savedRows_) {
      CString start, end;
      start.Format("%f", record.start);
      end.Format("%f", record.end);
      list->AddRow(record.path, start, end);
    }
    list->SetFocus();
    // No saved selection selects nothing (row -1 would mean every row).
    if (savedSelection_ >= 0) SelectRow(savedSelection_);
  }
  SetOutputText(savedOutputText_);
  if (options_.size() > 0) options_[0]->SetCheck(settings_.batchOption);
  if (options_.size() > 1) options_[1]->SetCheck(settings_.mergeOption);
  ShowMode();
  PlaceEngine();
}

void CConverterDlg::OnClose() {
  engine.Stop();
  CSkinDialog::OnClose();
  EndDialog(IDOK);
}

void CConverterDlg::OnDestroy() {
  CSkinDialog::OnDestroy();
  settings_.selectedSkin = SelectedSkin();
  settings_.Save(programFolder_ + kSettingsFile);
  profiles_.clear();
  savedRows_.clear();
  SkinNames().clear();
}
