#include "Inc/Prefs.h"

#include <cstdio>
#include <new>
#include <utility>

#include "Inc/ErrorHandler.h"
#include "Inc/PrefsFile.h"

namespace {

bool HoldsLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

// A document that cannot be held in memory reads as empty and is never written back.
PrefsDocument PrefsDocument::Parsed(const std::string& path, std::string&& bytes, bool writable, mode_t mode) {
  PrefsDocument document;
  document.path_ = path;
  document.writable_ = writable;
  document.mode_ = mode;
  try {
    PrefsText text = ParsePrefsText(document.texts_.emplace_back(std::move(bytes)));
    document.utf8_ = text.utf8;
    document.lines_ = std::move(text.lines);
  } catch (const std::bad_alloc&) {
    document.writable_ = false;
    document.texts_.clear();
    document.lines_ = {};
  }
  return document;
}

std::optional<PrefsDocument> PrefsDocument::Open(const std::string& path) {
  CHECKPOINT();
  PrefsFileContent file = ReadPrefsFile(path);
  if (!file.opened) return std::nullopt;
  if (file.tooLarge)
    std::fprintf(stderr, "mflpx: %s is larger than %zu bytes and reads as empty\n", path.c_str(), kMaxPrefsFileBytes);
  return Parsed(path, std::move(file.bytes), file.writable && file.complete, file.mode);
}

// The file appears only at write-back, complete, as every rewrite does: a kill
// or a full disk leaves no file or the old one, never an empty or partial one.
std::optional<PrefsDocument> PrefsDocument::Create(const std::string& path) {
  CHECKPOINT();
  PrefsDocument document;
  if (!CanCreatePrefsFile(path, document.mode_)) return std::nullopt;
  document.path_ = path;
  document.created_ = true;
  return document;
}

// Lines [first, end) of the selected group, its header excluded.
std::pair<std::size_t, std::size_t> PrefsDocument::SelectedRange() const {
  const std::size_t first = currentHeader_ ? *currentHeader_ + 1 : 0;
  std::size_t end = first;
  while (end < lines_.size() && lines_[end].kind != PrefsLineKind::GroupHeader) ++end;
  return {first, end};
}

std::optional<std::size_t> PrefsDocument::FindEntry(const std::string& key) const {
  const auto [first, end] = SelectedRange();
  for (std::size_t i = first; i < end; ++i) {
    if (lines_[i].kind == PrefsLineKind::Entry && SamePrefsName(lines_[i].name, key)) return i;
  }
  return std::nullopt;
}

bool PrefsDocument::SelectGroup(const std::string& name) {
  if (name.empty()) {
    currentHeader_.reset();
    pendingGroup_.reset();
    return true;
  }
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == PrefsLineKind::GroupHeader && SamePrefsName(lines_[i].name, name)) {
      currentHeader_ = i;
      pendingGroup_.reset();
      return true;
    }
  }
  pendingGroup_ = name;
  return false;
}

std::string PrefsDocument::SelectedGroupName() const {
  if (pendingGroup_) return *pendingGroup_;
  return currentHeader_ ? std::string(lines_[*currentHeader_].name) : std::string();
}

std::string PrefsDocument::ReadString(const std::string& key, const std::string& defaultText) const {
  if (pendingGroup_) return defaultText;
  const auto found = FindEntry(key);
  if (!found) return defaultText;
  const std::string_view value = lines_[*found].value;
  return utf8_ ? TrimSpacesAndTabs(ValueFromUtf8(value)) : TrimSpacesAndTabs(value);
}

void PrefsDocument::WriteEntry(const std::string& key, const std::string& value) {
  if (pendingGroup_) {
    lines_.push_back({PrefsLineKind::GroupHeader, texts_.emplace_back(*pendingGroup_), {}});
    currentHeader_ = lines_.size() - 1;
    pendingGroup_.reset();
  }
  const PrefsLine entry{PrefsLineKind::Entry, texts_.emplace_back(key), texts_.emplace_back(value)};
  if (const auto found = FindEntry(key)) {
    lines_[*found] = entry;
  } else {
    const auto end = static_cast<std::ptrdiff_t>(SelectedRange().second);
    lines_.insert(lines_.begin() + end, entry);
  }
}

bool PrefsDocument::WriteString(const std::string& key, const std::string& value) {
  if (HoldsLineBreak(key) || HoldsLineBreak(value)) return false;
  CHECKPOINT();
  writes_.push_back({SelectedGroupName(), key, value});
  WriteEntry(key, value);
  return true;
}

// Under the lock: the file as it is now, with this document's writes made
// again. A created document, or one whose file has gone, is written as it is.
void PrefsDocument::WriteBack() {
  if ((!created_ && writes_.empty()) || !writable_) return;
  CHECKPOINT();
  {
    const PrefsFileLock lock(path_);
    PrefsFileContent file;
    if (!created_) file = ReadPrefsFile(path_);
    if (!file.opened) {
      ReplacePrefsFile(path_, FormatPrefsText(lines_, utf8_), mode_);
    } else {
      PrefsDocument current = Parsed(path_, std::move(file.bytes), file.writable && file.complete, file.mode);
      if (current.writable_) {
        for (const Write& write : writes_) {
          current.SelectGroup(write.group);
          current.WriteEntry(write.key, write.value);
        }
        ReplacePrefsFile(current.path_, FormatPrefsText(current.lines_, current.utf8_), current.mode_);
      }
    }
  }
  created_ = false;
  writes_.clear();
}
