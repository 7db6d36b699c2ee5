#include "settings/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "scratch_dir.h"
#include "settings/settings_choice.h"
#include "tasks/task_options.h"
#include "unprivileged.h"

namespace {

namespace fs = std::filesystem;

// A scratch program directory with fresh settings in memory; messages are recorded.
class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramDirectory(app, dir.Dir());
    app.LogActions = 0;
    app.conversionsAtOnce = 1;
    app.languageSetting.clear();
    app.outputFolder.clear();
    app.languages.clear();
    app.currentLanguageName.clear();
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      messages.push_back(request);
      return MessageAnswer::Ok;
    };
    InstallUiHooks(hooks);
  }
  void TearDown() override { InstallUiHooks({}); }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const LanguageRecord& language : app.languages) names.push_back(language.name);
    return names;
  }

  AppState app;
  ScratchDir dir;
  std::vector<MessageRequest> messages;
};

// The activity log's lines, kept in memory.
struct RecordedLog : LogView {
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string LineAt(int index) const override { return lines.at(static_cast<std::size_t>(index)); }
  void AppendAndSelect(const std::string& line) override { lines.push_back(line); }
  void Clear() override { lines.clear(); }
  std::vector<std::string> lines;
};

const std::string kNewConfig =
    "[MFLPX]\r\nRes = 0\r\nQual = 0\r\nFrame = 0\r\nVolume = 8\r\nCropU = 0\r\nCropD = 0\r\nCropL = 0\r\n"
    "CropR = 0\r\nPadU = 0\r\nPadD = 0\r\nPadL = 0\r\nPadR = 0\r\n[SET]\r\nLanguage = \r\nLogActions = 1\r\n";

TEST_F(ConfigTest, FirstStartWritesTheSixteenDefaultLines) {
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(dir.Read("Config.ini"), kNewConfig);
  EXPECT_EQ(app.LogActions, 1);
  EXPECT_EQ(app.languageSetting, "");
  // The next start reads what the first one wrote.
  app.LogActions = 0;
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 1);
  EXPECT_EQ(dir.Read("Config.ini"), kNewConfig);
}

TEST_F(ConfigTest, AnEmptyConfigurationIsCreatedAgainUnlessReadOnly) {
  const std::string path = dir.Write("Config.ini", "");
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(dir.Read("Config.ini"), kNewConfig);
  EXPECT_EQ(app.LogActions, 1);

  dir.Write("Config.ini", "");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.Dir().c_str(), 0777), 0);
  EXPECT_TRUE(RunInChild([this] { LoadConfiguration(app, NewConfigOptionDefaults()); return true; }, true));
  EXPECT_EQ(dir.Read("Config.ini"), "") << "a read-only file stays byte for byte";
}

TEST_F(ConfigTest, StartUpRemovesWhatInterruptedRewritesLeft) {
  dir.Write("Config.ini", "[SET]\r\nLogActions = 0\r\n");
  // Only a minute-old rewrite is stale; a younger one may be another instance's in flight.
  const auto old = fs::file_time_type::clock::now() - std::chrono::seconds(61);
  // The letters and digits at each end of their ranges count, too.
  for (const char* name : {"Config.ini.a1B2c3", "Config.ini.ZZZZZZ", "Config.ini.09AZaz", "Config.ini.abc", "Config.ini.abcdefg",
                           "Config.ini.ab-c12", "Other.ini.a1B2c3", "Config.ini~"})
    fs::last_write_time(dir.Write(name, "[SET]\r\n"), old);
  dir.Write("Config.ini.Fresh1", "[SET]\r\n");
  fs::create_directory(dir.Path("Config.ini.folder"));
  fs::create_directory(dir.Path("Config.ini.dir123"));
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 0);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.Dir())) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Config.ini", "Config.ini.Fresh1", "Config.ini.ab-c12", "Config.ini.abc",
                                            "Config.ini.abcdefg",
                                            "Config.ini.dir123", "Config.ini.folder", "Config.ini~",
                                            "Other.ini.a1B2c3"}));
}

TEST_F(ConfigTest, LaterStartsReadTheSetGroupWithItsDefaults) {
  dir.Write("Config.ini", "[SET]\r\nLogActions = 0\r\n");
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 0);
  EXPECT_EQ(app.languageSetting, "");

  dir.Write("Config.ini", "[set]\nlanguage =  /somewhere/de.ini \nLOGACTIONS = 2\n");
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 2);
  EXPECT_EQ(app.languageSetting, "/somewhere/de.ini");

  dir.Write("Config.ini", "[MFLPX]\nRes = 3\n");
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 1);
  EXPECT_EQ(app.languageSetting, "");
}

