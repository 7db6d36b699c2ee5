#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "command.h"
#include "scratch_dir.h"

namespace {

TEST(DebianPackage, HoldsTheInstalledLayoutAndDependsOnTheLibrariesItLinks) {
  ScratchDir out;
  const CommandResult made =
      RunCommand(std::string(MFLPX_CPACK) + " -G DEB --config " MFLPX_BINARY_DIR "/CPackConfig.cmake -B " + out.Dir());
  ASSERT_EQ(made.exitCode, 0) << made.output;
  std::string package;
  for (const auto& entry : std::filesystem::directory_iterator(out.Dir()))
    if (entry.path().extension() == ".deb") package = entry.path().string();
  ASSERT_FALSE(package.empty()) << made.output;

  const CommandResult contents = RunCommand("dpkg-deb -c " + package);
  ASSERT_EQ(contents.exitCode, 0) << contents.output;
  for (const char* path : {
           " ./usr/lib/mflpx/mflpx\n", " ./usr/lib/mflpx/mflpx-crash-notice\n", " ./usr/lib/mflpx/Core/ffmpeg\n",
           " ./usr/lib/mflpx/Lang/de.ini\n", " ./usr/lib/mflpx/MFLPX.html\n",
           " ./usr/bin/mflpx -> ../lib/mflpx/mflpx\n", " ./usr/share/applications/mflpx.desktop\n",
           " ./usr/share/icons/hicolor/scalable/apps/mflpx.svg\n",
           " ./usr/share/icons/hicolor/48x48/apps/mflpx.png\n"})
    EXPECT_NE(contents.output.find(path), std::string::npos) << path << "missing from\n" << contents.output;

  const CommandResult depends = RunCommand("dpkg-deb -f " + package + " Depends");
  ASSERT_EQ(depends.exitCode, 0) << depends.output;
  for (const char* library : {"libavformat", "libavcodec", "libavutil", "libswscale", "libswresample",
                              "libqt6widgets6", "libqt6svg6", "qt6-qpa-plugins"})
    EXPECT_NE(depends.output.find(library), std::string::npos) << library << " missing from " << depends.output;
}

}  // namespace
