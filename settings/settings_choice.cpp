#include "settings/settings_choice.h"

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/Prefs.h"
#include "Inc/TextUtil.h"
#include "settings/config.h"

std::vector<std::string> LanguageListEntries(const AppState& app) {
  std::vector<std::string> entries{"English"};
  for (const LanguageRecord& language : app.languages) entries.push_back(language.name);
  return entries;
}

int PreselectedLanguageEntry(const AppState& app, const std::vector<std::string>& entries) {
  const std::string current = AsciiLower(app.currentLanguageName);
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (AsciiLower(entries[i]) == current) return static_cast<int>(i);
  return -1;
}

void ApplySettingsChoice(AppState& app, const std::string& chosenEntry, bool logActions, int conversionsAtOnce,
                         const std::string& outputFolder) {
  CHECKPOINT();
  const std::string chosen = AsciiLower(chosenEntry);
  if (chosen == "english") {
    // Also the current name, so the window preselects what was chosen when it opens again.
    app.languageSetting.clear();
    app.currentLanguageName = "English";
  } else {
    for (const LanguageRecord& language : app.languages) {
      if (AsciiLower(language.name) == chosen) {
        app.languageSetting = language.file;
        app.currentLanguageName = language.name;
        break;
      }
    }
  }
  app.LogActions = logActions ? 1 : 0;
  app.conversionsAtOnce = ConversionsAtOnceWithinLimit(conversionsAtOnce);
  app.outputFolder = outputFolder;
  std::optional<PrefsDocument> config = PrefsDocument::Open(ConfigFilePath(app));
  if (!config) return;
  config->SelectGroup("SET");
  // The file keeps its old language rather than a line break that would forge other settings.
  if (!config->WriteString("Language", app.languageSetting)) AddLogLine(app, UiText("s145"));
  config->WriteString("LogActions", IntToText(app.LogActions));
  if (app.conversionsAtOnce != 1 || !config->ReadString("Parallel", "").empty())
    config->WriteString("Parallel", IntToText(app.conversionsAtOnce));
  // No value holds a line end, so this default tells a missing key.
  const bool held = config->ReadString(kOutputFolderKey, "\n") != "\n";
  if ((held || !outputFolder.empty()) && !config->WriteString(kOutputFolderKey, outputFolder))
    AddLogLine(app, UiText("s188"));
  config->WriteBack();
}
