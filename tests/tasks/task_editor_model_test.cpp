#include "tasks/task_editor_model.h"

#include <fnmatch.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "Inc/AppState.h"
#include "Inc/FileProbe.h"
#include "Inc/Lang.h"
#include "fake_task_list_view.h"
#include "scratch_dir.h"
#include "settings/unprivileged.h"
#include "tasks/editor_paths.h"
#include "tasks/option_defaults.h"
#include "tasks/task_list.h"
#include "ui_recorder.h"

namespace {

// Whether any pattern of the first entry of a Qt filter
// "Description (p1 p2 ...);;Other (...)" matches name.
bool FilterMatches(const std::string& filters, const std::string& name) {
  const std::string filter = filters.substr(0, filters.find(";;"));
  const auto open = filter.rfind('(');
  std::istringstream patterns(filter.substr(open + 1, filter.size() - open - 2));
  std::string pattern;
  while (patterns >> pattern)
    if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0) return true;
  return false;
}

TEST(EditorPaths, ProposalReplacesOnlyTheFileNamesExtensionAndFollowsTheFolder) {
  struct Case {
    std::string input, folder, proposed;
  };
  const Case cases[] = {
      {"C:/mp4/film.mp4", "", "C:/mp4/film.amv"},
      {"C:\\mp4\\film.mp4", "", "C:\\mp4\\film.amv"},
      {"/clips/Holiday.MP4", "", "/clips/Holiday.amv"},
      {"/clips/clip.amv", "", "/clips/clip.amv"},
      {"/my.videos/clip", "", "/my.videos/clip.amv"},
      {"/clips/clip.", "", "/clips/clip.amv"},
      {"/clips/two words.tar.mkv", "", "/clips/two words.tar.amv"},
      {"clip", "", "clip.amv"},
      {"/d/.mp4", "", "/d/.amv"},  // a name that is all extension
      // Only the file name goes into the folder, whatever the folder's own name holds.
      {"/card/DCIM/clip.mp4", "/home/an/out", "/home/an/out/clip.amv"},
      {"/card/DCIM/clip.mp4", "/home/an/out/", "/home/an/out/clip.amv"},
      {"/card/my.videos/clip", "/out.d", "/out.d/clip.amv"},
      {"C:\\mp4\\film.mp4", "/out", "/out/film.amv"},
      {"relative.avi", "/my \"converted\" files", "/my \"converted\" files/relative.amv"},
      {"/a/it's here.mkv", "/", "/it's here.amv"},
      {"/a/clip.mp4", "/gone/away", "/gone/away/clip.amv"},  // proposed even where nothing exists yet
  };
  for (const Case& c : cases) EXPECT_EQ(ProposeOutputPath(c.input, c.folder), c.proposed) << c.input << " " << c.folder;
}

TEST(EditorPaths, OutputFolderIsUsableOnlyWhenAWritableFolderAndNamesItsOwnFiles) {
  ScratchDir dir;
  const std::string folder = dir.Path("out dir");
  std::filesystem::create_directories(folder);
  const std::string file = dir.Write("file", "x");
  EXPECT_TRUE(IsUsableOutputFolder(folder));
  EXPECT_TRUE(IsUsableOutputFolder(folder + "/"));
  EXPECT_FALSE(IsUsableOutputFolder(dir.Path("missing")));
  EXPECT_FALSE(IsUsableOutputFolder(file));
  // As root every folder can be written to, so the child runs as nobody; it
  // reaches both folders, and may write to one of them only.
  namespace fs = std::filesystem;
  const std::string open = dir.Path("open");
  fs::create_directories(open);
  fs::permissions(open, fs::perms::all);
  fs::permissions(dir.Dir(), fs::perms::others_exec, fs::perm_options::add);
  fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_TRUE(RunInChild([&] { return IsUsableOutputFolder(open) && !IsUsableOutputFolder(folder); }, true));

  EXPECT_TRUE(IsInFolder("/out/clip.amv", "/out"));
  EXPECT_TRUE(IsInFolder("/out/clip.amv", "/out/"));
  EXPECT_TRUE(IsInFolder("/out/./clip.amv", "/out/."));
  EXPECT_FALSE(IsInFolder("/out/sub/clip.amv", "/out"));
  EXPECT_FALSE(IsInFolder("/elsewhere/clip.amv", "/out"));
}

