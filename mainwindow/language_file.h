// Interface language files: LANGUAGES/<name>.lng beside the program, a
// profile file of Windows-1251 texts that replaces captions and messages.
//
// Portable and window-free: reading a file gives texts; the window puts them
// on its controls. Runs on the main thread, while no job runs.
#pragma once

#include <filesystem>
#include <string>

#include "mainwindow/ini_file.h"
#include "mainwindow/message_texts.h"
#include "mainwindow/window_texts.h"

namespace olvendrix {

// folder / "LANGUAGES" / (name + ".lng"); the name is Windows-1251.
std::filesystem::path LanguageFilePath(const std::filesystem::path& folder, const std::string& name1251);

// Reads a language file over the texts, in the file's order: [Strings]
// column captions, status formats and messages, and [optionsForm] mode names
// from the built-in texts when a key is missing; [menu] captions and
// [mainform] inputs keep their current text when missing; [OptionsForm]
// captions are empty when missing; LanguageNames become the [languages]
// lines. A value whose placeholders differ from the built-in text's (kind,
// count or order) is refused in favour of the built-in text, so no language
// can make a format fail.
void ReadLanguageTexts(const TIniFile& file, TMessageTexts& messages, TWindowTexts& window);

}  // namespace olvendrix
