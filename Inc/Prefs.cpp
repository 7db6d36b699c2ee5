#include "Inc/Prefs.h"

#include <cstdio>
#include <deque>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "Inc/ErrorHandler.h"
#include "Inc/PrefsFile.h"
#include "Inc/PrefsText.h"

namespace {

struct PrefsDocument {
  std::string path;
  bool writable = true;  // false when writing was refused or the content could not be read whole
  mode_t mode = 0644;
  bool utf8 = false;
  // The file's bytes first, then every name and value written since; the
  // lines view them. A deque never moves its strings, not even when moved.
  std::deque<std::string> texts;
  std::vector<PrefsLine> lines;
  std::optional<std::size_t> currentHeader;  // index of the selected header; none selects the top
  std::optional<std::string> pendingGroup;
  bool modified = false;
};

void WriteBack(const PrefsDocument& document) {
  if (!document.modified || !document.writable) return;
  ReplacePrefsFile(document.path, FormatPrefsText(document.lines, document.utf8), document.mode);
}

// The one document of the process; one still open at exit is closed then, with write-back.
struct DocumentSlot {
  std::optional<PrefsDocument> document;
  ~DocumentSlot() {
    if (document) WriteBack(*document);
  }
};

std::optional<PrefsDocument>& Current() {
  static DocumentSlot slot;
  return slot.document;
}

// Lines [first, end) of the selected group, its header excluded.
std::pair<std::size_t, std::size_t> SelectedRange(const PrefsDocument& document) {
  const std::size_t first = document.currentHeader ? *document.currentHeader + 1 : 0;
  std::size_t end = first;
  while (end < document.lines.size() && document.lines[end].kind != PrefsLineKind::GroupHeader) ++end;
  return {first, end};
}

std::optional<std::size_t> FindEntry(const PrefsDocument& document, const std::string& key) {
  const auto [first, end] = SelectedRange(document);
  for (std::size_t i = first; i < end; ++i) {
    const PrefsLine& line = document.lines[i];
    if (line.kind == PrefsLineKind::Entry && SamePrefsName(line.name, key)) return i;
  }
  return std::nullopt;
}

std::string_view Keep(PrefsDocument& document, const std::string& text) {
  return document.texts.emplace_back(text);
}

}  // namespace

// The file appears only when the document is closed, complete, as every
// rewrite does: a kill or a full disk leaves no file or the old one, never an
// empty or partial one.
bool PrefsCreate(const std::string& path) {
  PrefsClose();
  CHECKPOINT();
  PrefsDocument document;
  if (!CanCreatePrefsFile(path, document.mode)) return false;
  document.path = path;
  document.modified = true;
  Current() = std::move(document);
  return true;
}

bool PrefsOpen(const std::string& path) {
  PrefsClose();
  CHECKPOINT();
  PrefsFileContent file = ReadPrefsFile(path);
  if (!file.opened) return false;
  PrefsDocument document;
  document.path = path;
  document.writable = file.writable && file.complete;
  document.mode = file.mode;
  if (file.tooLarge)
    std::fprintf(stderr, "mflpx: %s is larger than %zu bytes and reads as empty\n", path.c_str(), kMaxPrefsFileBytes);
  // A file that cannot be held in memory reads as empty, as one that cannot be read.
  try {
    PrefsText text = ParsePrefsText(document.texts.emplace_back(std::move(file.bytes)));
    document.utf8 = text.utf8;
    document.lines = std::move(text.lines);
  } catch (const std::bad_alloc&) {
    document.writable = false;
    document.texts.clear();
    document.lines = {};
  }
  Current() = std::move(document);
  return true;
}

bool PrefsSelectGroup(const std::string& name) {
  auto& document = Current();
  if (!document) return false;
  if (name.empty()) {
    document->currentHeader.reset();
    document->pendingGroup.reset();
    return true;
  }
  for (std::size_t i = 0; i < document->lines.size(); ++i) {
    const PrefsLine& line = document->lines[i];
    if (line.kind == PrefsLineKind::GroupHeader && SamePrefsName(line.name, name)) {
      document->currentHeader = i;
      document->pendingGroup.reset();
      return true;
    }
  }
  document->pendingGroup = name;
  return false;
}

std::string PrefsReadString(const std::string& key, const std::string& defaultText) {
  const auto& document = Current();
  if (!document || document->pendingGroup) return defaultText;
  const auto found = FindEntry(*document, key);
  if (!found) return defaultText;
  const std::string_view value = document->lines[*found].value;
  return document->utf8 ? TrimSpacesAndTabs(ValueFromUtf8(value)) : TrimSpacesAndTabs(value);
}

void PrefsWriteString(const std::string& key, const std::string& value) {
  auto& document = Current();
  if (!document) return;
  CHECKPOINT();
  if (document->pendingGroup) {
    document->lines.push_back({PrefsLineKind::GroupHeader, Keep(*document, *document->pendingGroup), {}});
    document->currentHeader = document->lines.size() - 1;
    document->pendingGroup.reset();
  }
  const PrefsLine entry{PrefsLineKind::Entry, Keep(*document, key), Keep(*document, value)};
  if (const auto found = FindEntry(*document, key)) {
    document->lines[*found] = entry;
  } else {
    const auto end = static_cast<std::ptrdiff_t>(SelectedRange(*document).second);
    document->lines.insert(document->lines.begin() + end, entry);
  }
  document->modified = true;
}

void PrefsClose() {
  auto& document = Current();
  if (!document) return;
  CHECKPOINT();
  WriteBack(*document);
  document.reset();
}
