#include "app/main_window_bars.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "app/builtin_images.h"
#include "app/commands.h"

namespace {

struct MenuItem {
  const char* key;  // nullptr: a separator
  int commandId;
  const char* hint;  // shown right-aligned as the shortcut
};

struct MenuTitle {
  const char* key;
  std::initializer_list<MenuItem> items;
};

const MenuTitle kMenus[] = {
    {"s66",
     {{"s67", 0, "\tCtrl+A"}, {"s68", 1, "\tCtrl+R"}, {nullptr, 0, ""}, {"s69", 2, "\tAlt+F4"}}},
    {"s70", {{"s71", 3, ""}, {"s72", 4, ""}, {"s73", 5, ""}}},
    {"s74", {{"s75", 9, ""}, {"s76", 10, ""}}},
    {"s77", {{"s78", 11, ""}}},
    {"s79", {{"s80", 6, "\tF1"}, {nullptr, 0, ""}, {"s81", 7, ""}, {"s82", 8, ""}}},
};

struct ToolbarEntry {
  int commandId;  // 0: a separator
  int image;
  const char* labelKey;
};

const ToolbarEntry kToolbar[] = {
    {0, 0, nullptr},   {50, 0, "s83"},    {51, 1, "s84"},   {0, 0, nullptr},
    {52, 2, "s85"},    {53, 3, "s86"},    {54, 4, "s87"},   {0, 0, nullptr},
    {58, 5, "s88"},    {59, 6, "s89"},    {0, 0, nullptr},  {55, 7, "s90"},
    {56, 8, "s91"},    {57, 9, "s92"},
};

struct Shortcut {
  QKeySequence keys;
  int commandId;
};

QString Text(const char* key) { return QString::fromStdString(UiText(key)); }

}  // namespace

void BuildMenuBar(QMainWindow* window) {
  CHECKPOINT();
  QMenuBar* bar = window->menuBar();
  for (const MenuTitle& title : kMenus) {
    QMenu* menu = bar->addMenu(Text(title.key));
    for (const MenuItem& item : title.items) {
      if (!item.key) {
        menu->addSeparator();
        continue;
      }
      // Qt shows what follows a tab as the shortcut hint; the keys themselves
      // are bound on the window, so the menu binds none.
      const int id = item.commandId;
      menu->addAction(Text(item.key) + QString::fromLatin1(item.hint), window,
                      [id] { DispatchCommand(id); });
    }
  }
}

QToolBar* BuildToolbar(QMainWindow* window, std::map<int, QAction*>& buttons) {
  CHECKPOINT();
  auto* toolbar = new QToolBar(window);
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(16, 16));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
  for (const ToolbarEntry& entry : kToolbar) {
    if (entry.commandId == 0) {
      toolbar->addSeparator();
      continue;
    }
    const int id = entry.commandId;
    QAction* action = toolbar->addAction(QIcon(BuiltInImage(entry.image)), QString());
    QObject::connect(action, &QAction::triggered, window, [id] { DispatchCommand(id); });
    buttons[id] = action;
  }
  window->addToolBar(Qt::TopToolBarArea, toolbar);
  return toolbar;
}

const char* ToolbarLabelKey(int commandId) {
  for (const ToolbarEntry& entry : kToolbar)
    if (entry.commandId == commandId && entry.labelKey) return entry.labelKey;
  return "";
}

void BindShortcuts(QMainWindow* window) {
  CHECKPOINT();
  const Shortcut shortcuts[] = {{QKeySequence(Qt::Key_F1), 6},
                                {QKeySequence(Qt::CTRL | Qt::Key_A), 0},
                                {QKeySequence(Qt::CTRL | Qt::Key_R), 1},
                                {QKeySequence(Qt::Key_Delete), 1}};
  for (const Shortcut& shortcut : shortcuts) {
    auto* binding = new QShortcut(shortcut.keys, window);
    binding->setContext(Qt::WindowShortcut);
    const int id = shortcut.commandId;
    QObject::connect(binding, &QShortcut::activated, window, [id] { DispatchCommand(id); });
  }
}
