#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Gadget anchoring: a control registered with edge locks keeps the distances
// of its locked edges to its window's inner edges on every size event.

enum class WindowEventKind { Size, Other };

struct GadgetRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct GadgetSize {
  int width = 0;
  int height = 0;
};

// How the anchoring reaches real windows: the inner size of a window and the
// geometry of one of its controls, both in the window's inner coordinates.
struct AnchorGeometry {
  std::function<GadgetSize(int window)> innerSize;
  std::function<GadgetRect(int window, int control)> controlRect;
  std::function<void(int window, int control, const GadgetRect& rect)> setControlRect;
};

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

// The anchored controls of the windows that one geometry reaches; the window
// that holds them owns it, so it goes when they go.
class AnchorRegistry {
 public:
  explicit AnchorRegistry(AnchorGeometry geometry);

  // Appends a record measured from the control's current geometry.
  void Register(int window, int control, bool lockLeft, bool lockTop, bool lockRight, bool lockBottom);

  // Fed every event of a window's loop; acts on size events only.
  void Apply(WindowEventKind event, int window);

 private:
  bool GeometryComplete() const;

  AnchorGeometry geometry_;
  std::vector<AnchorRecord> records_;
};
