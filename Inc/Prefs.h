#pragma once

#include <sys/types.h>

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "Inc/PrefsText.h"

// One preferences document (the key/value text format of Config.ini and the
// language files) held in memory: any number can be open at once, each
// written back to its own file only when WriteBack is called.
class PrefsDocument {
 public:
  // The file read whole; none when it is missing, not a regular file or unreadable.
  static std::optional<PrefsDocument> Open(const std::string& path);
  // An empty document that replaces whatever the file holds at WriteBack;
  // none when the file could not be created there. Nothing is touched yet.
  static std::optional<PrefsDocument> Create(const std::string& path);

  PrefsDocument(PrefsDocument&&) = default;
  PrefsDocument& operator=(PrefsDocument&&) = default;
  // A copy's lines would view the original's text.
  PrefsDocument(const PrefsDocument&) = delete;
  PrefsDocument& operator=(const PrefsDocument&) = delete;

  // True when the group was found or the name is empty (the top of the file).
  // A group not found reads as defaults, and the first write appends it.
  bool SelectGroup(const std::string& name);
  std::string ReadString(const std::string& key, const std::string& defaultText) const;
  // False, with nothing written, when the key or the value holds a CR or LF: it
  // would end the line there and make the rest a line of its own.
  bool WriteString(const std::string& key, const std::string& value);
  // Writes the changes made since the last write-back onto the file as it is
  // now, so what another instance wrote meanwhile stays. An unchanged document
  // leaves the file byte for byte; a refused write-back is not reported.
  void WriteBack();

 private:
  // One WriteString: the group it went to ("" for the top of the file), the key and the value.
  struct Write {
    std::string group;
    std::string key;
    std::string value;
  };

  PrefsDocument() = default;
  static PrefsDocument Parsed(const std::string& path, std::string&& bytes, bool writable, mode_t mode);
  std::pair<std::size_t, std::size_t> SelectedRange() const;
  std::optional<std::size_t> FindEntry(const std::string& key) const;
  std::string SelectedGroupName() const;
  void WriteEntry(const std::string& key, const std::string& value);

  std::string path_;
  bool writable_ = true;  // false when writing was refused or the content could not be read whole
  mode_t mode_ = 0644;
  bool utf8_ = false;
  // The file's bytes first, then every name and value written since; the
  // lines view them. A deque never moves its strings, not even when moved.
  std::deque<std::string> texts_;
  std::vector<PrefsLine> lines_;
  std::optional<std::size_t> currentHeader_;  // index of the selected header; none selects the top
  std::optional<std::string> pendingGroup_;
  bool created_ = false;  // by Create: replaces whatever the file holds
  // Replayed onto the file as it is at write-back.
  std::vector<Write> writes_;
};