TEST_F(ConfigTest, UnusableConfigurationKeepsTheInitialValues) {
  fs::create_directory(dir.Path("Config.ini"));
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 0);
  EXPECT_TRUE(fs::is_directory(dir.Path("Config.ini")));

  ScratchDir readOnly;
  ASSERT_EQ(chmod(readOnly.Dir().c_str(), 0555), 0);
  SetProgramDirectory(app, readOnly.Dir());
  EXPECT_TRUE(RunInChild(
      [this] {
        LoadConfiguration(app, NewConfigOptionDefaults());
        return app.LogActions == 0 && app.languageSetting.empty();
      },
      true));
  EXPECT_FALSE(fs::exists(readOnly.Path("Config.ini")));
}

TEST_F(ConfigTest, MissingLangFolderIsReportedAndEndsStartUp) {
  EXPECT_FALSE(DiscoverLanguages(app));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Error");
  EXPECT_EQ(messages[0].text, "Error querying the languages directory!");
  EXPECT_EQ(messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);

  fs::create_directory(dir.Path("Lang"));
  EXPECT_TRUE(DiscoverLanguages(app));
  EXPECT_TRUE(app.languages.empty());
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ConfigTest, ListsNamedLanguageFilesSortedByFileName) {
  ScratchDir spaced;
  const std::string program = spaced.Dir() + "my \"video\" tools/";
  SetProgramDirectory(app, program);
  auto write = [&](const std::string& name, const std::string& bytes) {
    fs::create_directories(program + "Lang");
    std::ofstream(program + "Lang/" + name, std::ios::binary) << bytes;
  };
  write("zz.ini", "[MFLPXL]\r\nName = Zulu\r\n");
  write("de.ini", "[mflpxl]\nname = Deutsch\n[Data]\ns1 = Fehler\n");
  write("aa.ini", "[MFLPXL]\nName = Zulu\n");
  write("noname.ini", "[MFLPXL]\nName =\n");
  write("nogroup.ini", "[Data]\nName = Hidden\n");
  write("notes.txt", "[MFLPXL]\nName = Text\n");
  write(".hidden.ini", "[MFLPXL]\nName = Hidden\n");
  write("x\nLogActions = 0\n.ini", "[MFLPXL]\nName = Broken\n");  // Config.ini could not hold its path
  fs::create_directory(program + "Lang/folder.ini");
  EXPECT_TRUE(DiscoverLanguages(app));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Zulu", "Deutsch", "Zulu"}));
  ASSERT_EQ(app.languages.size(), 3u);
  EXPECT_EQ(app.languages[1].file, program + "Lang/de.ini");
  EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigTest, CurrentLanguageNameComesFromTheConfiguredFile) {
  ReadCurrentLanguageName(app);
  EXPECT_EQ(app.currentLanguageName, "English");
  app.languageSetting = dir.Write("elsewhere/fr.ini", "[MFLPXL]\nName = Fran\xC3\xA7" "ais\n");
  ReadCurrentLanguageName(app);
  EXPECT_EQ(app.currentLanguageName, "Fran\xC3\xA7" "ais");
  app.languageSetting = dir.Write("elsewhere/none.ini", "[Data]\ns1 = x\n");
  ReadCurrentLanguageName(app);
  EXPECT_EQ(app.currentLanguageName, "");
  app.languageSetting = dir.Path("gone.ini");
  ReadCurrentLanguageName(app);
  EXPECT_EQ(app.currentLanguageName, "English");
}

// A name of a megabyte is cut to what a list can show, at a character's
// start, and the configured language still finds itself in the list.
TEST_F(ConfigTest, LongLanguageNamesAreCutAndStillMatch) {
  std::string name = "x";
  while (name.size() < 1024 * 1024) name += "\xC3\xA9";  // é
  const std::string file = dir.Write("Lang/long.ini", "[MFLPXL]\nName = " + name + "\n");
  ASSERT_TRUE(DiscoverLanguages(app));
  ASSERT_EQ(app.languages.size(), 1u);
  EXPECT_EQ(app.languages[0].name, name.substr(0, 99));
  app.languageSetting = file;
  ReadCurrentLanguageName(app);
  EXPECT_EQ(app.currentLanguageName, app.languages[0].name);
  EXPECT_EQ(PreselectedLanguageEntry(app, LanguageListEntries(app)), 1);
}

