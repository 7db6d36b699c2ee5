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

// One PrefsWriteString: the group it went to ("" for the top of the file),
// the key and the value.
struct Write {
  std::string group;
  std::string key;
  std::string value;
};

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
  bool created = false;  // by PrefsCreate: replaces whatever the file holds
  // Replayed onto the file as it is when the document is written back, so
  // what another instance wrote meanwhile stays.
  std::vector<Write> writes;
};

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

bool HoldsLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

std::string_view Keep(PrefsDocument& document, const std::string& text) {
  return document.texts.emplace_back(text);
}

// The document of a file's content; one that cannot be held in memory reads
// as empty and is never written back.
PrefsDocument DocumentOf(const std::string& path, PrefsFileContent&& file) {
  PrefsDocument document;
  document.path = path;
  document.writable = file.writable && file.complete;
  document.mode = file.mode;
  try {
    PrefsText text = ParsePrefsText(document.texts.emplace_back(std::move(file.bytes)));
    document.utf8 = text.utf8;
    document.lines = std::move(text.lines);
  } catch (const std::bad_alloc&) {
    document.writable = false;
    document.texts.clear();
    document.lines = {};
  }
  return document;
}

bool SelectGroup(PrefsDocument& document, const std::string& name) {
  if (name.empty()) {
    document.currentHeader.reset();
    document.pendingGroup.reset();
    return true;
  }
  for (std::size_t i = 0; i < document.lines.size(); ++i) {
    const PrefsLine& line = document.lines[i];
    if (line.kind == PrefsLineKind::GroupHeader && SamePrefsName(line.name, name)) {
      document.currentHeader = i;
      document.pendingGroup.reset();
      return true;
    }
  }
  document.pendingGroup = name;
  return false;
}

std::string SelectedGroupName(const PrefsDocument& document) {
  if (document.pendingGroup) return *document.pendingGroup;
  return document.currentHeader ? std::string(document.lines[*document.currentHeader].name) : std::string();
}

void WriteEntry(PrefsDocument& document, const std::string& key, const std::string& value) {
  if (document.pendingGroup) {
    document.lines.push_back({PrefsLineKind::GroupHeader, Keep(document, *document.pendingGroup), {}});
    document.currentHeader = document.lines.size() - 1;
    document.pendingGroup.reset();
  }
  const PrefsLine entry{PrefsLineKind::Entry, Keep(document, key), Keep(document, value)};
  if (const auto found = FindEntry(document, key)) {
    document.lines[*found] = entry;
  } else {
    const auto end = static_cast<std::ptrdiff_t>(SelectedRange(document).second);
    document.lines.insert(document.lines.begin() + end, entry);
  }
}

// Under the lock: the file as it is now, with this document's writes made
// again. A created document, or one whose file has gone, is written as it is.
void WriteBack(const PrefsDocument& document) {
  if (!document.modified || !document.writable) return;
  const PrefsFileLock lock(document.path);
  PrefsFileContent file;
  if (!document.created) file = ReadPrefsFile(document.path);
  if (!file.opened) {
    ReplacePrefsFile(document.path, FormatPrefsText(document.lines, document.utf8), document.mode);
    return;
  }
  PrefsDocument current = DocumentOf(document.path, std::move(file));
  if (!current.writable) return;
  for (const Write& write : document.writes) {
    SelectGroup(current, write.group);
    WriteEntry(current, write.key, write.value);
  }
  ReplacePrefsFile(current.path, FormatPrefsText(current.lines, current.utf8), current.mode);
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
  document.created = true;
  Current() = std::move(document);
  return true;
}

bool PrefsOpen(const std::string& path) {
  PrefsClose();
  CHECKPOINT();
  PrefsFileContent file = ReadPrefsFile(path);
  if (!file.opened) return false;
  if (file.tooLarge)
    std::fprintf(stderr, "mflpx: %s is larger than %zu bytes and reads as empty\n", path.c_str(), kMaxPrefsFileBytes);
  Current() = DocumentOf(path, std::move(file));
  return true;
}

bool PrefsSelectGroup(const std::string& name) {
  auto& document = Current();
  return document && SelectGroup(*document, name);
}

std::string PrefsReadString(const std::string& key, const std::string& defaultText) {
  const auto& document = Current();
  if (!document || document->pendingGroup) return defaultText;
  const auto found = FindEntry(*document, key);
  if (!found) return defaultText;
  const std::string_view value = document->lines[*found].value;
  return document->utf8 ? TrimSpacesAndTabs(ValueFromUtf8(value)) : TrimSpacesAndTabs(value);
}

bool PrefsWriteString(const std::string& key, const std::string& value) {
  auto& document = Current();
  if (!document || HoldsLineBreak(key) || HoldsLineBreak(value)) return false;
  CHECKPOINT();
  document->writes.push_back({SelectedGroupName(*document), key, value});
  WriteEntry(*document, key, value);
  document->modified = true;
  return true;
}

void PrefsClose() {
  auto& document = Current();
  if (!document) return;
  CHECKPOINT();
  WriteBack(*document);
  document.reset();
}
