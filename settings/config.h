#pragma once

#include <cstdint>
#include <span>
#include <string>

struct AppState;

// Start-up steps over Config.ini and the Lang folder; they fill the program state.

// Config.ini in the directory of `app` chosen for writable files.
std::string ConfigFilePath(const AppState& app);

// Group SET's key of the folder for converted files. A file without it, as a
// new one is, saves them beside each source.
inline constexpr const char* kOutputFolderKey = "OutDir";

// One key and its value as a new Config.ini writes it.
struct ConfigEntry {
  std::string key;
  std::string value;
};

// Creates Config.ini, its MFLPX group holding optionDefaults, or reads its SET group.
void LoadConfiguration(AppState& app, std::span<const ConfigEntry> optionDefaults);

// The most conversions at the same time this machine is offered: one per
// core, within kMostConversionsAtOnce.
int ConversionsAtOnceLimit();

// A stored count of conversions at the same time brought within 1 and the limit.
int ConversionsAtOnceWithinLimit(int32_t count);

// Fills the language list from Lang/*.ini, sorted by file name. When the
// folder cannot be listed it shows the fixed English error and returns false:
// the program then ends.
bool DiscoverLanguages(AppState& app);

// Sets the current language name from the configured language file.
void ReadCurrentLanguageName(AppState& app);
