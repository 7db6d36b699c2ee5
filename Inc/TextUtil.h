#pragma once

#include <cstdint>
#include <string>

// The text helpers used wherever text is taken apart. Strings are 8-bit
// (UTF-8 on this platform) and handled as bytes.

// Case-sensitive substring search.
bool Contains(const std::string& text, const std::string& part);

// Removes leading and trailing space characters (code 32) only.
std::string Trim(const std::string& text);

// Field n (1-based) of text split at the first character of separator. A field
// beyond the last is empty; without the separator, field 1 is the whole text.
std::string Field(const std::string& text, const std::string& separator, int n);

// Deletes every occurrence of part, optionally ignoring ASCII letter case.
std::string RemoveText(const std::string& text, const std::string& part, bool ignoreCase);

// Leading spaces and tabs, an optional sign, then digits up to the first other
// character; no digits give 0. Values beyond 32 bits are clamped.
int32_t DecimalValue(const std::string& text);

// The longest leading decimal floating-point prefix (no hex, no inf/nan),
// 0 if there is none, rounded to single precision.
float NumberValue(const std::string& text);

// Plain signed decimal.
std::string IntToText(long long value);

// Fixed-point with exactly one digit after the point, halves away from zero.
std::string OneDecimalText(double value);

// Whole seconds as H:MM:SS; absurd times stop at a million hours.
std::string ClockText(float seconds);

// ASCII letter case folding, for names and keys matched without regard to case.
char AsciiUpper(char c);
std::string AsciiUpper(std::string text);
std::string AsciiLower(std::string text);

// A folder path ending with '/', as every directory the program keeps does.
std::string WithTrailingSlash(std::string directory);
