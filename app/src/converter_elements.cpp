// The skin elements the main window works on, found by their position in the skin.
#include "converter_dlg.h"
#include "skin/skin_combo_box.h"
#include "skin/skin_edit.h"
#include "skin/skin_list_box.h"
#include "skin/skin_slider.h"

CColorFontEdit* CConverterDlg::OutputBox() const { return editBoxes_.empty() ? nullptr : editBoxes_[0].get(); }
CSkinListBoxCtrl* CConverterDlg::FileList() const { return listBoxes_.empty() ? nullptr : listBoxes_[0].get(); }
CSkinComboBox* CConverterDlg::ProfileCombo() const { return comboBoxes_.empty() ? nullptr : comboBoxes_[0].get(); }

CSkinSlider* CConverterDlg::ProgressSlider() const {
  for (const auto& slider : sliders_)
    if (slider->GetName() == "SLIDER_PROGRESS") return slider.get();
  return nullptr;
}

CString CConverterDlg::OutputText() const {
  CString text;
  if (CColorFontEdit* box = OutputBox()) box->GetWindowText(text);
  return text;
}

void CConverterDlg::SetOutputText(const CString& text) {
  if (CColorFontEdit* box = OutputBox()) box->SetWindowText(text);
}
