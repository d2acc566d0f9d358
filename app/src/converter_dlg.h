#pragma once
// The converter's main window: a skinned dialog hosting the engine control. The user fills the
// file list, picks a profile and an output folder (batch) or file (merge), converts with the
// progress window, and previews the selected file in the engine's view.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mfc/afxctl.h"
#include "profile_record.h"
#include "settings/converter_settings.h"
#include "skin/skin_dialog.h"
#include "skin/skin_popup_dialog.h"
#include "tessary.h"

// One row of the file list, kept across a skin switch.
struct CFileRowRecord {
  CString path;
  double start = 0;  // seconds
  double end = 0;    // seconds; 0: to the end of the file
};

class CConverterDlg : public CSkinDialog {
  DECLARE_DYNAMIC(CConverterDlg)
 public:
  enum { IDD = 102 };
  static constexpr UINT kEngineId = 1004;

  // programFolder: where settings, profiles and skins are; empty: the running program's folder.
  explicit CConverterDlg(CWnd* parent = nullptr, LPCTSTR programFolder = nullptr);
  ~CConverterDlg() override;

  CTessary engine;

  // The folder of the running program, without a trailing backslash.
  static CString GetProgramFolder();
  // Loads a library by path and calls its registration export, if any. Nothing is reported.
  static void RegisterServerDll(LPCTSTR path);

  // What the user sees and the tests look at.
  const ConverterSettings& Settings() const { return settings_; }
  const std::vector<std::unique_ptr<CProfileRecord>>& Profiles() const { return profiles_; }
  // Where the profile files are, without a trailing backslash.
  CString ProfileFolder() const;
  // (Re)reads every profile file into Profiles() and the profile combo box.
  void LoadProfiles();
  BOOL IsBatchMode() const { return batchMode_; }
  int CurrentRow() const { return currentRow_; }
  double ClipLength() const { return clipLength_; }
  CSkinPopupDlg& ProgressWindow() { return progressWindow_; }

  // The skin's elements this window works on; null when the skin has none.
  CColorFontEdit* OutputBox() const;
  CSkinListBoxCtrl* FileList() const;
  CSkinComboBox* ProfileCombo() const;
  CSkinSlider* ProgressSlider() const;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The conversions (also started by "BUTTON_CONVERT").
  void ConvertBatch();
  void ConvertMerge();
  void ApplyProfile(const CProfileRecord& profile);

  // Element actions, public for the skin and for scripted use.
  void OnSkinButton(CString name) override;
  void OnSkinOption(CString name) override;
  void OnSliderCommand(int index, int position) override;
  void OnListDblClk(int index) override;
  void PreviewSelected();

 protected:
  void OnSkinLoaded(UINT commandId) override;
  void OnSkinChanging() override;
  void OnOptions() override;

  // Engine events.
  void OnPlaying(double position);
  void OnDblClick();
  void OnComplete();
  void OnProcessing(double position, double duration);
  void OnPreviewComplete();

  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnDestroy();
  afx_msg void OnClose();

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()

 private:
  // Start-up.
  void EnumSkins();
  void RegisterFilterLibraries();
  void LoadStartupSkin();
  void PlaceEngine();
  void FitToSkin();
  void ShowMode();

  // The file list and the choices.
  void AddFiles();
  void BrowseOutput();
  CString BrowseOutputFolder();
  // False when the user cancels.
  bool ChooseMergeFile();
  void MoveSelectedUp();
  void MoveSelectedDown();
  void SelectRow(int row);
  void EditSelectedTimes();
  void EditProfiles();

  // Conversions and playback.
  const CProfileRecord* SelectedProfile() const;
  void TakeOverlay(const CProfileRecord& profile);
  void DrawProfileOverlay();
  CString BatchOutputPath(const CString& folder, const CString& inputPath);
  INT_PTR RunProgressWindow();
  // The engine refused to start writing outputPath: the user hears of it instead of waiting.
  void ReportSaveFailure(const CString& outputPath);

  CString OutputText() const;
  void SetOutputText(const CString& text);

  // What the settings file keeps: the output folder and merge file, the modes, the prefix and the
  // full-screen choices.
  ConverterSettings settings_;
  CString programFolder_;
  int overlayOn_ = 0;
  CString overlayImage_;
  int overlayLeft_ = 0;
  int overlayTop_ = 0;
  int overlayAlpha_ = 0;
  COLORREF overlayKey_ = 0;
  CString savedOutputText_;
  int savedSelection_ = -1;
  double clipLength_ = 0;
  int currentRow_ = 0;
  HICON appIcon_ = nullptr;
  BOOL batchMode_ = 1;
  CString outputExtension_ = "avi";
  CSkinPopupDlg progressWindow_;
  std::vector<std::unique_ptr<CProfileRecord>> profiles_;
  std::vector<CFileRowRecord> savedRows_;
  // Output paths given out in the running batch, so that inputs of one name stay apart.
  std::set<std::string> batchOutputs_;
};
