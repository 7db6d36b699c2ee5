#include "app/task_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "tasks/dropped_files.h"
#include "tasks/task_editor_window.h"

namespace {

std::vector<std::string> LocalPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

class DropTarget final : public QObject {
 public:
  DropTarget(AppState& app, QObject* parent) : QObject(parent), app_(app) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (Welcome(drag->mimeData()))
          drag->acceptProposedAction();
        else
          drag->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!Welcome(drop->mimeData())) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        // The editor's modal loop must not run inside the drop: the source of
        // the drag waits for the drop to finish.
        QTimer::singleShot(0, watched, [this, paths = LocalPaths(drop->mimeData())] {
          if (app_.ConversionRunning) return;
          const std::vector<std::string> files = ExpandInputPaths(paths);
          if (!files.empty()) OpenTaskEditorWithFiles(app_, files);
        });
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }

 private:
  bool Welcome(const QMimeData* data) const { return !app_.ConversionRunning && !LocalPaths(data).empty(); }

  AppState& app_;
};

}  // namespace

void AcceptFileDrops(AppState& app, QTreeWidget* taskList) {
  taskList->setAcceptDrops(true);
  taskList->viewport()->setAcceptDrops(true);
  taskList->viewport()->installEventFilter(new DropTarget(app, taskList));
}
