// Interface language files: LANGUAGES/<name>.lng beside the program, a
// profile file of Windows-1251 texts that replaces captions and messages.
//
// Portable and window-free: reading a file gives texts; the window puts them
// on its controls. Runs on the main thread, while no job runs.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "ini_file.h"
#include "message_texts.h"
#include "window_texts.h"

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

// True when `name1251` can name a language: a plain file name that stays in
// the folder LANGUAGES and means one file there, so no folder separator or
// drive (\\ / :), no wildcard (? *), no "..", none of the characters a file
// name cannot hold, and no device name (CON, NUL, COM1, ...).
bool IsPlainLanguageName(std::string_view name1251);

// Reads the texts of language `name1251` from the program's `folder` with
// ReadLanguageTexts and returns whether its file exists. A name that is not
// plain, or whose file is missing or no ordinary file, gives every default
// as a missing file does.
bool ReadLanguageFile(const std::filesystem::path& folder, const std::string& name1251,
                      TMessageTexts& messages, TWindowTexts& window);

// The languages whose files lie in the program's `folder` / LANGUAGES, in
// the order the system lists them: the names without ".lng" of the ordinary
// files that ReadLanguageFile finds by that name. A file whose name has
// characters beyond Windows-1251 is left out: no name could load it.
std::vector<std::string> FindLanguageFiles(const std::filesystem::path& folder);

// How the language of file `name1251` is shown: its text in the first
// LanguageNames line of that name (the letter case aside), both trimmed of
// blanks, or the name itself when there is none or the text is empty.
std::string LanguageDisplayName(const std::vector<std::string>& language_names, const std::string& name1251);

}  // namespace olvendrix
