#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <functional>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "app/main_window.h"

// Handles events until done() holds or five seconds pass; true when it held.
inline bool WaitUntil(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

struct DropOutcome {
  bool enterAccepted = false;
  bool dropAccepted = false;
};

// Drags files from a file manager onto the task list of `app` and drops them there.
inline DropOutcome DropOnTaskList(AppState& app, const std::vector<std::string>& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  data.setUrls(urls);
  QWidget* viewport = TaskListWidget(app)->viewport();
  const QPoint centre = viewport->rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &enter);
  QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &drop);
  return {enter.isAccepted(), drop.isAccepted()};
}
