#include "app/main_window_bars.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

#include "Inc/CommandIds.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "app/commands.h"
#include "widgets/builtin_images.h"
#include "widgets/qt_text.h"

namespace {

struct MenuItem {
  const char* key;  // nullptr: a separator
  int commandId;
  const char* hint;  // the keys shown right-aligned as the shortcut, in Qt's portable form
};

struct MenuTitle {
  const char* key;
  std::initializer_list<MenuItem> items;
};

const MenuTitle kMenus[] = {
    {"s66",
     {{"s67", kMenuAddTask, "Ctrl+A"},
      {"s68", kMenuRemoveTask, "Ctrl+R"},
      {"s180", kMenuRemoveFinished, ""},
      {nullptr, 0, ""},
      {"s69", kMenuExit, "Alt+F4"}}},
    {"s70", {{"s71", kMenuEditTask, ""}, {"s72", kMenuMoveUp, ""}, {"s73", kMenuMoveDown, ""}}},
    {"s74", {{"s75", kMenuSaveLog, ""}, {"s76", kMenuClearLog, ""}}},
    {"s77", {{"s78", kMenuSettings, ""}}},
    {"s79", {{"s80", kMenuHelp, "F1"}, {nullptr, 0, ""}, {"s81", kMenuWebSite, ""}, {"s82", kMenuAbout, ""}}},
};

constexpr int kSeparator = -1;

struct ToolbarEntry {
  int commandId;  // kSeparator: a separator
  int image;
  const char* labelKey;
};

// The toolbar from left to right; its buttons are labelled in this order too.
constexpr ToolbarEntry kToolbar[] = {
    {kSeparator, 0, nullptr},   {kButtonAddTask, 0, "s83"},  {kButtonRemoveTask, 1, "s84"},
    {kSeparator, 0, nullptr},   {kButtonEditTask, 2, "s85"}, {kButtonMoveUp, 3, "s86"},
    {kButtonMoveDown, 4, "s87"}, {kSeparator, 0, nullptr},   {kButtonStart, 5, "s88"},
    {kButtonStop, 6, "s89"},    {kSeparator, 0, nullptr},   {kButtonHelp, 7, "s90"},
    {kButtonAbout, 8, "s91"},   {kButtonExit, 9, "s92"},
};

struct Shortcut {
  QKeySequence keys;
  int commandId;
};

// What follows a tab Qt shows as the hint; the keys are named as the user's
// keyboard labels them ("Strg+A" in German), through Qt's translation.
QString ShortcutHint(const char* keys) {
  if (!*keys) return {};
  return QLatin1Char('\t') +
         QKeySequence(QString::fromLatin1(keys), QKeySequence::PortableText).toString(QKeySequence::NativeText);
}

}  // namespace

void BuildMenuBar(AppState& app, QMainWindow* window, std::map<int, QAction*>& items) {
  CHECKPOINT();
  QMenuBar* bar = window->menuBar();
  for (const MenuTitle& title : kMenus) {
    QMenu* menu = bar->addMenu(UiQText(title.key));
    for (const MenuItem& item : title.items) {
      if (!item.key) {
        menu->addSeparator();
        continue;
      }
      // The keys themselves are bound on the window, so the menu binds none.
      const int id = item.commandId;
      items[id] = menu->addAction(UiQText(item.key) + ShortcutHint(item.hint), window,
                                  [&app, id] { DispatchCommand(app, id); });
    }
  }
}

QToolBar* BuildToolbar(AppState& app, QMainWindow* window, std::map<int, QAction*>& buttons) {
  CHECKPOINT();
  auto* toolbar = new QToolBar(window);
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(16, 16));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
  for (const ToolbarEntry& entry : kToolbar) {
    if (entry.commandId == kSeparator) {
      toolbar->addSeparator();
      continue;
    }
    const int id = entry.commandId;
    QAction* action = toolbar->addAction(QIcon(BuiltInImage(entry.image)), QString());
    QObject::connect(action, &QAction::triggered, window, [&app, id] { DispatchCommand(app, id); });
    buttons[id] = action;
  }
  window->addToolBar(Qt::TopToolBarArea, toolbar);
  return toolbar;
}

std::vector<int> ToolbarCommandIds() {
  std::vector<int> ids;
  for (const ToolbarEntry& entry : kToolbar)
    if (entry.commandId != kSeparator) ids.push_back(entry.commandId);
  return ids;
}

const char* ToolbarLabelKey(int commandId) {
  for (const ToolbarEntry& entry : kToolbar)
    if (entry.commandId == commandId && entry.labelKey) return entry.labelKey;
  return "";
}

void BindShortcuts(AppState& app, QMainWindow* window) {
  CHECKPOINT();
  const Shortcut shortcuts[] = {{QKeySequence(Qt::Key_F1), kMenuHelp},
                                {QKeySequence(Qt::CTRL | Qt::Key_A), kMenuAddTask},
                                {QKeySequence(Qt::CTRL | Qt::Key_R), kMenuRemoveTask},
                                {QKeySequence(Qt::Key_Delete), kMenuRemoveTask}};
  for (const Shortcut& shortcut : shortcuts) {
    auto* binding = new QShortcut(shortcut.keys, window);
    binding->setContext(Qt::WindowShortcut);
    const int id = shortcut.commandId;
    QObject::connect(binding, &QShortcut::activated, window, [&app, id] { DispatchCommand(app, id); });
  }
}
