#include "widgets/resize_qt.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <map>
#include <utility>

namespace {

std::map<int, QPointer<QWidget>>& Windows() {
  static std::map<int, QPointer<QWidget>> windows;
  return windows;
}

std::map<std::pair<int, int>, QPointer<QWidget>>& Controls() {
  static std::map<std::pair<int, int>, QPointer<QWidget>> controls;
  return controls;
}

QWidget* WindowWidget(int window) {
  const auto found = Windows().find(window);
  return found == Windows().end() ? nullptr : found->second.data();
}

QWidget* ControlWidget(int window, int control) {
  const auto found = Controls().find({window, control});
  return found == Controls().end() ? nullptr : found->second.data();
}

}  // namespace

void AttachAnchorWindow(int window, QWidget* innerArea) { Windows()[window] = innerArea; }

void AttachAnchorControl(int window, int control, QWidget* widget) {
  Controls()[{window, control}] = widget;
}

void InstallQtAnchorGeometry() {
  AnchorGeometry geometry;
  geometry.innerSize = [](int window) {
    const QWidget* area = WindowWidget(window);
    return area ? GadgetSize{area->width(), area->height()} : GadgetSize{};
  };
  geometry.controlRect = [](int window, int control) {
    const QWidget* widget = ControlWidget(window, control);
    if (!widget) return GadgetRect{};
    const QRect r = widget->geometry();
    return GadgetRect{r.x(), r.y(), r.width(), r.height()};
  };
  geometry.setControlRect = [](int window, int control, const GadgetRect& rect) {
    if (QWidget* widget = ControlWidget(window, control))
      widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
  };
  InstallAnchorGeometry(std::move(geometry));
}

WindowEventKind AnchorEventKind(const QEvent& event) {
  return event.type() == QEvent::Resize ? WindowEventKind::Size : WindowEventKind::Other;
}
