#include <gtest/gtest.h>

#include <QAction>
#include <QToolBar>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "app/activity_log_view.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "scratch_dir.h"
#include "tasks/task_list.h"
#include "task_row_status.h"

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string CommandOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

bool ToolAvailable(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null").c_str()) == 0; }

TEST(BatchWithTheRealEncoder, ConvertsTwoClipsThatFfprobeReadsBack) {
  AppState app;
  if (!std::filesystem::exists(MFLPX_ENCODER_PATH))
    GTEST_SKIP() << "the encoder is not built at " << MFLPX_ENCODER_PATH;
  if (!ToolAvailable("ffmpeg") || !ToolAvailable("ffprobe")) GTEST_SKIP() << "ffmpeg and ffprobe tools are missing";

  ScratchDir work;
  const std::string first = work.Path("first clip.mp4");
  const std::string second = work.Path("second.mkv");
  for (const auto& [path, size] : {std::pair{first, "320x240"}, std::pair{second, "640x360"}})
    ASSERT_EQ(std::system(("ffmpeg -v error -nostdin -f lavfi -i testsrc=duration=2:size=" + std::string(size) +
                           ":rate=25 -f lavfi -i sine=frequency=440:duration=2 -shortest " + Quoted(path))
                              .c_str()),
              0);

  LoadStringTable("");
  SetProgramDirectory(app, work.Dir());
  app.encoderPath = MFLPX_ENCODER_PATH;
  app.LogActions = 1;
  ASSERT_TRUE(BuildMainWindow(app));
  AttachTaskListWidget(app);
  AttachMainWindowLog(app);
  ProgramTasks(app).Clear();
  std::vector<std::string> boxes;
  UiHooks hooks;
  hooks.showMessage = [&](const MessageRequest& request) {
    boxes.push_back(request.title);
    return MessageAnswer::Ok;
  };
  InstallUiHooks(hooks);

  Task task;
  task.InputFile = first;
  task.OutputFile = work.Path("first clip.amv");
  task.Resolution = 3;
  task.FrameRate = 1;
  ProgramTasks(app).Append(task);
  task.InputFile = second;
  task.OutputFile = work.Path("second.amv");
  task.Resolution = 0;
  task.FrameRate = 0;
  task.Volume = 12;
  ProgramTasks(app).Append(task);
  DispatchCommand(app, 58);

  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  EXPECT_EQ(RowStatus(app, 1), "Converted!");
  EXPECT_EQ(boxes, std::vector<std::string>{"Success"});
  const std::string probe = "ffprobe -v error -show_entries stream=codec_name,width,height,sample_rate,channels "
                            "-of csv=p=0 ";
  const std::string firstStreams = CommandOutput(probe + Quoted(work.Path("first clip.amv")));
  EXPECT_NE(firstStreams.find("amv,160,120"), std::string::npos) << firstStreams;
  EXPECT_NE(firstStreams.find("adpcm_ima_amv,22050,1"), std::string::npos) << firstStreams;
  const std::string secondStreams = CommandOutput(probe + Quoted(work.Path("second.amv")));
  EXPECT_NE(secondStreams.find("amv,96,64"), std::string::npos) << secondStreams;
  EXPECT_NE(secondStreams.find("adpcm_ima_amv,22050,1"), std::string::npos) << secondStreams;

  InstallUiHooks({});
  ProgramTasks(app).Clear();
  DestroyMainWindow(app);
}

// Start again over finished tasks: "replace" converts anew, and a replace
// that fails leaves the file the last good run wrote byte for byte.
TEST(BatchWithTheRealEncoder, StartingAgainReplacesOutputsAndAFailedReplaceKeepsTheOldOne) {
  AppState app;
  if (!std::filesystem::exists(MFLPX_ENCODER_PATH))
    GTEST_SKIP() << "the encoder is not built at " << MFLPX_ENCODER_PATH;
  if (!ToolAvailable("ffmpeg")) GTEST_SKIP() << "the ffmpeg tool is missing";
  ScratchDir work;
  const std::string clip = work.Path("clip.mp4");
  ASSERT_EQ(std::system(("ffmpeg -v error -nostdin -f lavfi -i testsrc=duration=1:size=160x120:rate=25 -f lavfi "
                         "-i sine=duration=1 -shortest " + Quoted(clip)).c_str()),
            0);
  LoadStringTable("");
  SetProgramDirectory(app, work.Dir());
  app.encoderPath = MFLPX_ENCODER_PATH;
  ASSERT_TRUE(BuildMainWindow(app));
  AttachTaskListWidget(app);
  ProgramTasks(app).Clear();
  std::vector<MessageButtons> asked;
  UiHooks hooks;
  hooks.showMessage = [&](const MessageRequest& request) {
    asked.push_back(request.buttons);
    return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Replace;
  };
  InstallUiHooks(hooks);
  Task task;
  task.InputFile = clip;
  task.OutputFile = work.Path("clip.amv");
  ProgramTasks(app).Append(task);
  DispatchCommand(app, 58);
  ASSERT_EQ(RowStatus(app, 0), "Converted!");
  const std::string first = work.Read("clip.amv");

  task.Quality = 2;
  ProgramTasks(app).Replace(0, task);
  DispatchCommand(app, 58);
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  const std::string second = work.Read("clip.amv");
  EXPECT_NE(second, first) << "converted again at the lower quality";

  work.Write("clip.mp4", "damaged beyond reading");
  DispatchCommand(app, 58);
  EXPECT_EQ(RowStatus(app, 0), "FFmpeg error. Code 1");
  EXPECT_EQ(work.Read("clip.amv"), second);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work.Dir()), {}), 2) << "no temporary file is left";
  EXPECT_EQ(asked, (std::vector<MessageButtons>{MessageButtons::Ok, MessageButtons::ReplaceSkipCancel,
                                                MessageButtons::Ok, MessageButtons::ReplaceSkipCancel,
                                                MessageButtons::Ok}));
  InstallUiHooks({});
  ProgramTasks(app).Clear();
  DestroyMainWindow(app);
}

}  // namespace
