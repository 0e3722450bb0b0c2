// The interface language: which translation files rewrite the windows, and the choice
// remembered in config.dat (section "Main", key "Language").
//
// The windows speak German as built; "en" switches them to English. The translation files
// lie under the program folder in languages/English and languages/German, one file per
// window ("main", "about").
#pragma once

#include <string>

class TComponent;
class TKxTranslator;

// "English" for "en", "German" for every other value.
std::string LanguageFolderName(const std::string& language);
// programFolder + "\languages\<folder>\<window>.xml". The folder text already ends with a
// separator; the doubled one is accepted by the file system.
std::string TranslationFileName(const std::string& programFolder, const std::string& language,
                                const std::string& window);
std::string ConfigFileName(const std::string& programFolder);

// The stored language, `defaultValue` when config.dat or the key is missing.
std::string ReadLanguageSetting(const std::string& programFolder,
                                const std::string& defaultValue = "");
// Raises the framework's error when config.dat cannot be written.
void WriteLanguageSetting(const std::string& programFolder, const std::string& language);

// Applies the window's file of that language; a missing or malformed file changes nothing.
void TranslateWindow(TKxTranslator& translator, const std::string& programFolder,
                     const std::string& language, const std::string& window, TComponent* form);

// The menu's language switch: rewrites the main and the about window, sets
// `currentLanguage` and then remembers the choice. The windows are rewritten and the
// language set even when config.dat cannot be written (the write raises afterwards).
void SwitchLanguage(TKxTranslator& translator, const std::string& programFolder,
                    const std::string& language, TComponent* mainForm, TComponent* aboutForm,
                    std::string& currentLanguage);
