// The interface language: a language file's texts put on the window.
#include "language_file.h"
#include "phone_form.h"
#include "win32_text.h"

namespace olvendrix {

bool TPhoneForm::ApplyLanguageFile(const std::string& name) {
  const bool exists = ReadLanguageFile(folder_, name, session_->MessageTexts(), texts_);
  ApplyCaptions();
  return exists;
}

bool TPhoneForm::LoadLanguage(const std::string& name) {
  // No input reaches the window while its captions change. A modal dialog
  // may have disabled it already, and must find it so afterwards.
  const bool was_enabled = ::EnableWindow(window_, FALSE) == 0;
  bool applied = false;
  try {
    applied = ApplyLanguageFile(name);
  } catch (const std::exception&) {
    applied = false;
  }
  if (applied) {
    session_->Settings().LangName = name;
    if (Created) UpdateStatusTexts();
  }
  ::EnableWindow(window_, was_enabled ? TRUE : FALSE);
  return applied;
}

void TPhoneForm::ApplyCaptions() {
  for (int column = 0; column < 5; ++column) {
    std::wstring caption = win32::Wide(texts_.FieldCaptions[column]);
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = caption.data();
    ListView_SetColumn(lvMain, column, &info);
  }
  win32::SetWindowText1251(gbInputs, texts_.InputsCaption);
  win32::SetWindowText1251(btnSearch, texts_.Menu[mtxSearch]);
  ApplyMenuCaptions();
}

}  // namespace olvendrix
