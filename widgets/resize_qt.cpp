#include "widgets/resize_qt.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <memory>

AnchorGeometry WidgetAnchorGeometry(int window, QWidget* innerArea, const std::map<int, QWidget*>& controls) {
  struct Widgets {
    int window = 0;
    QPointer<QWidget> innerArea;
    std::map<int, QPointer<QWidget>> controls;
    QWidget* Control(int windowNumber, int control) const {
      const auto found = controls.find(control);
      return windowNumber != window || found == controls.end() ? nullptr : found->second.data();
    }
  };
  auto widgets = std::make_shared<Widgets>();
  widgets->window = window;
  widgets->innerArea = innerArea;
  for (const auto& [number, widget] : controls) widgets->controls[number] = widget;

  AnchorGeometry geometry;
  geometry.innerSize = [widgets](int windowNumber) {
    const QWidget* area = windowNumber == widgets->window ? widgets->innerArea.data() : nullptr;
    return area ? GadgetSize{area->width(), area->height()} : GadgetSize{};
  };
  geometry.controlRect = [widgets](int windowNumber, int control) {
    const QWidget* widget = widgets->Control(windowNumber, control);
    if (!widget) return GadgetRect{};
    const QRect r = widget->geometry();
    return GadgetRect{r.x(), r.y(), r.width(), r.height()};
  };
  geometry.setControlRect = [widgets](int windowNumber, int control, const GadgetRect& rect) {
    if (QWidget* widget = widgets->Control(windowNumber, control))
      widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
  };
  return geometry;
}

WindowEventKind AnchorEventKind(const QEvent& event) {
  return event.type() == QEvent::Resize ? WindowEventKind::Size : WindowEventKind::Other;
}
