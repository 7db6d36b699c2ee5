#pragma once

#include <string>

// Start-up steps over Config.ini and the Lang folder; they fill App().

// Config.ini in the directory chosen for writable files.
std::string ConfigFilePath();

// Creates Config.ini with its defaults or reads its SET group.
void LoadConfiguration();

// Fills the language list from Lang/*.ini, sorted by file name. When the
// folder cannot be listed it shows the fixed English error and returns false:
// the program then ends.
bool DiscoverLanguages();

// Sets the current language name from the configured language file.
void ReadCurrentLanguageName();
