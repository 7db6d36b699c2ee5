#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <string>

#include "app/main_window.h"

// What field `field` of the main window's status bar shows, read from its
// label as a user sees it; empty without a main window.
inline std::string StatusBarText(int field) {
  if (!MainWindow(App())) return {};
  const QList<QLabel*> fields = MainWindow(App())->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  return field >= 0 && field < fields.size() ? fields[field]->text().toStdString() : std::string();
}
