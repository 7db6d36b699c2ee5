#include "settings/config.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Prefs.h"
#include "Inc/PrefsFile.h"
#include "Inc/TextUtil.h"
#include "Inc/UiSeam.h"

namespace {

void CreateConfiguration(AppState& app, const std::string& path, std::span<const ConfigEntry> optionDefaults) {
  std::optional<PrefsDocument> document = PrefsDocument::Create(path);
  if (!document) return;
  CHECKPOINT();
  document->SelectGroup("MFLPX");
  for (const ConfigEntry& entry : optionDefaults) document->WriteString(entry.key, entry.value);
  document->SelectGroup("SET");
  document->WriteString("Language", "");
  document->WriteString("LogActions", "1");
  app.LogActions = 1;
  document->WriteBack();
}

void ReadConfiguration(AppState& app, const std::string& path) {
  std::optional<PrefsDocument> document = PrefsDocument::Open(path);
  if (!document) return;
  CHECKPOINT();
  document->SelectGroup("SET");
  app.languageSetting = document->ReadString("Language", "");
  app.LogActions = DecimalValue(document->ReadString("LogActions", "1"));
  app.conversionsAtOnce = ConversionsAtOnceWithinLimit(DecimalValue(document->ReadString("Parallel", "1")));
  app.outputFolder = document->ReadString(kOutputFolderKey, "");
}

// Names of the *.ini entries of folder, sorted so the list is the same on every machine.
bool ListLanguageFiles(const std::string& folder, std::vector<std::string>& names) {
  std::error_code error;
  std::filesystem::directory_iterator entry(folder, error);
  if (error) return false;
  for (; entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (fnmatch("*.ini", name.c_str(), FNM_PERIOD) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return true;
}

// Longer names are cut here, at a character's start: a name of a megabyte
// took seconds to show in the settings window.
constexpr std::size_t kLongestLanguageName = 100;

// The Name of group MFLPXL of a language file, cut to a length a list can
// show; empty when it has none or cannot be opened.
std::string LanguageName(const std::string& path) {
  std::optional<PrefsDocument> document = PrefsDocument::Open(path);
  if (!document) return {};
  document->SelectGroup("MFLPXL");
  std::string name = document->ReadString("Name", "");
  if (name.size() > kLongestLanguageName) {
    std::size_t end = kLongestLanguageName;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
  }
  return name;
}

// An empty Config.ini that may be replaced is the trace of an interrupted
// first start (older versions created the file before filling it): it is
// created again, or every new task would read Volume 0. One the user made
// read-only stays as it is.
bool NeedsCreating(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return errno == ENOENT;
  return S_ISREG(info.st_mode) && info.st_size == 0 && access(path.c_str(), W_OK) == 0;
}

}  // namespace

std::string ConfigFilePath(const AppState& app) { return app.dataDirectory + "Config.ini"; }

int ConversionsAtOnceLimit() {
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return static_cast<int>(std::clamp<long>(cores, 1, kMostConversionsAtOnce));
}

int ConversionsAtOnceWithinLimit(int32_t count) { return std::clamp(count, 1, ConversionsAtOnceLimit()); }

void LoadConfiguration(AppState& app, std::span<const ConfigEntry> optionDefaults) {
  CHECKPOINT();
  const std::string path = ConfigFilePath(app);
  RemoveStaleRewrites(path);
  if (NeedsCreating(path))
    CreateConfiguration(app, path, optionDefaults);
  else
    ReadConfiguration(app, path);
}

bool DiscoverLanguages(AppState& app) {
  CHECKPOINT();
  const std::string folder = app.programDirectory + "Lang/";
  std::vector<std::string> files;
  if (!ListLanguageFiles(folder, files)) {
    ShowMessageBox("Error", "Error querying the languages directory!", MessageIcon::Error);
    return false;
  }
  app.languages.clear();
  // Folders and other non-files are refused by PrefsDocument::Open, so they drop out here.
  for (const std::string& file : files) {
    // Config.ini could not hold such a path as the Language setting.
    if (file.find_first_of("\r\n") != std::string::npos) continue;
    const std::string path = folder + file;
    std::string name = LanguageName(path);
    if (!name.empty()) app.languages.push_back({std::move(name), path});
  }
  return true;
}

void ReadCurrentLanguageName(AppState& app) {
  CHECKPOINT();
  if (!app.languageSetting.empty() && PrefsDocument::Open(app.languageSetting)) {
    app.currentLanguageName = LanguageName(app.languageSetting);
  } else {
    app.currentLanguageName = "English";
  }
}
