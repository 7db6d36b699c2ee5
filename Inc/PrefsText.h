#pragma once

#include <string>
#include <string_view>
#include <vector>

// The line syntax of preferences files, without any file handling.

enum class PrefsLineKind { GroupHeader, Comment, Entry };

// A group header holds its name in `name`; a comment its text in `value`;
// an entry its key in `name` and its value in `value`. Both view text that
// the document owns, so a parsed line costs no allocation of its own.
struct PrefsLine {
  PrefsLineKind kind = PrefsLineKind::Entry;
  std::string_view name;
  std::string_view value;
};

struct PrefsText {
  bool utf8 = false;  // the content starts with the UTF-8 byte-order mark
  std::vector<PrefsLine> lines;
};

// Splits content (after any byte-order mark) into lines, viewing content;
// lines that are empty or hold only spaces and tabs give nothing.
PrefsText ParsePrefsText(std::string_view content);

// The file text of lines, each ended by CR LF; UTF-8 documents start with the
// byte-order mark and an empty line. Parsing the result gives the same lines
// and the same mode.
std::string FormatPrefsText(const std::vector<PrefsLine>& lines, bool utf8);

// Group names and keys match without regard to ASCII letter case.
bool SamePrefsName(std::string_view a, std::string_view b);

// A value of a UTF-8 document as our (UTF-8) strings hold it: unchanged when
// valid, empty when malformed; a sequence cut off by the end ends the value there.
std::string ValueFromUtf8(std::string_view value);

// Removes leading and trailing spaces and tabs.
std::string TrimSpacesAndTabs(std::string_view text);
