#pragma once

#include <QColor>
#include <QLabel>

// A single-line web link drawn as coloured text without underline: blue at
// rest, grey while the pointer is over it, with the hand pointer.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  static inline const QColor kRestColor{65, 98, 190};
  static inline const QColor kHoverColor{128, 128, 128};

  LinkLabel(const QString& text, QWidget* parent);

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetTextColor(const QColor& color);
};
