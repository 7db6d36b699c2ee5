#pragma once

#include <functional>

class QWidget;

// The window that the modal windows (task editor, settings, About) belong to,
// centre over and disable while they run: the main window once it is built.
// The windows of every folder reach it here, so none depends on the main
// window's code.
void SetModalOwner(QWidget* owner);
QWidget* ModalOwner();  // nullptr when there is none, or it was destroyed

// Disables the owner, runs `run` (which builds and runs the modal window) and
// enables the owner again. The owner is disabled before the window exists:
// Qt disables the child windows a widget already has, but not those created
// afterwards.
void RunWithOwnerDisabled(const std::function<void(QWidget* owner)>& run);

// Moves `window` so that it is centred over `owner` (over the screen when
// there is none), then right or down as far as needed to keep its left and
// top edges on the screen. Every modal window is placed this way.
void PlaceOverOwner(QWidget* window, const QWidget* owner);
