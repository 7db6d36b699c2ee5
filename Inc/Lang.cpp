#include "Inc/Lang.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "Inc/ErrorHandler.h"
#include "Inc/LangDefaults.h"
#include "Inc/Prefs.h"
#include "Inc/TextUtil.h"

namespace {

constexpr const char* kNotFound = "##### String not found! #####";

// Group names and keys are upper-cased with AsciiUpper: our texts are UTF-8,
// and folding any byte above 0x7F would change the lead bytes of its sequences.

struct StringEntry {
  std::string key;  // upper-cased
  std::string text;
};

// Entry numbers start at 1; 0 means "none" in the index and in the remembered group.
struct StringGroup {
  std::string name;  // upper-cased
  std::size_t first = 0;
  std::size_t last = 0;  // inclusive; below first when the group is empty
  std::array<std::size_t, 256> index{};  // first entry (in sorted order) per first byte of its key
};

}  // namespace

struct StringTable {
  std::vector<StringGroup> groups{1};
  std::vector<StringEntry> entries{1};
  std::size_t rememberedGroup = 0;  // the group the previous look-up found
};

namespace {

// Process-wide, as an installed translator is: every text of the program is
// looked up by key, and one language serves every window. None: every text is "not found".
std::unique_ptr<StringTable>& Table() {
  static std::unique_ptr<StringTable> table;
  return table;
}

StringTable BuildBuiltInTable() {
  StringTable table;
  auto closeGroup = [&table] {
    if (table.groups.size() > 1) table.groups.back().last = table.entries.size() - 1;
  };
  for (const StringPair* pair = kBuiltInStrings;; ++pair) {
    const std::string first = AsciiUpper(pair->first);
    if (first == "_END_") break;
    if (first == "_GROUP_") {
      closeGroup();
      StringGroup group;
      group.name = AsciiUpper(pair->second);
      group.first = table.entries.size();
      table.groups.push_back(group);
    } else {
      table.entries.push_back({first, pair->second});
    }
  }
  closeGroup();
  return table;
}

// Sorts each group's entries by key (a prefix sorts first) and indexes them by first byte.
void SortAndIndex(StringTable& table) {
  for (std::size_t g = 1; g < table.groups.size(); ++g) {
    StringGroup& group = table.groups[g];
    if (group.last < group.first) continue;
    const auto begin = table.entries.begin() + static_cast<std::ptrdiff_t>(group.first);
    const auto end = table.entries.begin() + static_cast<std::ptrdiff_t>(group.last + 1);
    std::sort(begin, end, [](const StringEntry& a, const StringEntry& b) { return a.key < b.key; });
    for (std::size_t n = group.first; n <= group.last; ++n) {
      const std::string& key = table.entries[n].key;
      if (key.empty()) continue;
      std::size_t& slot = group.index[static_cast<unsigned char>(key[0])];
      if (slot == 0) slot = n;
    }
  }
}

// A key present in the file replaces the text, even with an empty value.
void ApplyLanguageFile(StringTable& table, const std::string& languageFile) {
  if (languageFile.empty()) return;
  std::optional<PrefsDocument> document = PrefsDocument::Open(languageFile);
  if (!document) return;
  CHECKPOINT();
  for (std::size_t g = 1; g < table.groups.size(); ++g) {
    const StringGroup& group = table.groups[g];
    if (group.last < group.first) continue;
    document->SelectGroup(group.name);
    for (std::size_t n = group.first; n <= group.last; ++n)
      table.entries[n].text = document->ReadString(table.entries[n].key, table.entries[n].text);
  }
}

}  // namespace

void LoadStringTable(const std::string& languageFile) {
  CHECKPOINT();
  StringTable table = BuildBuiltInTable();
  SortAndIndex(table);
  ApplyLanguageFile(table, languageFile);
  CHECKPOINT();
  Table() = std::make_unique<StringTable>(std::move(table));
}

std::string GetString(const std::string& group, const std::string& key) {
  CHECKPOINT();
  if (!Table()) return kNotFound;
  StringTable& table = *Table();
  const std::string groupName = AsciiUpper(group);
  const std::string wanted = AsciiUpper(key);
  std::size_t& g = table.rememberedGroup;
  if (g == 0 || table.groups[g].name != groupName) {
    g = 0;
    for (std::size_t i = 1; i < table.groups.size(); ++i) {
      if (table.groups[i].name == groupName) {
        g = i;
        break;
      }
    }
  }
  if (g == 0 || wanted.empty()) return kNotFound;
  const StringGroup& found = table.groups[g];
  for (std::size_t n = found.index[static_cast<unsigned char>(wanted[0])]; n != 0 && n <= found.last; ++n) {
    const int order = wanted.compare(table.entries[n].key);
    if (order == 0) return table.entries[n].text;
    if (order < 0) break;
  }
  return kNotFound;
}

std::string FillPlaceholders(const std::string& text, std::initializer_list<std::string> values) {
  std::string filled;
  filled.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t number = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '0') : 0;
    if (text[i] == '%' && number >= 1 && number <= 9 && number <= values.size()) {
      filled += values.begin()[number - 1];
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}
