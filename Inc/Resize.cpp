#include "Inc/Resize.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "Inc/ErrorHandler.h"

namespace {

struct AnchorRecord {
  int32_t window = 0;
  int32_t control = 0;
  int32_t distanceFromRight = 0;   // only when the left edge is free
  int32_t distanceFromBottom = 0;  // only when the top edge is free
  int32_t rightMargin = 0;         // only when the right edge is locked
  int32_t bottomMargin = 0;        // only when the bottom edge is locked
  bool lockLeft = false;
  bool lockTop = false;
  bool lockRight = false;
  bool lockBottom = false;
};

std::vector<AnchorRecord>& Registry() {
  static std::vector<AnchorRecord> records;
  return records;
}

AnchorGeometry& Geometry() {
  static AnchorGeometry geometry;
  return geometry;
}

bool GeometryInstalled() {
  const AnchorGeometry& g = Geometry();
  return g.innerSize && g.controlRect && g.setControlRect;
}

}  // namespace

void InstallAnchorGeometry(AnchorGeometry geometry) { Geometry() = std::move(geometry); }

void RegisterAnchor(int window, int control, bool lockLeft, bool lockTop, bool lockRight,
                    bool lockBottom) {
  CHECKPOINT();
  AnchorRecord record;
  record.window = window;
  record.control = control;
  record.lockLeft = lockLeft;
  record.lockTop = lockTop;
  record.lockRight = lockRight;
  record.lockBottom = lockBottom;
  if (GeometryInstalled()) {
    const GadgetSize inner = Geometry().innerSize(window);
    const GadgetRect rect = Geometry().controlRect(window, control);
    if (!lockLeft) record.distanceFromRight = inner.width - rect.x;
    if (!lockTop) record.distanceFromBottom = inner.height - rect.y;
    if (lockRight) record.rightMargin = inner.width - rect.x - rect.width;
    if (lockBottom) record.bottomMargin = inner.height - rect.y - rect.height;
  }
  Registry().push_back(record);
}

void ApplyAnchors(WindowEventKind event, int window) {
  // Called for every event of a busy loop: leave at once unless there is work.
  if (event != WindowEventKind::Size || Registry().empty() || !GeometryInstalled()) return;
  CHECKPOINT();
  for (const AnchorRecord& record : Registry()) {
    if (record.window != window) continue;
    const GadgetSize inner = Geometry().innerSize(window);
    GadgetRect rect = Geometry().controlRect(window, record.control);
    if (!record.lockLeft) rect.x = inner.width - record.distanceFromRight;
    if (!record.lockTop) rect.y = inner.height - record.distanceFromBottom;
    // A window made smaller than its controls' margins must not ask for negative sizes.
    if (record.lockRight) rect.width = std::max(0, inner.width - rect.x - record.rightMargin);
    if (record.lockBottom) rect.height = std::max(0, inner.height - rect.y - record.bottomMargin);
    Geometry().setControlRect(window, record.control, rect);
  }
}

void ClearAnchors() { Registry().clear(); }
