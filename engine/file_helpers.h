// File helpers of the engine: whole-file mapping, writing, replacing through a
// temporary file, existence tests, and small text helpers of the settings.
//
// Failures raise the general Exception with the program's English messages;
// a path in a message is shown upper-cased, in Windows-1251.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "match_mode.h"
#include "platform/platform.h"

namespace olvendrix {

// A read-only view of the whole existing file. The caller owns the view.
// Raises "Error find file: %s in load procedure!" when the file cannot be
// opened and "Error map file: %s in memory in load procedure!" when it cannot
// be mapped (an empty file included).
platform::MappedMemory MapFileToMemory(const std::filesystem::path& path);

// A zero-filled read-write work region of `size` bytes (size > 0). Raises
// "Error map file in SWAP in allocate procedure!" when none is given.
platform::MappedMemory AllocateWorkRegion(std::uint64_t size,
                                          platform::RegionUse use = platform::RegionUse::kDense);

// Touches one byte of every page of [data, data + size) so that the system
// maps the pages now rather than at a later first use: by reading, or, for a
// writable region nobody else writes meanwhile, by writing each byte back.
void FaultInForReading(const std::uint8_t* data, std::uint64_t size);
void FaultInForWriting(std::uint8_t* data, std::uint64_t size);

// Writes the bytes to a new hidden temporary file beside `path` (".name.",
// the process number, a call number, ".tmp": created only under a name no
// file has, so never a user's file or another writer's), flushed, then moves
// it over `path` in one step. A move refused because another process holds
// `path` is retried for about a second: a copy reading the file lets go at
// once. On any failure the temporary file is removed and `path` is left as it
// was; raises "Error create file in save proc!" or "Error save data to
// file!" when writing fails, and "Error replace file: %s in save procedure!"
// naming `path` when the move is refused.
void SaveThroughTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size);
// The same, but returns false instead of raising when the move is refused
// (another process keeps the old file): the caller carries on without the
// new file, and `path` is left as it was.
bool TrySaveThroughTempFile(const std::filesystem::path& path, const void* data, std::uint64_t size);

// Removes the temporary files of `path` that SaveThroughTempFile left behind
// when its process was ended while writing (a kill, a power cut). Failures
// are ignored. A writer at work keeps its file on Windows, where it is open
// without sharing; elsewhere it would lose it and report a failed replace,
// so the caller excludes other writers of `path` first.
void RemoveLeftTempFiles(const std::vector<std::filesystem::path>& paths);

// True when a directory search finds an entry of any kind at the path.
bool FileFound(const std::filesystem::path& path);

// The name without the part from its last "." on.
std::string StripExtension(const std::string& name);

// Match modes as the five digits kept in the settings (key SearchParam).
std::string BytesToDigits(const TMatchModes& modes);
// Reads five digits into `modes`; false at the first non-digit or when the
// text is shorter than five characters. Modes already read keep their values.
bool DigitsToBytes(std::string_view digits, TMatchModes& modes);

// The path as Windows-1251 text ('?' for characters the code page lacks).
std::string PathText1251(const std::filesystem::path& path);
// The path as shown in the file helpers' messages: PathText1251, upper-cased.
std::string PathMessageText(const std::filesystem::path& path);

}  // namespace olvendrix
