#pragma once

// One pair of the built-in string sequence: ("_GROUP_", name) starts a group,
// (key, text) adds an entry to it, ("_END_", "") ends the sequence.
struct StringPair {
  const char* first;
  const char* second;
};

extern const StringPair kBuiltInStrings[];
