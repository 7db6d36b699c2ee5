#pragma once

#include <functional>

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

void InstallAnchorGeometry(AnchorGeometry geometry);

// Appends a record measured from the control's current geometry.
void RegisterAnchor(int window, int control, bool lockLeft, bool lockTop, bool lockRight,
                    bool lockBottom);

// Fed every event of a window's loop; acts on size events only.
void ApplyAnchors(WindowEventKind event, int window);

// Forgets every record; used when the window that holds them is rebuilt.
void ClearAnchors();
