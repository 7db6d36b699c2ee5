#pragma once

#include <string>
#include <vector>

struct AppState;

// What the settings window shows and what its Accept button does, apart from
// the window itself. Names are compared after lower-casing ASCII letters.

// "English", then the name of every language `app` discovered, in list order.
std::vector<std::string> LanguageListEntries(const AppState& app);

// Index of the first entry naming the current language, or -1 when none does.
int PreselectedLanguageEntry(const AppState& app, const std::vector<std::string>& entries);

// Takes the chosen list entry as the language setting (empty for English),
// the log switch and the folder for converted files (empty: beside each
// source), which act at once, and the conversions at the same time (brought
// within the limit; from the next batch on), then saves them to group SET of
// Config.ini; when that cannot be opened nothing is saved or reported. A path
// with a line break is not saved, and the log says so. The conversions at the
// same time and the folder are written only once they differ from 1 and
// beside each source, or the file already holds them, so a file of one who
// never chose stays as it was.
void ApplySettingsChoice(AppState& app, const std::string& chosenEntry, bool logActions, int conversionsAtOnce,
                         const std::string& outputFolder);