TEST(EditorPaths, AmvExtensionIsAddedUnlessPresentInAnyCase) {
  EXPECT_EQ(WithAmvExtension("/out/clip"), "/out/clip.amv");
  EXPECT_EQ(WithAmvExtension("/out/clip.avi"), "/out/clip.avi.amv");
  EXPECT_EQ(WithAmvExtension("/out/clip.AMV"), "/out/clip.AMV");
  EXPECT_EQ(WithAmvExtension("amv"), "amv.amv");
}

TEST(EditorPaths, InputFilterMatchesVideoExtensionsInAnyCase) {
  LoadStringTable("");
  const std::string filter = InputFileFilter();
  EXPECT_EQ(filter.rfind("Supported video files (avi,flv,hdmov,mkv,mpg,m2v,mp4,nsv,nut,qt,mov,"
                         "rm,smk,ogm,wmv,asf,3gp) (",
                         0),
            0u);
  for (const char* name : {"clip.mp4", "CLIP.MP4", "a.Mkv", "b.3gp", "c.3G2", "d.hdmov", "e.qt"})
    EXPECT_TRUE(FilterMatches(filter, name)) << name;
  for (const char* name : {"clip.amv", "clip.mp4.txt", "mp4"})
    EXPECT_FALSE(FilterMatches(filter, name)) << name;
}

TEST(EditorPaths, InputFilterShowsTodaysContainersAndEndsWithAllFiles) {
  LoadStringTable("");
  const std::string filter = InputFileFilter();
  for (const char* name : {"a.webm", "b.TS", "c.m2ts", "d.MTS", "e.vob", "f.mpg", "g.Mpeg",
                           "h.ogv", "i.m4v", "j.h264"})
    EXPECT_TRUE(FilterMatches(filter, name)) << name;
  const std::string last = ";;All Files (*)";
  ASSERT_GE(filter.size(), last.size());
  EXPECT_EQ(filter.substr(filter.size() - last.size()), last);
  EXPECT_EQ(filter.find(";;"), filter.size() - last.size()) << "two entries only";
}

TEST(EditorPaths, VideoFileNamesAreKnownByTheFiltersExtensionsInAnyCase) {
  struct Case {
    const char* name;
    bool video;
  };
  for (const Case& c : {Case{"clip.mp4", true}, Case{"CLIP.WEBM", true}, Case{"a.b.H264", true},
                        Case{"x.3g2", true}, Case{"clip.amv", false}, Case{"notes.txt", false},
                        Case{"mp4", false}, Case{".mkv", true}, Case{"clip.mp4.part", false},
                        Case{"clip.", false}, Case{"dir.mp4/file", false}})
    EXPECT_EQ(IsVideoFileName(c.name), c.video) << c.name;
}

TEST(FileProbe, TellsMissingFolderAndSize) {
  ScratchDir dir;
  EXPECT_EQ(ProbePath(dir.Path("none")).kind, PathKind::Missing);
  EXPECT_EQ(ProbePath("").kind, PathKind::Missing);
  EXPECT_EQ(ProbePath(dir.Dir()).kind, PathKind::Folder);
  const PathProbe file = ProbePath(dir.Write("clip.mp4", "12345"));
  EXPECT_EQ(file.kind, PathKind::File);
  EXPECT_EQ(file.size, 5u);
  EXPECT_FALSE(IsNonEmptyFile(dir.Write("empty.mp4", "")));
  EXPECT_FALSE(IsNonEmptyFile(dir.Dir()));
  EXPECT_TRUE(IsNonEmptyFile(dir.Path("clip.mp4")));
  ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(IsNonEmptyFile(dir.Path("pipe"))) << "a pipe is no video file to convert";
}

