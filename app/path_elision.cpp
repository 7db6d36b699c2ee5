#include "app/path_elision.h"

#include <cstddef>
#include <vector>

namespace {

const std::string kEllipsis = "\u2026";

// Byte offsets at which the UTF-8 characters of text start, then its end.
std::vector<std::size_t> CharacterStarts(const std::string& text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(text.size());
  return starts;
}

// A text cut in its middle, keeping `kept` of its characters: the extra one
// goes to the front.
class MiddleCut {
 public:
  explicit MiddleCut(const std::string& text) : text_(text), starts_(CharacterStarts(text)) {}

  std::size_t Characters() const { return starts_.size() - 1; }

  std::string Keeping(std::size_t kept) const {
    const std::size_t head = (kept + 1) / 2;
    const std::size_t tail = kept / 2;
    return text_.substr(0, starts_[head]) + kEllipsis + text_.substr(starts_[Characters() - tail]);
  }

  // The most characters, below all of them, for which fits holds, fits(0)
  // holding: texts only grow as more is kept.
  std::size_t MostKept(const std::function<bool(std::size_t kept)>& fits) const {
    std::size_t low = 0;
    std::size_t high = Characters() == 0 ? 0 : Characters() - 1;
    while (low < high) {
      const std::size_t middle = (low + high + 1) / 2;
      if (fits(middle))
        low = middle;
      else
        high = middle - 1;
    }
    return low;
  }

 private:
  const std::string& text_;
  std::vector<std::size_t> starts_;
};

}  // namespace

std::string ElidePath(const std::string& path, int width, const TextWidth& measure) {
  if (measure(path) <= width) return path;
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string prefix = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  if (prefix.size() > 1) {
    const std::string folder = prefix.substr(0, prefix.size() - 1);
    const MiddleCut cut(folder);
    const auto fits = [&](std::size_t kept) { return measure(cut.Keeping(kept) + "/" + name) <= width; };
    if (fits(0)) return cut.Keeping(cut.MostKept(fits)) + "/" + name;
    prefix = kEllipsis + "/";
  }
  const MiddleCut cut(name);
  const auto fits = [&](std::size_t kept) { return measure(prefix + cut.Keeping(kept)) <= width; };
  if (!fits(0)) return kEllipsis;
  return prefix + cut.Keeping(cut.MostKept(fits));
}
