#include "tasks/task_list.h"

#include <gtest/gtest.h>

#include "Inc/Lang.h"
#include "fake_task_list_view.h"
#include "sample_task.h"
#include "scratch_dir.h"
#include "tasks/task_labels.h"
#include "tasks/task_options.h"
#include "ui_recorder.h"

namespace {

class TaskListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    tasks.AttachView(&view);
  }
  void TearDown() override { LoadStringTable(""); }

  void AppendThree() {
    for (const char* name : {"a", "b", "c"}) tasks.Append(SampleTask(name));
  }
  std::vector<std::string> ListInputs() const {
    std::vector<std::string> inputs;
    for (int i = 0; i < tasks.Count(); ++i) inputs.push_back(tasks.At(i).InputFile);
    return inputs;
  }
  std::vector<std::string> RowInputs() const {
    std::vector<std::string> inputs;
    for (const TaskRow& row : view.rows) inputs.push_back(row[0]);
    return inputs;
  }

  FakeTaskListView view;
  UiRecorder ui;
  TaskList tasks;
};

TEST_F(TaskListTest, UpMovesTaskAndRowAsTheyAreAndLeavesNothingSelected) {
  AppendThree();
  view.rows[1][4] = "Converted!";
  view.selected = 1;

  EXPECT_EQ(tasks.MoveSelectedUp(), 1);
  const std::vector<std::string> expected = {"/videos/b.mp4", "/videos/a.mp4", "/videos/c.mp4"};
  EXPECT_EQ(ListInputs(), expected);
  EXPECT_EQ(RowInputs(), expected);
  EXPECT_EQ(view.rows[0][4], "Converted!");
  EXPECT_EQ(view.rows[1][4], "Waiting");
  EXPECT_EQ(view.selected, -1);
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_EQ(tasks.MoveSelectedUp(), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "Error");
  EXPECT_EQ(ui.messages[0].text,
            "Please select (click) a task in the list in order to move it up.");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(ListInputs(), expected);
}

TEST_F(TaskListTest, DownMovesTheSelectedTaskOneLower) {
  AppendThree();
  view.selected = 0;
  EXPECT_EQ(tasks.MoveSelectedDown(), 1);
  const std::vector<std::string> expected = {"/videos/b.mp4", "/videos/a.mp4", "/videos/c.mp4"};
  EXPECT_EQ(ListInputs(), expected);
  EXPECT_EQ(RowInputs(), expected);
  EXPECT_EQ(view.selected, -1);
}

TEST_F(TaskListTest, MovesAtTheEndsOrWithOneTaskDoNothingSilently) {
  tasks.Append(SampleTask("only"));
  view.selected = 0;
  EXPECT_EQ(tasks.MoveSelectedUp(), 0);
  EXPECT_EQ(tasks.MoveSelectedDown(), 0);

  tasks.Append(SampleTask("second"));
  view.selected = 0;
  EXPECT_EQ(tasks.MoveSelectedUp(), 0);
  view.selected = 1;
  EXPECT_EQ(tasks.MoveSelectedDown(), 0);

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ListInputs(), RowInputs());
  EXPECT_EQ(tasks.At(0).InputFile, "/videos/only.mp4");
}