TEST(OptionDefaults, ReadsTheGroupAndBringsValuesIntoRange) {
  ScratchDir dir;
  const std::string config =
      dir.Write("Config.ini",
                "[MFLPX]\r\nRes = 4\r\nQual = 2\r\nFrame = 1\r\nVolume = 12\r\nCropU = 10\r\n"
                "CropD = 99\r\nCropL = -4\r\nPadU = 1\r\nPadD = 2\r\nPadL = 3\r\nPadR = 25\r\n"
                "[SET]\r\nLogActions = 1\r\n");
  const Task options = ReadOptionDefaults(config);
  EXPECT_EQ(options.Resolution, 4);
  EXPECT_EQ(options.Quality, 2);
  EXPECT_EQ(options.FrameRate, 1);
  EXPECT_EQ(options.Volume, 12);
  EXPECT_EQ(options.CropTop, 10);
  EXPECT_EQ(options.CropBottom, 25);
  EXPECT_EQ(options.CropLeft, 0);
  EXPECT_EQ(options.CropRight, 0);
  EXPECT_EQ(options.PadTop, 1);
  EXPECT_EQ(options.PadBottom, 2);
  EXPECT_EQ(options.PadLeft, 3);
  EXPECT_EQ(options.PadRight, 25);

  dir.Write("Config.ini", "[MFLPX]\r\nRes = 300\r\nQual = 3\r\nFrame = x\r\nPadL = 26\r\n");
  const Task outside = ReadOptionDefaults(config);
  EXPECT_EQ(outside.Resolution, 9);
  EXPECT_EQ(outside.Quality, 2);
  EXPECT_EQ(outside.FrameRate, 0);
  EXPECT_EQ(outside.Volume, 0) << "a missing Volume reads as 0, not 8";
  EXPECT_EQ(outside.PadLeft, 25);

  dir.Write("Config.ini", "[MFLPX]\r\nFrame = 3\r\nVolume = 17\r\n");
  EXPECT_EQ(ReadOptionDefaults(config).FrameRate, 2);
  EXPECT_EQ(ReadOptionDefaults(config).Volume, 16);
}

TEST(OptionDefaults, WithoutTheFileTheBuiltInValuesStay) {
  ScratchDir dir;
  const Task options = ReadOptionDefaults(dir.Path("Config.ini"));
  EXPECT_EQ(options.Volume, 8);
  EXPECT_EQ(options.Resolution, 0);
  EXPECT_EQ(options.CropTop, 0);
  StoreOptionDefaults(dir.Path("Config.ini"), options);
  EXPECT_EQ(ProbePath(dir.Path("Config.ini")).kind, PathKind::Missing);
}

TEST(OptionDefaults, StoreWritesTheTwelveKeysInOrderAndKeepsTheRest) {
  ScratchDir dir;
  const std::string config = dir.Write("Config.ini", "[SET]\r\nLanguage = \r\nLogActions = 1\r\n");
  Task options;
  options.Resolution = 3;
  options.Quality = 2;
  options.Volume = 16;
  options.CropLeft = 7;
  options.PadRight = 25;
  StoreOptionDefaults(config, options);
  EXPECT_EQ(dir.Read("Config.ini"),
            "[SET]\r\nLanguage = \r\nLogActions = 1\r\n[MFLPX]\r\nRes = 3\r\nQual = 2\r\n"
            "Frame = 0\r\nVolume = 16\r\nCropU = 0\r\nCropD = 0\r\nCropL = 7\r\nCropR = 0\r\n"
            "PadU = 0\r\nPadD = 0\r\nPadL = 0\r\nPadR = 25\r\n");
  const Task back = ReadOptionDefaults(config);
  EXPECT_EQ(back.Resolution, 3);
  EXPECT_EQ(back.Volume, 16);
  EXPECT_EQ(back.PadRight, 25);
}

