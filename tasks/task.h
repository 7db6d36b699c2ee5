#pragma once

#include <cstdint>
#include <string>

// One conversion task. It has no status: the status text lives in its row.
struct Task {
  std::string InputFile;
  std::string OutputFile;
  int8_t Resolution = 0;  // 0..9, frame size
  int8_t Quality = 0;     // 0..2, quantiser range
  int8_t FrameRate = 0;   // 0..2, 10/12/16 fps
  int32_t Volume = 8;     // 0..16, 8 = unchanged
  int32_t CropTop = 0;    // 0..25 pixels each
  int32_t CropBottom = 0;
  int32_t CropLeft = 0;
  int32_t CropRight = 0;
  int32_t PadTop = 0;
  int32_t PadBottom = 0;
  int32_t PadLeft = 0;
  int32_t PadRight = 0;
  // The user agreed in the editor that this task replaces the file already at
  // OutputFile, so Start does not ask about it again.
  bool replaceOutput = false;
  bool KeepProportions = false;  // the encoder adds bars that keep each source's shape
  // What of the source goes in; empty for the encoder's own choice.
  std::string Sound{};  // a track number counted from 1 among sound tracks, or a language ("jpn")
  // Burned in: a subtitle track's number, a language (a track in it, else a
  // file beside the video in it), or a subtitle file's path; empty: none.
  std::string Subtitles{};
  // The part's start and end as the user typed them ("0:10:00"); empty: the
  // source's start or end.
  std::string From{};
  std::string To{};
};
