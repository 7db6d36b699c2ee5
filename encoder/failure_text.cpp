#include "encoder/failure_text.h"

#include <cerrno>
#include <cstring>

#include "encoder/ffmpeg_handles.h"

namespace {

std::string Line(const std::string& path, const std::string& what, const std::string& systemText) {
  return path + ": " + what + " (" + systemText + ").";
}

}  // namespace

std::string ReadFailure(const std::string& path, int code) {
  std::string what;
  switch (code) {
    case AVERROR(ENOENT): what = "the file does not exist"; break;
    case AVERROR(EACCES): what = "no permission to read the file"; break;
    case AVERROR(EISDIR): what = "this is a folder, not a video file"; break;
    case AVERROR_INVALIDDATA: what = "not a video file, or too damaged to read"; break;
    case AVERROR_EOF: what = "the file is cut short: it ends inside its own data"; break;
    case AVERROR(ENOMEM): what = "not enough memory to read the file"; break;
    // Demuxers report damaged data with many codes (operation not permitted, input/output error...).
    default: what = "the file is damaged and cannot be read"; break;
  }
  return Line(path, what, ErrorText(code));
}

std::string CreateFailure(const std::string& path, int errorNumber) {
  std::string what;
  switch (errorNumber) {
    case ENOENT: what = "the folder does not exist"; break;
    case ENOTDIR: what = "part of the path is a file, not a folder"; break;
    case EACCES:
    case EPERM: what = "no permission to write there"; break;
    case EROFS: what = "the disk is read-only"; break;
    case ENOSPC: what = "the disk is full"; break;
    default: what = "the file cannot be created"; break;
  }
  return Line(path, what, std::strerror(errorNumber));
}

std::string WriteFailure(const std::string& path, int errorNumber) {
  std::string what;
  switch (errorNumber) {
    case ENOSPC: what = "the disk is full"; break;
    case EDQUOT: what = "the disk quota is used up"; break;
    case EFBIG: what = "the file grew larger than this system allows"; break;
    case EIO: what = "the disk failed"; break;
    default: what = "the file cannot be written"; break;
  }
  return Line(path, "cannot write: " + what, std::strerror(errorNumber));
}