// A user who never ticks Keep proportions keeps the file as it was; once the
// key is there it follows the box both ways, and a missing key reads as off.
TEST(OptionDefaults, KeepProportionsIsWrittenOnceTickedAndThenAlways) {
  ScratchDir dir;
  const std::string classic = "[MFLPX]\r\nRes = 0\r\nQual = 0\r\nFrame = 0\r\nVolume = 8\r\nCropU = 0\r\n"
                              "CropD = 0\r\nCropL = 0\r\nCropR = 0\r\nPadU = 0\r\nPadD = 0\r\nPadL = 0\r\nPadR = 0\r\n";
  const std::string config = dir.Write("Config.ini", classic);
  Task options = ReadOptionDefaults(config);
  EXPECT_FALSE(options.KeepProportions);
  StoreOptionDefaults(config, options);
  EXPECT_EQ(dir.Read("Config.ini"), classic);
  options.KeepProportions = true;
  StoreOptionDefaults(config, options);
  EXPECT_EQ(dir.Read("Config.ini"), classic + "KeepProp = 1\r\n");
  EXPECT_TRUE(ReadOptionDefaults(config).KeepProportions);
  options.KeepProportions = false;
  StoreOptionDefaults(config, options);
  EXPECT_EQ(dir.Read("Config.ini"), classic + "KeepProp = 0\r\n");
  EXPECT_FALSE(ReadOptionDefaults(config).KeepProportions);
}

TEST(EditorModel, VolumeLabelFollowsTheStep) {
  EXPECT_EQ(VolumeLabelKey(8), "s40");
  EXPECT_EQ(VolumeLabelKey(9), "s41");
  EXPECT_EQ(VolumeLabelKey(16), "s41");
  EXPECT_EQ(VolumeLabelKey(7), "s42");
  EXPECT_EQ(VolumeLabelKey(0), "s42");
}

class EditorModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, dir.Dir());
    ProgramTasks(app).AttachView(&view);
  }

  AppState app;
  std::string Config() const { return dir.Read("Config.ini"); }
  ScratchDir dir;
  FakeTaskListView view;
  UiRecorder ui;
};

TEST_F(EditorModelTest, InputBrowseTakesOnlyNonEmptyFiles) {
  const std::string video = dir.Write("mp4/film.mp4", "data");
  dir.Write("empty.mp4", "");
  ui.answers = {"", dir.Path("empty.mp4"), dir.Path("mp4"), dir.Path("gone.mp4"), video};
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(BrowseInputFile("").has_value()) << i;
  const auto chosen = BrowseInputFile("");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->inputFile, video);
  EXPECT_EQ(chosen->proposedOutput, dir.Path("mp4/film.amv"));
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(ui.dialogs.size(), 5u);
  EXPECT_EQ(ui.dialogs[0].kind, FileDialogKind::Open);
  EXPECT_EQ(ui.dialogs[0].title, "Add media file");
  EXPECT_EQ(ui.dialogs[0].filter, InputFileFilter());
}

TEST_F(EditorModelTest, OutputBrowseForcesAmvAndRefusesWhatExists) {
  dir.Write("taken.amv", "x");
  dir.Write("folder.amv/inside", "x");
  ui.answers = {dir.Path("clip"), dir.Path("taken.AMV"), dir.Path("taken"), dir.Path("folder.amv"),
                ""};
  EXPECT_EQ(BrowseOutputFile(), dir.Path("clip.amv"));
  EXPECT_EQ(BrowseOutputFile(), dir.Path("taken.AMV")) << "letter case matters to the file system";
  EXPECT_FALSE(BrowseOutputFile().has_value());
  EXPECT_FALSE(BrowseOutputFile().has_value());
  EXPECT_FALSE(BrowseOutputFile().has_value());
  const std::string exists = "The file already exists. Please choose another one.";
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{exists, exists}));
  EXPECT_EQ(ui.dialogs[0].kind, FileDialogKind::Save);
  EXPECT_EQ(ui.dialogs[0].title, "Save AMV file");
  EXPECT_EQ(ui.dialogs[0].filter, "AMV (*.amv)");
}

