#include "settings/config.h"

// Placeholder: replaced by the configuration work.
void LoadConfiguration() {}
bool DiscoverLanguages() { return true; }
void ReadCurrentLanguageName() {}
