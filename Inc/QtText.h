#pragma once

#include <QString>
#include <QTextDocument>

#include <string>

#include "Inc/Lang.h"

// Our 8-bit texts are UTF-8; they become QString only at the Qt boundary.
inline QString QtText(const std::string& text) { return QString::fromUtf8(text); }

// The string table's text for `key`, for a widget.
inline QString UiQText(const std::string& key) { return QtText(UiText(key)); }

inline QString UiQText(const std::string& key, std::initializer_list<std::string> values) {
  return QtText(UiText(key, values));
}

// A tool tip that shows text as written, line breaks kept: Qt would take
// markup in a tool tip's text as rich text.
inline QString PlainToolTip(const QString& text) { return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal); }