TEST_F(EditorModelTest, AcceptChecksInOrderAfterStoringTheDefaults) {
  dir.Write("Config.ini", "[MFLPX]\r\n");
  Task shown;
  shown.Quality = 2;
  const EditorStart start{TaskEditorMode::Add, -1, {}};

  EXPECT_FALSE(AcceptTask(app, start, shown, shown, ""));
  EXPECT_NE(Config().find("Qual = 2"), std::string::npos) << "stored before the checks";
  shown.InputFile = "   ";
  EXPECT_FALSE(AcceptTask(app, start, shown, shown, ""));
  shown.InputFile = dir.Write("empty.mp4", "");
  EXPECT_FALSE(AcceptTask(app, start, shown, shown, ""));
  shown.OutputFile = " /out/x.amv";
  EXPECT_FALSE(AcceptTask(app, start, shown, shown, ""));
  shown.InputFile = dir.Dir();
  EXPECT_FALSE(AcceptTask(app, start, shown, shown, ""));
  shown.InputFile = "\t" + dir.Write("clip.mp4", "data");
  EXPECT_FALSE(AcceptTask(app, start, shown, shown, "")) << "only spaces are trimmed";

  const std::string input = "Please press 'Browse' to choose an input file.";
  const std::string output = "Please press 'Browse' to choose an output file.";
  const std::string empty =
      "The input file is empty,inexistent or could not be accessed. Please check the path and try "
      "again.";
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{input, input, output, empty, empty, empty}));
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
}

TEST_F(EditorModelTest, LastOptionsLiveInTheDataDirectory) {
  ScratchDir settings;
  app.dataDirectory = settings.Dir();
  settings.Write("Config.ini", "[MFLPX]\r\nRes = 3\r\n");
  const auto start = PrepareTaskEditor(app, TaskEditorMode::Add);
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(start->shown.Resolution, 3);
  Task shown;
  shown.Quality = 2;
  StoreEditorDefaults(app, shown);
  EXPECT_NE(settings.Read("Config.ini").find("Qual = 2"), std::string::npos);
  EXPECT_EQ(ProbePath(dir.Path("Config.ini")).kind, PathKind::Missing);
}

TEST_F(EditorModelTest, AcceptHandsOverTrimmedPaths) {
  const std::string video = dir.Write("my clip.mp4", "data");
  Task shown;
  shown.InputFile = "  " + video + "  ";
  shown.OutputFile = " /out/my clip.amv ";
  shown.Resolution = 6;
  EXPECT_TRUE(AcceptTask(app, {TaskEditorMode::Add, -1, {}}, shown, shown, ""));
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_EQ(ProgramTasks(app).At(0).InputFile, video);
  EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, "/out/my clip.amv");
  EXPECT_EQ(view.rows[0][2], "192 x 160");
  EXPECT_EQ(view.rows[0][4], "Waiting");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EditorModelTest, EditStartsFromTheSelectedTaskAndReplacesIt) {
  EXPECT_FALSE(PrepareTaskEditor(app, TaskEditorMode::Edit).has_value());
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Please select (click) a task in the list in order to edit "
                                      "it's conversion configuration."}));

  Task task;
  task.InputFile = dir.Write("a.mp4", "data");
  task.OutputFile = "/out/a.amv";
  task.Volume = 3;
  ProgramTasks(app).Append(task);
  task.OutputFile = "/out/b.amv";
  ProgramTasks(app).Append(task);
  ProgramTasks(app).SetStatusText(1, "Converted!");
  view.selected = 1;
  const auto start = PrepareTaskEditor(app, TaskEditorMode::Edit);
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(start->position, 1);
  EXPECT_EQ(start->shown.Volume, 3);
  EXPECT_EQ(start->shown.InputFile, task.InputFile);

  Task edited = start->shown;
  edited.Quality = 1;
  EXPECT_TRUE(AcceptTask(app, *start, edited, edited, ""));
  EXPECT_EQ(ProgramTasks(app).At(1).Quality, 1);
  EXPECT_EQ(ProgramTasks(app).At(0).Quality, 0);
  EXPECT_EQ(view.rows[1][4], "Waiting");
  EXPECT_EQ(view.rows[1][3], "Medium");
  EXPECT_EQ(view.selected, 1);
}

TEST_F(EditorModelTest, AddStartsFromTheStoredDefaults) {
  dir.Write("Config.ini", "[MFLPX]\r\nRes = 4\r\nVolume = 12\r\n");
  const auto start = PrepareTaskEditor(app, TaskEditorMode::Add);
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(start->position, -1);
  EXPECT_EQ(start->shown.Resolution, 4);
  EXPECT_EQ(start->shown.Volume, 12);
  EXPECT_TRUE(start->shown.InputFile.empty());
}

}  // namespace
