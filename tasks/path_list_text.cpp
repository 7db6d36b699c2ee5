#include "tasks/path_list_text.h"

#include "Inc/Lang.h"

namespace {

// More paths than this would push a box's buttons off the screen.
constexpr std::size_t kPathsShown = 12;

}  // namespace

std::string PathListText(const char* headingKey, const std::vector<std::string>& paths) {
  std::string text = UiText(headingKey);
  for (std::size_t i = 0; i < paths.size() && i < kPathsShown; ++i) text += "\n" + paths[i];
  if (paths.size() > kPathsShown) text += "\n\u2026";
  return text;
}
