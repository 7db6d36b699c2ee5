#pragma once

#include <QString>

#include <string>

#include "Inc/Lang.h"

// Our 8-bit texts are UTF-8; they become QString only at the Qt boundary.
inline QString QtText(const std::string& text) { return QString::fromUtf8(text); }

// The string table's text for `key`, for a widget.
inline QString UiQText(const std::string& key) { return QtText(UiText(key)); }

inline QString UiQText(const std::string& key, std::initializer_list<std::string> values) {
  return QtText(UiText(key, values));
}

// A tool tip that shows text as written, line breaks and runs of spaces
// kept: Qt would take markup in a tool tip's text as rich text, so it is
// handed over escaped.
inline QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}
