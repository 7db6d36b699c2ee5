#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <map>
#include <memory>

#include "Inc/CommandIds.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/Version.h"
#include "app/commands.h"
#include "app/grid_delegate.h"
#include "app/log_list.h"
#include "app/main_window_bars.h"
#include "app/proportional_splitter.h"
#include "app/task_drop.h"
#include "convert/editor_preview.h"
#include "convert/editor_tracks.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"
#include "tasks/task_list_widget_view.h"
#include "widgets/modal_owner.h"
#include "widgets/qt_text.h"
#include "widgets/resize_qt.h"

// The main window's widgets and the views over them, kept by its program state.
struct MainWindowParts {
  explicit MainWindowParts(AppState& state) : app(state) {}

  AppState& app;
  QPointer<QMainWindow> window;
  QLabel* fields[2] = {nullptr, nullptr};
  QToolBar* toolbar = nullptr;
  QTreeWidget* taskList = nullptr;
  LogList* log = nullptr;
  ProportionalSplitter* splitter = nullptr;
  std::map<int, QAction*> buttons;
  std::map<int, QAction*> menuItems;
  bool toolbarEnabled = true;
  std::unique_ptr<AnchorRegistry> anchors;
  TaskListWidgetView taskView;  // bound to taskList by AttachTaskListWidget
};

namespace {

constexpr int kTaskColumns = 5;

void FitTaskColumns(const MainWindowParts& parts) {
  if (!parts.window) return;
  const int width = parts.window->width() / kTaskColumns - 1;
  for (int column = 0; column < kTaskColumns; ++column) parts.taskList->setColumnWidth(column, std::max(0, width));
}

// Every event of window 0 passes through here before the window sees it.
class MainWindowEvents : public QObject {
 public:
  MainWindowEvents(QObject* window, const MainWindowParts& parts) : QObject(window), parts_(parts) {}

 protected:
  // The filter is a child of the window it watches. While that window is being
  // destroyed it is no longer a QMainWindow, so it is recognised by its plain
  // QObject pointer and, once the parts let go of it, left alone.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != parent() || parts_.window.isNull()) return false;
    if (parts_.anchors) parts_.anchors->Apply(AnchorEventKind(*event), kMainWindowId);
    if (event->type() == QEvent::Resize) {
      const int w = parts_.window->width();
      if (parts_.fields[0]) {
        const int height = parts_.window->statusBar()->height();
        parts_.fields[0]->setGeometry(0, 0, w / 2, height);
        parts_.fields[1]->setGeometry(w / 2, 0, w - w / 2, height);
      }
      FitTaskColumns(parts_);
      parts_.taskList->viewport()->update();
    } else if (event->type() == QEvent::Close) {
      // The window closes only through a confirmed quit, which ends the loop.
      event->ignore();
      ConfirmCloseRequest(parts_.app);
      return true;
    }
    return false;
  }

 private:
  const MainWindowParts& parts_;
};

// Field i is a sunken label placed by hand, so that its end is exact and its
// width never becomes a minimum size of the window.
void BuildStatusBar(QMainWindow* window, MainWindowParts& parts) {
  QStatusBar* bar = window->statusBar();
  bar->setSizeGripEnabled(false);
  const int height = bar->sizeHint().height();
  const char* keys[2] = {"s64", "s65"};
  const int starts[2] = {0, 90};
  const int widths[2] = {90, 100};
  for (int i = 0; i < 2; ++i) {
    auto* field = new QLabel(UiQText(keys[i]), bar);
    // Language texts and the batch's texts are shown as written, never as markup.
    field->setTextFormat(Qt::PlainText);
    field->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    field->setIndent(3);
    field->setGeometry(starts[i], 0, widths[i], height);
    parts.fields[i] = field;
  }
}

// Edit, Up and Down act on one task, so they are off while several rows are
// selected; the toolbar's own state (off during a batch) still rules its buttons.
void UpdateOneTaskCommands(const MainWindowParts& parts) {
  if (!parts.window) return;
  const bool one = parts.taskList->selectedItems().size() <= 1;
  for (const int id : {kMenuEditTask, kMenuMoveUp, kMenuMoveDown})
    if (const auto item = parts.menuItems.find(id); item != parts.menuItems.end()) item->second->setEnabled(one);
  for (const int id : {kButtonEditTask, kButtonMoveUp, kButtonMoveDown})
    if (const auto button = parts.buttons.find(id); button != parts.buttons.end())
      button->second->setEnabled(one && parts.toolbarEnabled);
}

QTreeWidget* BuildTaskList(const MainWindowParts& parts) {
  AppState& app = parts.app;
  auto* list = new QTreeWidget;
  list->setColumnCount(kTaskColumns);
  const char* headers[kTaskColumns] = {"s93", "s94", "s95", "s96", "s97"};
  const int widths[kTaskColumns] = {150, 150, 100, 100, 95};
  QStringList labels;
  for (const char* key : headers) labels << UiQText(key);
  list->setHeaderLabels(labels);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  for (int column = 0; column < kTaskColumns; ++column) list->setColumnWidth(column, widths[column]);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  // Shift and Ctrl pick several rows for Remove.
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  // The input and output paths keep their file names in sight.
  list->setItemDelegate(new GridDelegate(list, 2));
  list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  // The selected row stays as visible as with focus, so the user always sees
  // which task Remove, Edit, Up and Down act on.
  QPalette palette = list->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  list->setPalette(palette);
  AcceptFileDrops(app, list);
  QObject::connect(list, &QTreeWidget::itemDoubleClicked, list, [&app] { DispatchCommand(app, kMenuEditTask); });
  QObject::connect(list, &QTreeWidget::itemSelectionChanged, list, [&parts] { UpdateOneTaskCommands(parts); });
  return list;
}

