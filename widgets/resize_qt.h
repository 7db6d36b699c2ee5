#pragma once

#include <map>

#include "Inc/Resize.h"

class QEvent;
class QWidget;

// Qt side of the anchoring: the geometry of one window, numbered `window`,
// whose inner area is the widget its controls live in, and of its controls by
// number. Widgets destroyed later read as empty and are left alone.
AnchorGeometry WidgetAnchorGeometry(int window, QWidget* innerArea, const std::map<int, QWidget*>& controls);

WindowEventKind AnchorEventKind(const QEvent& event);
