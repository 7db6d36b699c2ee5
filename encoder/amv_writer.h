#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include <sys/types.h>

#include "encoder/ffmpeg_handles.h"

// Writes an AMV file: a RIFF "AMV " header with the frame size and rate,
// then one picture chunk and one sound chunk per frame, strictly in turn,
// and the "AMV_END_" mark. The play time is filled in when the file is
// finished. Never overwrites an existing file.
class AmvWriter {
 public:
  AmvWriter() = default;
  ~AmvWriter();
  AmvWriter(const AmvWriter&) = delete;
  AmvWriter& operator=(const AmvWriter&) = delete;

  // Creates the file; an existing one is left untouched and refused.
  Failure Create(const std::string& path, int width, int height, int fps);
  Failure WriteFrame(std::span<const uint8_t> picture, std::span<const uint8_t> sound);
  // Ends the file after `frames` frames and closes it.
  Failure Finish(int64_t frames);
  // Closes and deletes a file this writer created but could not complete,
  // unless its name has come to mean another file meanwhile.
  void Discard();

  uint64_t BytesWritten() const { return bytes_; }

 private:
  Failure Write(std::span<const uint8_t> bytes);
  Failure WriteChunk(const char* id, std::span<const uint8_t> data);
  Failure WriteFailure() const;
  // True while the path still names the file this writer created: a file
  // unlinked or replaced while open takes every write and shows none.
  bool StillAtPath() const;

  std::string path_;
  std::FILE* file_ = nullptr;
  bool created_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  int fps_ = 0;
  uint64_t bytes_ = 0;
};
