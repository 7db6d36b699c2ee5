#pragma once

#include <string>

// The one process-wide preferences document (the key/value text format of
// Config.ini and the language files). Opening or creating a document first
// closes the open one, writing it back when it was modified.
bool PrefsCreate(const std::string& path);
bool PrefsOpen(const std::string& path);
bool PrefsSelectGroup(const std::string& name);
std::string PrefsReadString(const std::string& key, const std::string& defaultText);
// False, with nothing written, when the key or the value holds a CR or LF: it
// would end the line there and make the rest a line of its own.
bool PrefsWriteString(const std::string& key, const std::string& value);
void PrefsClose();
