#include "app/about_window.h"

// Placeholder: replaced by the About window work.
void AboutWindow() {}
