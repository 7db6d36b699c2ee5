#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "scratch_dir.h"
#include "tasks/ui_recorder.h"

namespace {

class FakeLogView : public LogView {
 public:
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string LineAt(int index) const override { return lines.at(static_cast<std::size_t>(index)); }
  void AppendAndSelect(const std::string& line) override {
    lines.push_back(line);
    selected = LineCount() - 1;
  }
  void Clear() override {
    lines.clear();
    selected = -1;
  }

  std::vector<std::string> lines;
  int selected = -1;
};

class ActivityLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    app.LogActions = 1;
    AttachLogView(app, &view);
  }
  void TearDown() override { AttachLogView(app, nullptr); }

  // Answers the save dialog with name; "" cancels it.
  void SaveAs(const std::string& name) {
    ui.answers = {name};
    SaveLog(app);
  }

  AppState app;
  FakeLogView view;
  ScratchDir dir;
  UiRecorder ui;
  const std::vector<MessageRequest>& messages = ui.messages;
  const std::vector<FileDialogRequest>& dialogs = ui.dialogs;
};

TEST_F(ActivityLogTest, AddsLinesOnlyWhileLogActionsIsExactlyOne) {
  AddLogLine(app, "first");
  app.LogActions = 0;
  AddLogLine(app, "while off");
  app.LogActions = 2;
  AddLogLine(app, "while two");
  app.LogActions = 1;
  AddLogLine(app, "second");
  EXPECT_EQ(view.lines, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(view.selected, 1);
}

TEST_F(ActivityLogTest, SaveAndClearWorkWhileLoggingIsOff) {
  AddLogLine(app, "kept");
  app.LogActions = 0;
  SaveAs(dir.Path("off.txt"));
  EXPECT_EQ(dir.Read("off.txt"), "kept\r\n");
  ClearLog(app);
  EXPECT_TRUE(view.lines.empty());
}

TEST_F(ActivityLogTest, SavesEveryLineEndedByCrLfAndNothingElse) {
  for (const char* line : {"Conversion in progress...", "", "frame=  12 \xd0\x9f\xff"}) AddLogLine(app, line);
  SaveAs(dir.Path("three.txt"));
  EXPECT_EQ(dir.Read("three.txt"), "Conversion in progress...\r\n\r\nframe=  12 \xd0\x9f\xff\r\n");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].kind, FileDialogKind::Save);
  EXPECT_EQ(dialogs[0].title, UiText("s101"));
  EXPECT_EQ(dialogs[0].filter, "Text (*.txt)");
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(view.lines.size(), 3u);
}

TEST_F(ActivityLogTest, AppendsTxtUnlessTheNameEndsInLowerCaseTxt) {
  AddLogLine(app, "line");
  SaveAs(dir.Path("run.log"));
  SaveAs(dir.Path("notes.TXT"));
  SaveAs(dir.Path("x.txt"));
  SaveAs(dir.Path("with 'quotes' and spaces"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("run.log.txt")));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("notes.TXT.txt")));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("x.txt")));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("with 'quotes' and spaces.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("run.log")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("notes.TXT")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("x.txt.txt")));
}

TEST_F(ActivityLogTest, ReplacesAnExistingFileWithoutAsking) {
  dir.Write("old.txt", std::string(5000, 'o'));
  AddLogLine(app, "new");
  SaveAs(dir.Path("old.txt"));
  EXPECT_EQ(dir.Read("old.txt"), "new\r\n");
  EXPECT_TRUE(messages.empty());
}

TEST_F(ActivityLogTest, EmptyLogWarnsAndShowsNoDialog) {
  SaveAs(dir.Path("empty.txt"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, UiText("s1"));
  EXPECT_EQ(messages[0].text, UiText("s103"));
  EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(dialogs.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.Path("empty.txt")));
}

TEST_F(ActivityLogTest, CancelledDialogWritesNothingAndSaysNothing) {
  AddLogLine(app, "line");
  SaveAs("");
  EXPECT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.Dir()));
}

// Root ignores file permissions, so the locked folder is tried as nobody.
class AsOrdinaryUser {
 public:
  AsOrdinaryUser() : wasRoot_(geteuid() == 0) {
    if (wasRoot_) {
      EXPECT_EQ(seteuid(65534), 0);
    }
  }
  ~AsOrdinaryUser() {
    if (wasRoot_) {
      EXPECT_EQ(seteuid(0), 0);
    }
  }

 private:
  bool wasRoot_;
};

TEST_F(ActivityLogTest, UnwritableFolderShowsTheCannotCreateMessageAndKeepsTheLog) {
  AddLogLine(app, "line");
  std::filesystem::permissions(dir.Dir(), std::filesystem::perms::all);
  std::filesystem::create_directory(dir.Path("locked"));
  std::filesystem::permissions(dir.Path("locked"), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_exec |
                                                       std::filesystem::perms::others_read |
                                                       std::filesystem::perms::others_exec);
  {
    AsOrdinaryUser user;
    SaveAs(dir.Path("locked/run.log"));
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, UiText("s1"));
  EXPECT_EQ(messages[0].text, UiText("s102"));
  EXPECT_EQ(messages[0].icon, MessageIcon::Error);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("locked/run.log.txt")));
  EXPECT_EQ(view.lines, std::vector<std::string>{"line"});
}

TEST_F(ActivityLogTest, FolderThatIsNotThereShowsTheCannotCreateMessage) {
  AddLogLine(app, "line");
  SaveAs(dir.Path("missing/run.txt"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, UiText("s102"));
}

TEST_F(ActivityLogTest, FullDiskIsReportedInsteadOfPassingForSuccess) {
  AddLogLine(app, "line");
  std::filesystem::create_symlink("/dev/full", dir.Path("full.txt"));
  SaveAs(dir.Path("full.txt"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, UiText("s102"));
  EXPECT_EQ(messages[0].icon, MessageIcon::Error);
}

TEST_F(ActivityLogTest, AfterClearTheNextLineIsTheOnlyOneAndSelected) {
  AddLogLine(app, "one");
  AddLogLine(app, "two");
  ClearLog(app);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(app.LogActions, 1);
  AddLogLine(app, "three");
  EXPECT_EQ(view.lines, std::vector<std::string>{"three"});
  EXPECT_EQ(view.selected, 0);
}

}  // namespace
