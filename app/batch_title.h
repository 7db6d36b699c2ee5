#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <set>

struct AppState;
class QMainWindow;

// While it lives, the main window's title tells how far a batch has come,
// "3 of 7 – 42% – <title>", so the progress shows in the task bar (with several
// conversions at once, that of the first row in progress); the title comes
// back when it goes. Nothing happens without tasks or during a batch of `app`.
class BatchTitle {
 public:
  explicit BatchTitle(const AppState& app);
  ~BatchTitle();
  BatchTitle(const BatchTitle&) = delete;
  BatchTitle& operator=(const BatchTitle&) = delete;

 private:
  void Show(int row, const QString& status);

  const AppState& app_;
  QPointer<QMainWindow> window_;
  QString original_;
  QMetaObject::Connection watch_;
  // The rows in progress, kept from each change of status: a long batch
  // does not read every row it has finished at each one.
  std::set<int> inProgress_;
};