TEST_F(TaskListTest, CommandsWithoutSelectionSayWhatToDoAndChangeNothing) {
  AppendThree();
  EXPECT_EQ(tasks.RemoveSelected(), 0);
  EXPECT_EQ(tasks.MoveSelectedDown(), 0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Please select (click) a task in the list in order to remove it.");
  EXPECT_EQ(ui.messages[1].text,
            "Please select (click) a task in the list in order to move it down.");
  EXPECT_EQ(tasks.Count(), 3);
  EXPECT_EQ(view.RowCount(), 3);
}

TEST_F(TaskListTest, CountTextHasNoSingularOrZeroForm) {
  tasks.Append(SampleTask("a"));
  EXPECT_EQ(ui.status[1], "1 videos in the list.");
  view.selected = 0;
  EXPECT_EQ(tasks.RemoveSelected(), 1);
  EXPECT_EQ(tasks.Count(), 0);
  EXPECT_EQ(view.RowCount(), 0);
  EXPECT_EQ(ui.status[1], "0 videos in the list.");
  EXPECT_EQ(view.selected, -1);
}

TEST_F(TaskListTest, AppendAfterRemoveMoveOrClearGoesToTheEnd) {
  AppendThree();
  view.selected = 0;
  tasks.RemoveSelected();
  view.selected = 1;
  tasks.MoveSelectedUp();
  tasks.Append(SampleTask("d"));
  const std::vector<std::string> expected = {"/videos/c.mp4", "/videos/b.mp4", "/videos/d.mp4"};
  EXPECT_EQ(ListInputs(), expected);
  EXPECT_EQ(RowInputs(), expected);
  EXPECT_EQ(ui.status[1], "3 videos in the list.");

  tasks.Clear();
  EXPECT_EQ(tasks.Count(), 0);
  EXPECT_TRUE(view.rows.empty()) << "no row outlives its task";
  tasks.Append(SampleTask("e"));
  EXPECT_EQ(RowInputs(), std::vector<std::string>{"/videos/e.mp4"});
}

TEST_F(TaskListTest, ReplaceRewritesOnlyItsRowAndKeepsItSelected) {
  AppendThree();
  view.rows[0][4] = "Converted!";
  view.rows[1][4] = "12.5% ready";
  view.selected = 0;
  const TaskRow second = view.rows[1];
  const TaskRow third = view.rows[2];

  tasks.Replace(0, SampleTask("new", 9, 1));
  EXPECT_EQ(tasks.At(0).InputFile, "/videos/new.mp4");
  EXPECT_EQ(tasks.At(0).Resolution, 9);
  const TaskRow first = {"/videos/new.mp4", "/videos/new.amv", "208 x 176", "Medium", "Waiting"};
  EXPECT_EQ(view.rows[0], first);
  EXPECT_EQ(view.rows[1], second);
  EXPECT_EQ(view.rows[2], third);
  EXPECT_EQ(view.selected, 0);
  EXPECT_EQ(ui.status[1], "3 videos in the list.");
}

TEST_F(TaskListTest, IdenticalTasksStaySeparate) {
  tasks.Append(SampleTask("same"));
  tasks.Append(SampleTask("same"));
  view.selected = 1;
  tasks.Replace(1, SampleTask("same", 3));
  EXPECT_EQ(tasks.At(0).Resolution, 0);
  EXPECT_EQ(view.rows[0][2], "96 x 64");
  view.selected = 0;
  EXPECT_EQ(tasks.RemoveSelected(), 1);
  ASSERT_EQ(tasks.Count(), 1);
  EXPECT_EQ(tasks.At(0).Resolution, 3);
  EXPECT_EQ(view.rows[0][2], "160 x 120");
}

TEST_F(TaskListTest, StatusCellIsWrittenByPosition) {
  AppendThree();
  tasks.SetStatusText(2, "50.0% ready");
  EXPECT_EQ(view.rows[2][4], "50.0% ready");
  const std::vector<TaskRow> rows = view.rows;
  tasks.SetStatusText(3, "ignored");
  tasks.SetStatusText(-1, "ignored");
  EXPECT_EQ(view.rows, rows);
  EXPECT_EQ(tasks.At(7).InputFile, "");
}

TEST(TaskLabels, RowTextsFollowTheOptionTables) {
  Task task = SampleTask("clip", 6, 2);
  const TaskRow expected = {"/videos/clip.mp4", "/videos/clip.amv", "192 x 160", "Low", "x"};
  EXPECT_EQ(TaskRowTexts(task, "x"), expected);
  EXPECT_EQ(ResolutionLabel(0), "96 x 64");
  EXPECT_EQ(ResolutionLabel(10), "");
  EXPECT_EQ(ResolutionLabel(-1), "");
  EXPECT_EQ(QualityLabel(3), "");
}

TEST(TaskLabels, EditorEntriesAddTheHintToTheSizeText) {
  LoadStringTable("");
  const std::vector<std::string> resolutions = ResolutionEntries();
  ASSERT_EQ(resolutions.size(), 10u);
  EXPECT_EQ(resolutions[0], "96 x 64 (1.0 inch screen)");
  EXPECT_EQ(resolutions[4], "176 x 128 (1.5 inch screen)");
  EXPECT_EQ(resolutions[6], "192 x 160 (1.8 inch screen)");
  EXPECT_EQ(resolutions[9], "208 x 176 (2.0 inch screen)");
  EXPECT_EQ(QualityEntries(), (std::vector<std::string>{"High", "Medium", "Low"}));
  const std::vector<std::string> rates = FrameRateEntries();
  ASSERT_EQ(rates.size(), 3u);
  EXPECT_EQ(rates[1], "12 FPS (any display size)");
}

TEST_F(TaskListTest, TranslationReachesEditorTextsButNotTheFixedLabels) {
  ScratchDir dir;
  const std::string language =
      dir.Write("Lang/Deutsch.ini",
                "[MFLPXL]\r\nName = Deutsch\r\n[Data]\r\ns31 = Niedrig\r\ns35 = Wartend\r\n");
  LoadStringTable(language);

  tasks.Append(SampleTask("clip", 6, 2));
  EXPECT_EQ(view.rows[0][3], "Low");
  EXPECT_EQ(view.rows[0][4], "Waiting");
  EXPECT_EQ(QualityEntries()[2], "Niedrig");

  tasks.Replace(0, SampleTask("clip", 6, 2));
  EXPECT_EQ(view.rows[0][3], "Low");
  EXPECT_EQ(view.rows[0][4], "Wartend");
}

// The tool tip names every option, those of one group on one line in the
// order of the arrows around the crop and pad pictures.
TEST(TaskOptions, SummaryShowsEveryOptionUnderItsLabel) {
  LoadStringTable("");
  Task task = SampleTask("clip", 3, 1);
  task.FrameRate = 1;
  task.Volume = 9;
  task.CropTop = 1, task.CropBottom = 2, task.CropLeft = 3, task.CropRight = 4;
  task.PadTop = 5, task.PadBottom = 6, task.PadLeft = 7, task.PadRight = 25;
  EXPECT_EQ(OptionSummary(task),
            "Resolution: 160 x 120\nQuality: Medium\nFrames per second: 12 FPS\n"
            "Adjust volume on the fly: 150.0%\n"
            "Cropping (pixels): \u21911 \u21932 \u21903 \u21924\n"
            "Padding (pixels): \u21915 \u21936 \u21907 \u219225");
  task.Volume = 0;
  EXPECT_NE(OptionSummary(task).find("volume on the fly: 0.4%\n"), std::string::npos);
  task.KeepProportions = true;
  EXPECT_TRUE(OptionSummary(task).ends_with("\u219225\nKeep proportions: yes"));
  task.Sound = "2";
  task.To = "0:15:00";
  EXPECT_TRUE(OptionSummary(task).ends_with("Keep proportions: yes\nSound: track 2\nPart: to 0:15:00"));
  task.Sound = "jpn";
  task.Subtitles = "/films/my film.en.srt";
  task.From = "0:10:00";
  EXPECT_TRUE(OptionSummary(task).ends_with("\nSound: jpn\nSubtitles: my film.en.srt\nPart: from 0:10:00 to 0:15:00"));
}

TEST(TaskOptions, ValuesAreBroughtIntoRangeAndANewConfigurationStartsFromTheInitialOnes) {
  Task task;
  for (const TaskOption& option : TaskOptions()) {
    SetOptionValue(task, option, option.highest + 1);
    EXPECT_EQ(OptionValue(task, option), option.highest) << option.name;
    SetOptionValue(task, option, -1);
    EXPECT_EQ(OptionValue(task, option), option.lowest) << option.name;
  }
  std::string keys;
  for (const ConfigEntry& entry : NewConfigOptionDefaults()) keys += entry.key + "=" + entry.value + " ";
  EXPECT_EQ(keys, "Res=0 Qual=0 Frame=0 Volume=8 CropU=0 CropD=0 CropL=0 CropR=0 PadU=0 PadD=0 PadL=0 PadR=0 ");
}

// The summary follows the task through every change of the list, moves included.
TEST_F(TaskListTest, RowDetailsFollowTheirTask) {
  AppendThree();
  Task edited = SampleTask("b", 9, 2);
  tasks.Replace(1, edited);
  view.selected = 1;
  tasks.MoveSelectedUp();
  EXPECT_EQ(view.details[0], OptionSummary(edited));
  EXPECT_EQ(view.details[1], OptionSummary(SampleTask("a")));
  EXPECT_NE(view.details[0], view.details[1]);
}

}  // namespace