TEST_F(ConfigTest, PreselectionMatchesTheCurrentNameWithoutRegardToCase) {
  app.languages = {{"Deutsch", "/l/de.ini"}, {"Espa\xC3\xB1ol", "/l/es.ini"}};
  const std::vector<std::string> entries = LanguageListEntries(app);
  EXPECT_EQ(entries, (std::vector<std::string>{"English", "Deutsch", "Espa\xC3\xB1ol"}));
  app.currentLanguageName = "DEUTSCH";
  EXPECT_EQ(PreselectedLanguageEntry(app, entries), 1);
  app.currentLanguageName = "english";
  EXPECT_EQ(PreselectedLanguageEntry(app, entries), 0);
  app.currentLanguageName = "";
  EXPECT_EQ(PreselectedLanguageEntry(app, entries), -1);
  app.currentLanguageName = "Klingon";
  EXPECT_EQ(PreselectedLanguageEntry(app, entries), -1);
}

TEST_F(ConfigTest, OfTwoLanguagesWithTheSameNameTheFirstIsUsed) {
  app.languages = {{"Deutsch", "/l/a.ini"}, {"DEUTSCH", "/l/b.ini"}};
  app.currentLanguageName = "deutsch";
  EXPECT_EQ(PreselectedLanguageEntry(app, LanguageListEntries(app)), 1);
  ApplySettingsChoice(app, "DEUTSCH", true, 1, "");
  EXPECT_EQ(app.languageSetting, "/l/a.ini");
  EXPECT_EQ(app.currentLanguageName, "Deutsch");
}

TEST_F(ConfigTest, AcceptStoresTheChoiceAndTheLogSwitch) {
  dir.Write("Config.ini", "[MFLPX]\r\nRes = 2\r\n[SET]\r\nLanguage = \r\nLogActions = 2\r\n");
  LoadConfiguration(app, NewConfigOptionDefaults());
  app.languages = {{"ENGLISH", dir.Path("Lang/en.ini")}, {"Deutsch", dir.Path("Lang/de.ini")}};
  app.currentLanguageName = "English";

  ApplySettingsChoice(app, "Deutsch", true, 1, "");
  EXPECT_EQ(app.LogActions, 1);
  EXPECT_EQ(app.languageSetting, dir.Path("Lang/de.ini"));
  EXPECT_EQ(app.currentLanguageName, "Deutsch");
  EXPECT_EQ(PreselectedLanguageEntry(app, LanguageListEntries(app)), 2);
  EXPECT_EQ(dir.Read("Config.ini"),
            "[MFLPX]\r\nRes = 2\r\n[SET]\r\nLanguage = " + dir.Path("Lang/de.ini") + "\r\nLogActions = 1\r\n");

  ApplySettingsChoice(app, "ENGLISH", false, 1, "");
  EXPECT_EQ(app.LogActions, 0);
  EXPECT_EQ(app.languageSetting, "");
  EXPECT_EQ(app.currentLanguageName, "English");
  EXPECT_EQ(PreselectedLanguageEntry(app, LanguageListEntries(app)), 0);
  EXPECT_EQ(dir.Read("Config.ini"), "[MFLPX]\r\nRes = 2\r\n[SET]\r\nLanguage = \r\nLogActions = 0\r\n");
}

TEST_F(ConfigTest, ALanguagePathWithALineBreakIsNotSavedAndTheLogSaysSo) {
  const std::string config = "[SET]\r\nLanguage = \r\nLogActions = 1\r\n";
  dir.Write("Config.ini", config);
  LoadConfiguration(app, NewConfigOptionDefaults());
  RecordedLog log;
  AttachLogView(app, &log);
  app.languages = {{"Broken", dir.Path("Lang/x\nLogActions = 0\n.ini")}};
  ApplySettingsChoice(app, "Broken", true, 1, "");
  AttachLogView(app, nullptr);
  EXPECT_EQ(dir.Read("Config.ini"), config);
  EXPECT_EQ(log.lines, std::vector<std::string>{UiText("s145")});
}

