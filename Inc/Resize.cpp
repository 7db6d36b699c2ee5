#include "Inc/Resize.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "Inc/ErrorHandler.h"

AnchorRegistry::AnchorRegistry(AnchorGeometry geometry) : geometry_(std::move(geometry)) {}

bool AnchorRegistry::GeometryComplete() const {
  return geometry_.innerSize && geometry_.controlRect && geometry_.setControlRect;
}

void AnchorRegistry::Register(int window, int control, bool lockLeft, bool lockTop, bool lockRight, bool lockBottom) {
  CHECKPOINT();
  AnchorRecord record;
  record.window = window;
  record.control = control;
  record.lockLeft = lockLeft;
  record.lockTop = lockTop;
  record.lockRight = lockRight;
  record.lockBottom = lockBottom;
  if (GeometryComplete()) {
    const GadgetSize inner = geometry_.innerSize(window);
    const GadgetRect rect = geometry_.controlRect(window, control);
    if (!lockLeft) record.distanceFromRight = inner.width - rect.x;
    if (!lockTop) record.distanceFromBottom = inner.height - rect.y;
    if (lockRight) record.rightMargin = inner.width - rect.x - rect.width;
    if (lockBottom) record.bottomMargin = inner.height - rect.y - rect.height;
  }
  records_.push_back(record);
}

void AnchorRegistry::Apply(WindowEventKind event, int window) {
  // Called for every event of a busy loop: leave at once unless there is work.
  if (event != WindowEventKind::Size || records_.empty() || !GeometryComplete()) return;
  CHECKPOINT();
  for (const AnchorRecord& record : records_) {
    if (record.window != window) continue;
    const GadgetSize inner = geometry_.innerSize(window);
    GadgetRect rect = geometry_.controlRect(window, record.control);
    if (!record.lockLeft) rect.x = inner.width - record.distanceFromRight;
    if (!record.lockTop) rect.y = inner.height - record.distanceFromBottom;
    // A window made smaller than its controls' margins must not ask for negative sizes.
    if (record.lockRight) rect.width = std::max(0, inner.width - rect.x - record.rightMargin);
    if (record.lockBottom) rect.height = std::max(0, inner.height - rect.y - record.bottomMargin);
    geometry_.setControlRect(window, record.control, rect);
  }
}
