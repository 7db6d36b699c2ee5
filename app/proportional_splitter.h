#pragma once

#include <QSplitter>

#include "app/splitter_proportion.h"

// A vertical splitter whose lower part keeps its share of the height when the
// splitter grows or shrinks; setting the position or dragging the bar fixes
// that share anew.
class ProportionalSplitter : public QSplitter {
 public:
  static constexpr int kBarHeight = 4;

  explicit ProportionalSplitter(QWidget* parent);

  // Gives the upper part `upperHeight` pixels and the lower part the rest.
  void SetPosition(int upperHeight);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RememberProportion();
  void ApplyProportion();

  SplitterProportion proportion_{kBarHeight};
};
