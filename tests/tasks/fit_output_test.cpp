// Fit checked where it matters: circles in the source are circles in the
// converted file, measured on its decoded pictures.

#include <cmath>

#include <gtest/gtest.h>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "convert/encoder_arguments.h"
#include "encoder/encoder_harness.h"
#include "fake_task_list_view.h"
#include "tasks/picture_fit.h"
#include "tasks/task_editor_model.h"
#include "tasks/task_list.h"
#include "tasks/task_list_view.h"
#include "ui_recorder.h"

namespace {

// A short clip of a disc a third of the height across, drawn in stored
// pixels so that it shows round with the source's pixel aspect, turned by a
// phone's display matrix as stock FFmpeg writes it for a "rotate" tag.
std::string MakeDiscClip(const ScratchDir& dir, const std::string& name, const SourcePicture& s) {
  const std::string aspect = std::to_string(s.aspectNum) + "/" + std::to_string(s.aspectDen);
  std::string clip = dir.Path(name + ".mkv");
  const std::string disc = "geq=lum='if(lt(hypot((X-W/2)*" + aspect + ",Y-H/2),H/3),235,16)':cb=128:cr=128";
  MakeClip("-f lavfi -i color=black:size=" + std::to_string(s.width) + "x" + std::to_string(s.height) +
               ":rate=10 -t 0.3 -vf " + ShellQuote(disc + ",setsar=" + aspect) + " -c:v ffv1",
           clip);
  if (s.rotation == 0) return clip;
  MakeClip("-i " + ShellQuote(clip) + " -c:v libx264 -preset ultrafast -qp 0", dir.Path(name + "-stored.mp4"));
  clip = dir.Path(name + ".mp4");
  MakeClip("-i " + ShellQuote(dir.Path(name + "-stored.mp4")) + " -c copy -metadata:s:v:0 rotate=" +
               std::to_string(s.rotation),
           clip);
  return clip;
}

TEST(FitOnTheConvertedFile, CirclesStayCircles) {
  ScratchDir dir;
  struct Case {
    const char* name;
    SourcePicture source;
    int width, height;
  };
  const Case cases[] = {
      {"film", {1280, 720, 1, 1, 0}, 160, 120},
      {"film on the widest screen", {1280, 720, 1, 1, 0}, 208, 120},
      {"TV on a square screen", {640, 480, 1, 1, 0}, 128, 128},
      {"cinemascope, out of reach", {1434, 600, 1, 1, 0}, 176, 144},
      {"anamorphic DVD", {720, 480, 32, 27, 0}, 160, 120},
      {"anamorphic DVD on the smallest screen", {720, 480, 32, 27, 0}, 96, 64},
      // Out of reach too; the stretch shown tells whether Fit and the
      // encoder agree on which sides are the upright top and bottom.
      {"phone", {1280, 720, 1, 1, 90}, 160, 120},
      {"phone on a square screen", {1280, 720, 1, 1, 90}, 128, 128},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string clip = MakeDiscClip(dir, c.name, c.source);
    const PictureFit fit = FitPicture(c.source, c.width, c.height);
    EncoderCall call;
    call.input = clip;
    call.output = dir.Path(std::string(c.name) + ".amv");
    call.size = std::to_string(c.width) + "x" + std::to_string(c.height);
    call.cropTop = fit.crop[0], call.cropBottom = fit.crop[1], call.cropLeft = fit.crop[2];
    call.cropRight = fit.crop[3];
    call.padTop = fit.pad[0], call.padBottom = fit.pad[1], call.padLeft = fit.pad[2], call.padRight = fit.pad[3];
    const RunResult run = RunEncoder(call, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const double shown = ShapeProportion(DecodeLuma(call.output, 1, c.width, c.height), c.width, c.height);
    // Where the limits cannot reach the proportion, the stretch Fit reports is the one shown.
    EXPECT_NEAR(shown, 1 + fit.stretch, 0.02);
    if (std::abs(fit.stretch) <= 0.02) {
      EXPECT_NEAR(shown, 1, 0.03);
    }
  }
}

// A folder of mixed videos chosen in one Browse, with Keep proportions on:
// each file gets its own bars, and every circle comes out round.
TEST(KeepProportionsOnTheConvertedFiles, EveryFileOfAMixedSelectionKeepsItsShape) {
  AppState app;
  ScratchDir dir;
  LoadStringTable("");
  UiRecorder ui;
  FakeTaskListView view;
  ProgramTasks(app).AttachView(&view);
  const std::pair<const char*, SourcePicture> sources[] = {
      {"film", {640, 360, 1, 1, 0}},
      {"television", {320, 240, 1, 1, 0}},
      {"phone", {320, 180, 1, 1, 90}},
      {"phone held the other way", {320, 180, 1, 1, 270}},
      {"anamorphic DVD", {360, 288, 64, 45, 0}},
  };
  std::vector<std::string> inputs;
  for (const auto& [name, source] : sources) inputs.push_back(MakeDiscClip(dir, name, source));
  Task shown;
  shown.Resolution = 3;  // 160x120
  shown.KeepProportions = true;
  ASSERT_TRUE(AcceptTasks(app, shown, inputs, shown, ""));
  ASSERT_EQ(ProgramTasks(app).Count(), static_cast<int>(inputs.size()));
  for (int i = 0; i < ProgramTasks(app).Count(); ++i) {
    SCOPED_TRACE(inputs[i]);
    const RunResult run = RunEncoder(EncoderArgumentVector(ProgramTasks(app).At(i)), dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NEAR(ShapeProportion(DecodeLuma(ProgramTasks(app).At(i).OutputFile, 1, 160, 120), 160, 120), 1, 0.03);
  }
  ProgramTasks(app).Clear();
  ProgramTasks(app).AttachView(nullptr);
}

}  // namespace
