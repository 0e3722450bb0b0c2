#include "app/Language.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "translate/KxTranslator.h"

std::string LanguageFolderName(const std::string& language) {
  return language == "en" ? "English" : "German";
}

std::string TranslationFileName(const std::string& programFolder, const std::string& language,
                                const std::string& window) {
  const std::string sep(1, PathDelim);
  return programFolder + sep + "languages" + sep + LanguageFolderName(language) + sep + window +
         ".xml";
}

std::string ConfigFileName(const std::string& programFolder) {
  return programFolder + PathDelim + "config.dat";
}

std::string ReadLanguageSetting(const std::string& programFolder, const std::string& defaultValue) {
  TIniFile ini(ConfigFileName(programFolder));
  return ini.ReadString("Main", "Language", defaultValue);
}

void WriteLanguageSetting(const std::string& programFolder, const std::string& language) {
  TIniFile ini(ConfigFileName(programFolder));
  ini.WriteString("Main", "Language", language);
}

void TranslateWindow(TKxTranslator& translator, const std::string& programFolder,
                     const std::string& language, const std::string& window, TComponent* form) {
  if (form == nullptr) return;
  translator.TranslateForm(TranslationFileName(programFolder, language, window), form);
}

void SwitchLanguage(TKxTranslator& translator, const std::string& programFolder,
                    const std::string& language, TComponent* mainForm, TComponent* aboutForm,
                    std::string& currentLanguage) {
  TranslateWindow(translator, programFolder, language, "main", mainForm);
  TranslateWindow(translator, programFolder, language, "about", aboutForm);
  currentLanguage = language;
  WriteLanguageSetting(programFolder, language);
}
