#include "widgets/modal_owner.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

QPointer<QWidget>& Owner() {
  static QPointer<QWidget> owner;
  return owner;
}

}  // namespace

void SetModalOwner(QWidget* owner) { Owner() = owner; }

QWidget* ModalOwner() { return Owner().data(); }

void RunWithOwnerDisabled(const std::function<void(QWidget* owner)>& run) {
  const QPointer<QWidget> owner = Owner();
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
