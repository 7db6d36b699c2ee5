#include "encoder/amv_writer.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "encoder/failure_text.h"

namespace {

// Where the play time sits in the header: the last field of "amvh".
constexpr long kDurationOffset = 84;

class HeaderBuilder {
 public:
  void Tag(const char* id) { bytes_.insert(bytes_.end(), id, id + 4); }
  void Word(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  void Half(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
  }
  void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// A stream header left empty, as in the files players ship with. Readers
// then take the rate from the microseconds per frame, which is exact for 10
// and 16 fps; at 12 fps (83333 us) FFmpeg's reader would see 12.000005 fps,
// so there the clock (scale 1, rate fps) is filled in.
void StreamHeader(HeaderBuilder& header, uint32_t size, int fps) {
  header.Tag("strh");
  header.Word(size);
  if (1000000 % fps == 0) {
    header.Zeros(size);
    return;
  }
  header.Zeros(20);
  header.Word(1);
  header.Word(static_cast<uint32_t>(fps));
  header.Zeros(size - 28);
}

// RIFF and LIST sizes stay 0: players break when they are filled in.
std::vector<uint8_t> BuildHeader(int width, int height, int fps) {
  HeaderBuilder header;
  header.Tag("RIFF");
  header.Word(0);
  header.Tag("AMV ");
  header.Tag("LIST");
  header.Word(0);
  header.Tag("hdrl");
  header.Tag("amvh");
  header.Word(56);
  header.Word(static_cast<uint32_t>((1000000 + fps / 2) / fps));  // microseconds per frame
  header.Zeros(28);
  header.Word(static_cast<uint32_t>(width));
  header.Word(static_cast<uint32_t>(height));
  header.Word(static_cast<uint32_t>(fps));
  header.Word(1);
  header.Word(0);
  header.Word(0);  // play time, filled in at the end

  header.Tag("LIST");
  header.Word(0);
  header.Tag("strl");
  StreamHeader(header, 56, fps);
  header.Tag("strf");
  header.Word(36);
  header.Zeros(36);

  header.Tag("LIST");
  header.Word(0);
  header.Tag("strl");
  StreamHeader(header, 48, fps);
  header.Tag("strf");
  header.Word(20);
  header.Half(1);  // a PCM-style format block: one channel of 16-bit samples at 22050 Hz
  header.Half(1);
  header.Word(22050);
  header.Word(22050 * 2);
  header.Half(2);
  header.Half(16);
  header.Zeros(4);

  header.Tag("LIST");
  header.Word(0);
  header.Tag("movi");
  return header.Bytes();
}

}  // namespace

AmvWriter::~AmvWriter() {
  if (file_) std::fclose(file_);
}

Failure AmvWriter::WriteFailure() const { return ::WriteFailure(path_, errno); }

Failure AmvWriter::Create(const std::string& path, int width, int height, int fps) {
  path_ = path;
  fps_ = fps;
  const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    if (errno == EEXIST) return "File '" + path + "' already exists. Exiting.";
    return CreateFailure(path, errno);
  }
  created_ = true;
  struct stat info {};
  if (fstat(descriptor, &info) == 0) {
    device_ = info.st_dev;
    inode_ = info.st_ino;
  }
  file_ = fdopen(descriptor, "wb");
  if (!file_) {
    const Failure failure = CreateFailure(path, errno);
    close(descriptor);
    Discard();
    return failure;
  }
  return Write(BuildHeader(width, height, fps));
}

Failure AmvWriter::Write(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return WriteFailure();
  bytes_ += bytes.size();
  return std::nullopt;
}

Failure AmvWriter::WriteChunk(const char* id, std::span<const uint8_t> data) {
  std::array<uint8_t, 8> head{};
  std::memcpy(head.data(), id, 4);
  const auto size = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<uint8_t>(size >> (8 * i));
  if (Failure failure = Write(head)) return failure;
  return Write(data);
}

Failure AmvWriter::WriteFrame(std::span<const uint8_t> picture, std::span<const uint8_t> sound) {
  if (Failure failure = WriteChunk("00dc", picture)) return failure;
  return WriteChunk("01wb", sound);
}

Failure AmvWriter::Finish(int64_t frames) {
  static const uint8_t kEndMark[] = {'A', 'M', 'V', '_', 'E', 'N', 'D', '_'};
  if (Failure failure = Write(kEndMark)) return failure;
  const int64_t seconds = frames / fps_;
  const uint8_t playTime[4] = {static_cast<uint8_t>(seconds % 60), static_cast<uint8_t>(seconds / 60 % 60),
                                static_cast<uint8_t>(seconds / 3600), static_cast<uint8_t>(seconds / 3600 >> 8)};
  if (std::fseek(file_, kDurationOffset, SEEK_SET) != 0 || std::fwrite(playTime, 1, 4, file_) != 4)
    return WriteFailure();
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) return WriteFailure();
  if (!StillAtPath()) return path_ + ": the output was removed or replaced while it was being written.";
  return std::nullopt;
}

bool AmvWriter::StillAtPath() const {
  struct stat info {};
  return stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
}

void AmvWriter::Discard() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (created_ && StillAtPath()) unlink(path_.c_str());
  created_ = false;
}
