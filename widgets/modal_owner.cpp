#include "widgets/modal_owner.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {

// The mark lives on the owner itself, so it goes with the window.
constexpr const char* kOwnerMark = "mflpxModalOwner";

}  // namespace

void SetModalOwner(QWidget* owner) {
  if (QWidget* previous = ModalOwner()) previous->setProperty(kOwnerMark, QVariant());
  if (owner) owner->setProperty(kOwnerMark, true);
}

QWidget* ModalOwner() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->property(kOwnerMark).toBool()) return window;
  return nullptr;
}

void RunWithOwnerDisabled(const std::function<void(QWidget* owner)>& run) {
  const QPointer<QWidget> owner = ModalOwner();
  if (owner) owner->setEnabled(false);
  run(owner.data());
  if (owner) owner->setEnabled(true);
}

void PlaceOverOwner(QWidget* window, const QWidget* owner) {
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  const QPoint centre = owner ? owner->frameGeometry().center() : available.center();
  window->move(std::max(centre.x() - window->width() / 2, available.left()),
               std::max(centre.y() - window->height() / 2, available.top()));
}