// A file without the key, as every older or new one is, saves beside each
// source; a chosen folder is read back at the next start, spaces and all.
TEST_F(ConfigTest, OutputFolderIsReadBackAndAbsentMeansBesideEachSource) {
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.outputFolder, "");
  ApplySettingsChoice(app, "English", true, 1, "/media/my card/out/");
  app.outputFolder = "stale";
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.outputFolder, "/media/my card/out/");
  EXPECT_EQ(dir.Read("Config.ini"), kNewConfig + "OutDir = /media/my card/out/\r\n");

  // A folder the file cannot hold stays for this run only, and the log says so.
  RecordedLog log;
  app.LogActions = 1;
  AttachLogView(app, &log);
  ApplySettingsChoice(app, "English", true, 1, "/out\nLanguage = x");
  AttachLogView(app, nullptr);
  EXPECT_EQ(app.outputFolder, "/out\nLanguage = x");
  EXPECT_EQ(dir.Read("Config.ini"), kNewConfig + "OutDir = /media/my card/out/\r\n");
  EXPECT_EQ(log.lines, std::vector<std::string>{UiText("s188")});
}

TEST_F(ConfigTest, AcceptWithoutConfigurationStillSwitchesTheLog) {
  app.languages = {{"Deutsch", dir.Path("Lang/de.ini")}};
  ApplySettingsChoice(app, "deutsch", true, 1, "");
  EXPECT_EQ(app.LogActions, 1);
  EXPECT_EQ(app.languageSetting, dir.Path("Lang/de.ini"));
  EXPECT_FALSE(fs::exists(dir.Path("Config.ini")));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ConfigTest, AnotherDataDirectoryHoldsConfigIniWhileLanguagesStayWithTheProgram) {
  ScratchDir settings;
  app.dataDirectory = settings.Dir();
  dir.Write("Lang/de.ini", "[MFLPXL]\nName = Deutsch\n");
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(settings.Read("Config.ini"), kNewConfig);
  EXPECT_FALSE(fs::exists(dir.Path("Config.ini")));
  ASSERT_TRUE(DiscoverLanguages(app));
  EXPECT_EQ(Names(), std::vector<std::string>{"Deutsch"});

  // A changed setting is saved there and read back at the next start.
  ApplySettingsChoice(app, "Deutsch", false, 1, "");
  app.LogActions = 1;
  app.languageSetting.clear();
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.LogActions, 0);
  EXPECT_EQ(app.languageSetting, dir.Path("Lang/de.ini"));
  EXPECT_FALSE(fs::exists(dir.Path("Config.ini")));
}

// The count of conversions at the same time: absent reads as 1 and stays
// absent until chosen; a stored count is kept within 1 and the machine's cores.
TEST_F(ConfigTest, ConversionsAtTheSameTimeRoundTripWithinTheLimit) {
  const int two = std::min(2, ConversionsAtOnceLimit());
  const std::string config = "[SET]\r\nLanguage = \r\nLogActions = 1\r\n";
  dir.Write("Config.ini", config);
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.conversionsAtOnce, 1);
  ApplySettingsChoice(app, "English", true, 1, "");
  EXPECT_EQ(dir.Read("Config.ini"), config) << "nothing chosen, nothing written";

  ApplySettingsChoice(app, "English", true, 2, "");
  app.conversionsAtOnce = 1;
  LoadConfiguration(app, NewConfigOptionDefaults());
  EXPECT_EQ(app.conversionsAtOnce, two);
  if (two == 2) {
    EXPECT_EQ(dir.Read("Config.ini"), config + "Parallel = 2\r\n");
    ApplySettingsChoice(app, "English", true, 1, "");
    EXPECT_EQ(dir.Read("Config.ini"), config + "Parallel = 1\r\n") << "once stored, a return to 1 is stored too";
  }

  const struct {
    const char* stored;
    int read;
  } cases[] = {{"0", 1}, {"-3", 1}, {"many", 1}, {"99", ConversionsAtOnceLimit()}, {"1", 1}};
  for (const auto& c : cases) {
    dir.Write("Config.ini", config + "Parallel = " + c.stored + "\r\n");
    LoadConfiguration(app, NewConfigOptionDefaults());
    EXPECT_EQ(app.conversionsAtOnce, c.read) << c.stored;
  }
  ApplySettingsChoice(app, "English", true, 99, "");
  EXPECT_EQ(app.conversionsAtOnce, ConversionsAtOnceLimit());
}

}  // namespace
