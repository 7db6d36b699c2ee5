#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <string>

#include "Inc/AppState.h"
#include "app/main_window.h"

// What field `field` of the status bar of `app`'s main window shows, read
// from its label as a user sees it; empty without a main window.
inline std::string StatusBarText(AppState& app, int field) {
  if (!MainWindow(app)) return {};
  const QList<QLabel*> fields = MainWindow(app)->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  return field >= 0 && field < fields.size() ? fields[field]->text().toStdString() : std::string();
}