LogList* BuildLogList() {
  auto* log = new LogList;
  log->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  return log;
}

void CentreOnScreen(QMainWindow* window) {
  const QScreen* screen = window->screen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  window->move(available.center() - window->rect().center());
}

}  // namespace

bool BuildMainWindow(AppState& app) {
  CHECKPOINT();
  DestroyMainWindow(app);
  // Without a GUI application or a screen no window can be opened.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !QGuiApplication::primaryScreen())
    return false;
  app.mainWindow = std::make_shared<MainWindowParts>(app);
  MainWindowParts& parts = *app.mainWindow;
  auto* window = new QMainWindow;
  parts.window = window;
  window->setWindowTitle(QString::fromUtf8(kProductTitle));
  window->resize(600, 450);
  CentreOnScreen(window);

  // The controls container: the inner area the splitter is anchored in.
  auto* container = new QWidget(window);
  window->setCentralWidget(container);

  BuildStatusBar(window, parts);
  BuildMenuBar(app, window, parts.menuItems);
  parts.toolbar = BuildToolbar(app, window, parts.buttons);
  for (int id : ToolbarCommandIds()) SetToolbarButtonLabel(app, kToolbarId, id, UiText(ToolbarLabelKey(id)));

  parts.taskList = BuildTaskList(parts);
  parts.log = BuildLogList();
  parts.splitter = new ProportionalSplitter(container);
  parts.splitter->addWidget(parts.taskList);
  parts.splitter->addWidget(parts.log);
  // Without this the lists' preferred minimum heights would override the
  // share the splitter keeps for its lower part.
  for (QWidget* part : {static_cast<QWidget*>(parts.taskList), static_cast<QWidget*>(parts.log)})
    part->setMinimumSize(1, 1);

  // Lay the hidden window out now so the splitter can fill the inner area.
  window->layout()->activate();
  parts.splitter->setGeometry(container->rect());
  parts.splitter->SetPosition(300);

  parts.anchors =
      std::make_unique<AnchorRegistry>(WidgetAnchorGeometry(kMainWindowId, container, {{kSplitterId, parts.splitter}}));
  parts.anchors->Register(kMainWindowId, kSplitterId, true, true, true, true);

  BindShortcuts(app, window);
  window->installEventFilter(new MainWindowEvents(window, parts));
  FitTaskColumns(parts);
  SetModalOwner(window);
  app.editorExtension = [](TaskEditorDialog& editor) {
    AddPreviewButtons(editor);
    WatchSourceTracks(editor);
  };
  return true;
}

// The parts are forgotten before the window goes, so nothing reached during
// its destruction sees a half-destroyed window through them.
void DestroyMainWindow(AppState& app) {
  const std::shared_ptr<MainWindowParts> parts = std::move(app.mainWindow);
  if (!parts) return;
  QMainWindow* window = parts->window.data();
  parts->window.clear();
  if (app.tasks) app.tasks->DetachView(&parts->taskView);
  SetModalOwner(nullptr);
  delete window;
}

QMainWindow* MainWindow(const AppState& app) { return app.mainWindow ? app.mainWindow->window : nullptr; }

QTreeWidget* TaskListWidget(const AppState& app) { return MainWindow(app) ? app.mainWindow->taskList : nullptr; }

LogList* LogListWidget(const AppState& app) { return MainWindow(app) ? app.mainWindow->log : nullptr; }

QToolBar* MainToolbar(const AppState& app) { return MainWindow(app) ? app.mainWindow->toolbar : nullptr; }

void AttachTaskListWidget(AppState& app) {
  TaskList& tasks = ProgramTasks(app);
  if (app.mainWindow) {
    app.mainWindow->taskView.Bind(app.mainWindow->taskList);
    tasks.AttachView(&app.mainWindow->taskView);
  } else {
    tasks.AttachView(nullptr);
  }
  tasks.Clear();
}

void SetToolbarEnabled(AppState& app, bool enabled) {
  if (!app.mainWindow) return;
  MainWindowParts& parts = *app.mainWindow;
  // Stop stays usable so a running batch can always be stopped.
  parts.toolbarEnabled = enabled;
  for (const auto& [id, button] : parts.buttons)
    if (id != kButtonStop) button->setEnabled(enabled);
  UpdateOneTaskCommands(parts);
}

void SetToolbarButtonLabel(const AppState& app, int toolbarId, int commandId, const std::string& text) {
  QToolBar* toolbar = MainToolbar(app);
  if (toolbarId != kToolbarId || !toolbar) return;
  const auto found = app.mainWindow->buttons.find(commandId);
  if (found == app.mainWindow->buttons.end()) return;
  QAction* action = found->second;
  const QString label = QString::fromStdString(text);
  action->setText(label);
  if (QWidget* button = toolbar->widgetForAction(action)) {
    const int width = QFontMetrics(button->font()).horizontalAdvance(label) + 4;
    button->setFixedWidth(std::max(width, toolbar->iconSize().width() + 4));
  }
  toolbar->adjustSize();
}

void SetStatusFieldText(const AppState& app, int field, const std::string& text) {
  if (field < 0 || field > 1 || !MainWindow(app) || !app.mainWindow->fields[field]) return;
  app.mainWindow->fields[field]->setText(QString::fromStdString(text));
}

void SetTaskColumnWidths(const AppState& app) {
  if (app.mainWindow) FitTaskColumns(*app.mainWindow);
}
