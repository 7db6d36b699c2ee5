#include "app/proportional_splitter.h"

#include <algorithm>

ProportionalSplitter::ProportionalSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
  setHandleWidth(kBarHeight);
  setOpaqueResize(true);
  connect(this, &QSplitter::splitterMoved, this, [this] { RememberProportion(); });
}

void ProportionalSplitter::SetPosition(int upperHeight) {
  const int room = std::max(0, height() - kBarHeight);
  const int upper = std::clamp(upperHeight, 0, room);
  setSizes({upper, room - upper});
  RememberProportion();
}

void ProportionalSplitter::resizeEvent(QResizeEvent* event) {
  QSplitter::resizeEvent(event);
  ApplyProportion();
}

void ProportionalSplitter::RememberProportion() {
  const QList<int> parts = sizes();
  if (parts.size() == 2) proportion_.Remember(height(), parts[1]);
}

void ProportionalSplitter::ApplyProportion() {
  if (count() != 2) return;
  const int room = std::max(0, height() - kBarHeight);
  const int lower = proportion_.LowerHeight(height());
  setSizes({room - lower, lower});
}
