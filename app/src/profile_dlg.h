#pragma once
// The profile editor: browses the main window's profiles, adds new ones, changes and deletes
// them. Each profile is one ini file in the program folder's "MyProfile" folder.
#include "mfc/afxwnd.h"
#include "skin/colour_picker.h"
#include "skin/hover_button.h"
#include "skin/num_edit.h"
#include "skin/number_spin.h"
#include "skin/shaded_button.h"

class CConverterDlg;

class CProfileDlg : public CDialog {
 public:
  enum { IDD = 135 };
  static constexpr int kNameId = 1007;
  static constexpr int kDescriptionId = 1008;
  static constexpr int kVideoId = 1005;
  static constexpr int kDvId = 1021;
  static constexpr int kAudioId = 1006;
  static constexpr int kMp3Id = 1022;
  static constexpr int kFrameRateId = 1009;
  static constexpr int kWidthId = 1010;
  static constexpr int kHeightId = 1011;
  static constexpr int kStretchId = 1012;
  static constexpr int kSlowMotionId = 1024;
  static constexpr int kRateSpinId = 1026;
  static constexpr int kRateId = 1027;
  static constexpr int kOverlayId = 1028;
  static constexpr int kImageId = 1029;
  static constexpr int kBrowseId = 1030;
  static constexpr int kLeftId = 1031;
  static constexpr int kTopId = 1032;
  static constexpr int kKeyColourId = 1033;
  static constexpr int kAlphaId = 1034;
  static constexpr int kAlphaSpinId = 1036;
  static constexpr int kFirstId = 1013;
  static constexpr int kPreviousId = 1014;
  static constexpr int kNextId = 1015;
  static constexpr int kLastId = 1016;
  static constexpr int kAddId = 1017;
  static constexpr int kDeleteId = 1018;
  static constexpr int kSaveId = 1019;
  static constexpr int kCancelId = 1020;

  explicit CProfileDlg(CWnd* parent = nullptr);

  // Set by the caller: without an owner the editor shows nothing and changes nothing.
  CConverterDlg* owner = nullptr;
  int current = -1;  // index into the owner's profiles

  CString name;
  CString description;
  int videoIndex = -1;
  int audioIndex = -1;
  int mp3BitrateIndex = -1;
  double frameRate = 25.0;
  int width = 320;
  int height = 240;
  int stretch = -1;
  int useSlowMotion = 0;
  float slowMotionRate = 0.5f;
  int useOverlay = 0;
  CString overlayImage;
  int overlayLeft = 0;
  int overlayTop = 0;
  COLORREF keyColour = 0;
  int alpha = 255;

  BOOL OnInitDialog() override;
  // Copies the profile at current into the controls.
  void ShowRecord();
  // Writes the controls' values to one profile file.
  void SaveProfile(const CString& path);

  // The file a new profile of that name gets: path characters in the name become '_', and the
  // number moves past any file that is already there.
  static CString NewProfilePath(const CString& folder, int loaded, const CString& name);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  afx_msg void OnAdd();
  afx_msg void OnSave();
  afx_msg void OnCancelAdding();
  afx_msg void OnDelete();
  afx_msg void OnFirst();
  afx_msg void OnPrevious();
  afx_msg void OnNext();
  afx_msg void OnLast();
  afx_msg void OnVideoChange();
  afx_msg void OnAudioChange();
  afx_msg void OnSlowMotionClick();
  afx_msg void OnOverlayClick();
  afx_msg void OnBrowseImage();
  DECLARE_MESSAGE_MAP()

 private:
  int ProfileCount() const;
  void Enable(int id, bool enable);
  // Browsing: navigation, "Add" and "Delete" usable, the name read-only. Adding: the reverse.
  void SetAdding(bool adding);
  void UpdateDependentControls();
  void ResetFields();
  // The refusal string for what the controls hold, 0 when they may be saved.
  UINT Refusal() const;
  CString ComboText(int id) const;

  CNumEdit rateEdit_;
  CNumberSpinCtrl rateSpin_;
  CColourPicker keyPicker_;
  CShadedButton browseButton_;
  CHoverButton firstButton_;
  CHoverButton previousButton_;
  CHoverButton nextButton_;
  CHoverButton lastButton_;
  CShadedButton addButton_;
  CShadedButton deleteButton_;
  CShadedButton saveButton_;
  CShadedButton cancelButton_;
};
