#include "tasks/part_check.h"

#include <cmath>
#include <optional>

#include "Inc/Lang.h"
#include "Inc/MomentText.h"
#include "Inc/TextUtil.h"

std::string PartProblem(const std::string& from, const std::string& to, double durationSeconds) {
  const std::optional<double> start = from.empty() ? std::optional(0.0) : ReadMoment(from);
  if (!start) return UiText("s212", {from});
  const std::optional<double> end = to.empty() ? std::nullopt : ReadMoment(to);
  if (!to.empty() && !end) return UiText("s212", {to});
  if (end && *end <= *start) return UiText("s213");
  if (durationSeconds < 0) return {};
  const std::string lasts = ClockText(static_cast<float>(durationSeconds));
  if (*start >= durationSeconds) return UiText("s214", {lasts, from});
  // The duration is told to the hundredth and read in whole seconds: "To" at
  // the second the source ends in takes it to its end.
  if (end && *end > std::ceil(durationSeconds)) return UiText("s215", {lasts, to});
  return {};
}
