#pragma once

#include "Inc/Resize.h"

class QEvent;
class QWidget;

// Qt side of the anchoring: windows and controls are made known by number.
// A window's inner area is the widget its controls live in.
void AttachAnchorWindow(int window, QWidget* innerArea);
void AttachAnchorControl(int window, int control, QWidget* widget);

// Installs the geometry of the attached widgets for the anchoring.
void InstallQtAnchorGeometry();

WindowEventKind AnchorEventKind(const QEvent& event);
