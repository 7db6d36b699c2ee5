#pragma once

#include <string>

// Loads Qt's own translations (message-box buttons, file dialogs) for the
// language code, replacing any loaded before; an empty code, or one Qt has
// no translation for, leaves Qt's English.
void InstallQtTranslation(const std::string& languageCode);
