#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <vector>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/activity_log_view.h"
#include "app/commands.h"
#include "app/log_list.h"
#include "app/qt_translation.h"
#include "scratch_dir.h"
#include "shell_test_support.h"
#include "status_bar_text.h"
#include "tasks/sample_task.h"
#include "tasks/task_list.h"

namespace {

QString Text(const char* key) { return QString::fromStdString(UiText(key)); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    ASSERT_TRUE(BuildMainWindow(app));
    SetCommandInterceptor(app, [this](int id) { commands_.push_back(id); });
  }
  void TearDown() override {
    SetCommandInterceptor(app, {});
    DestroyMainWindow(app);
  }

  void ShowAndActivate() {
    MainWindow(app)->show();
    MainWindow(app)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(MainWindow(app)));
  }

  // The status field labels, in field order.
  std::vector<QLabel*> StatusFields() {
    std::vector<QLabel*> fields;
    for (QLabel* label : MainWindow(app)->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
      fields.push_back(label);
    return fields;
  }

  AppState app;
  std::vector<int> commands_;
};

TEST_F(MainWindowTest, IsBuiltHiddenWithItsTitleAndSize) {
  QMainWindow* window = MainWindow(app);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Marrowind Flickpress 0.8");
  EXPECT_EQ(window->size(), QSize(600, 450));
  EXPECT_TRUE(window->minimumSize().isNull() || window->minimumWidth() < 600);
}

// During its destruction the window is no longer a QMainWindow; nothing may
// reach it through the accessors then (the sanitizers abort on such a cast).
TEST_F(MainWindowTest, IsForgottenBeforeItIsDestroyed) {
  std::vector<bool> seen;
  auto* probe = new QObject(MainWindow(app)->centralWidget());
  QObject::connect(probe, &QObject::destroyed, [this, &seen] {
    seen = {MainWindow(app) == nullptr, TaskListWidget(app) == nullptr, LogListWidget(app) == nullptr,
            MainToolbar(app) == nullptr};
  });
  MainWindow(app)->resize(500, 400);
  DestroyMainWindow(app);
  EXPECT_EQ(seen, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(MainWindow(app), nullptr);
  ASSERT_TRUE(BuildMainWindow(app)) << "a window can be built again";
}

TEST_F(MainWindowTest, MenusCarryTheirTextsHintsAndCommandIds) {
  struct Expected {
    const char* key;
    const char* hint;
    int id;
  };
  const std::vector<std::pair<const char*, std::vector<Expected>>> menus = {
      {"s66",
       {{"s67", "\tCtrl+A", 0}, {"s68", "\tCtrl+R", 1}, {"s180", "", 12}, {nullptr, "", -1}, {"s69", "\tAlt+F4", 2}}},
      {"s70", {{"s71", "", 3}, {"s72", "", 4}, {"s73", "", 5}}},
      {"s74", {{"s75", "", 9}, {"s76", "", 10}}},
      {"s77", {{"s78", "", 11}}},
      {"s79", {{"s80", "\tF1", 6}, {nullptr, "", -1}, {"s81", "", 7}, {"s82", "", 8}}},
  };
  const QList<QAction*> titles = MainWindow(app)->menuBar()->actions();
  ASSERT_EQ(titles.size(), static_cast<qsizetype>(menus.size()));
  for (std::size_t m = 0; m < menus.size(); ++m) {
    EXPECT_EQ(titles[m]->text(), Text(menus[m].first));
    const QList<QAction*> items = titles[m]->menu()->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[m].second.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
      const Expected& expected = menus[m].second[i];
      if (!expected.key) {
        EXPECT_TRUE(items[i]->isSeparator());
        continue;
      }
      EXPECT_EQ(items[i]->text(), Text(expected.key) + expected.hint);
      EXPECT_TRUE(items[i]->shortcut().isEmpty()) << "keys are bound on the window, not the menu";
      commands_.clear();
      items[i]->trigger();
      EXPECT_EQ(commands_, std::vector<int>{expected.id});
    }
  }
}

TEST_F(MainWindowTest, ShortcutHintsNameTheKeysAsTheUsersKeyboardDoes) {
  InstallQtTranslation("de");
  DestroyMainWindow(app);
  ASSERT_TRUE(BuildMainWindow(app));
  InstallQtTranslation("");
  const QList<QAction*> file = MainWindow(app)->menuBar()->actions()[0]->menu()->actions();
  EXPECT_EQ(file[0]->text(), Text("s67") + "\tStrg+A");
  EXPECT_EQ(file[4]->text(), Text("s69") + "\tAlt+F4");
}

TEST_F(MainWindowTest, ToolbarHasTheTenLabelledButtonsBetweenItsSeparators) {
  QToolBar* toolbar = MainToolbar(app);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar->iconSize(), QSize(16, 16));
  EXPECT_EQ(toolbar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  struct Expected {
    int id;  // 0: separator
    const char* key;
  };
  const Expected entries[] = {{0, nullptr}, {50, "s83"}, {51, "s84"}, {0, nullptr}, {52, "s85"},
                              {53, "s86"},  {54, "s87"}, {0, nullptr}, {58, "s88"}, {59, "s89"},
                              {0, nullptr}, {55, "s90"}, {56, "s91"}, {57, "s92"}};
  const QList<QAction*> actions = toolbar->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(entries)));
  for (qsizetype i = 0; i < actions.size(); ++i) {
    if (entries[i].id == 0) {
      EXPECT_TRUE(actions[i]->isSeparator()) << i;
      continue;
    }
    EXPECT_EQ(actions[i]->text(), Text(entries[i].key));
    EXPECT_FALSE(actions[i]->icon().isNull());
    EXPECT_TRUE(actions[i]->isEnabled());
    commands_.clear();
    actions[i]->trigger();
    EXPECT_EQ(commands_, std::vector<int>{entries[i].id});
  }
}

TEST_F(MainWindowTest, ButtonWidthFollowsItsLabel) {
  QToolBar* toolbar = MainToolbar(app);
  QAction* add = toolbar->actions()[1];
  QWidget* button = toolbar->widgetForAction(add);
  const QFontMetrics metrics(button->font());
  EXPECT_EQ(button->width(), metrics.horizontalAdvance(Text("s83")) + 4);

  const std::string longer = "Add a new video to the list";
  SetToolbarButtonLabel(app, kToolbarId, 50, longer);
  EXPECT_EQ(add->text().toStdString(), longer);
  EXPECT_EQ(button->width(), metrics.horizontalAdvance(QString::fromStdString(longer)) + 4);

  SetToolbarButtonLabel(app, 7, 50, "ignored");  // no toolbar of that number
  EXPECT_EQ(add->text().toStdString(), longer);
}

TEST_F(MainWindowTest, DisablingTheToolbarKeepsStopAndTheMenus) {
  SetToolbarEnabled(app, false);
  for (QAction* action : MainToolbar(app)->actions()) {
    if (action->isSeparator()) continue;
    EXPECT_EQ(action->isEnabled(), action->text() == Text("s89")) << action->text().toStdString();
  }
  for (QAction* title : MainWindow(app)->menuBar()->actions()) {
    EXPECT_TRUE(title->isEnabled());
    for (QAction* item : title->menu()->actions()) EXPECT_TRUE(item->isEnabled());
  }
  SetToolbarEnabled(app, true);
  for (QAction* action : MainToolbar(app)->actions()) EXPECT_TRUE(action->isEnabled());
}

TEST_F(MainWindowTest, TaskListHasFiveHeadedColumnsAndReportStyle) {
  QTreeWidget* list = TaskListWidget(app);
  ASSERT_EQ(list->columnCount(), 5);
  const char* keys[] = {"s93", "s94", "s95", "s96", "s97"};
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(list->headerItem()->text(column), Text(keys[column]));
    EXPECT_EQ(list->columnWidth(column), 119) << "w/5 - 1 at the initial width of 600";
  }
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection) << "several rows for Remove";
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_FALSE(list->rootIsDecorated());
  const QPalette palette = list->palette();
  EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
            palette.color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(LogListWidget(app)->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainWindowTest, StatusFieldsStartAt90And190ThenEndAtHalfAndFullWidth) {
  std::vector<QLabel*> fields = StatusFields();
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0]->geometry().right() + 1, 90);
  EXPECT_EQ(fields[1]->geometry().right() + 1, 190);
  EXPECT_EQ(StatusBarText(app, 0), UiText("s64"));
  EXPECT_EQ(StatusBarText(app, 1), UiText("s65"));
  EXPECT_FALSE(MainWindow(app)->statusBar()->isSizeGripEnabled());

  ShowAndActivate();
  MainWindow(app)->resize(701, 500);
  EXPECT_EQ(fields[0]->geometry().right() + 1, 350);
  EXPECT_EQ(fields[1]->geometry().right() + 1, 701);
  for (int column = 0; column < 5; ++column) EXPECT_EQ(TaskListWidget(app)->columnWidth(column), 139);

  SetStatusFieldText(app, 1, "3 videos in the list.");
  EXPECT_EQ(StatusBarText(app, 1), "3 videos in the list.");
}

// A language file is text: a tag in it must not load a local picture.
TEST_F(MainWindowTest, StatusFieldsShowLanguageTextsAsWritten) {
  ScratchDir dir;
  LoadStringTable(dir.Write("x.ini", "[Data]\ns64 = <img src=/etc/x.png>Ready\ns65 = <a href=x>0</a> videos\n"));
  ASSERT_TRUE(BuildMainWindow(app));
  for (QLabel* field : StatusFields()) EXPECT_EQ(field->textFormat(), Qt::PlainText);
  EXPECT_EQ(StatusBarText(app, 0), "<img src=/etc/x.png>Ready");
  LoadStringTable("");
}

TEST_F(MainWindowTest, SplitterFillsTheWindowAndReturnsAfterMaximiseAndRestore) {
  ShowAndActivate();
  QSplitter* splitter = MainWindow(app)->findChild<QSplitter*>();
  QWidget* inner = MainWindow(app)->centralWidget();
  EXPECT_EQ(splitter->geometry(), inner->rect());
  EXPECT_EQ(splitter->handleWidth(), 4);
  EXPECT_EQ(splitter->sizes()[0], 300);
  const QRect before = splitter->geometry();
  const QList<int> partsBefore = splitter->sizes();

  MainWindow(app)->showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([this] { return MainWindow(app)->width() > 600; }));
  EXPECT_EQ(splitter->geometry(), inner->rect());
  EXPECT_GT(splitter->height(), before.height());
  MainWindow(app)->showNormal();
  ASSERT_TRUE(QTest::qWaitFor([this] { return MainWindow(app)->width() == 600; }));
  EXPECT_EQ(MainWindow(app)->size(), QSize(600, 450));
  EXPECT_EQ(splitter->geometry(), before);
  EXPECT_EQ(splitter->sizes(), partsBefore);
}

TEST_F(MainWindowTest, ShrinkingToNothingAppliesNoNegativeSize) {
  ShowAndActivate();
  MainWindow(app)->resize(1, 1);
  QApplication::processEvents();
  EXPECT_GE(MainWindow(app)->findChild<QSplitter*>()->width(), 0);
  EXPECT_GE(MainWindow(app)->findChild<QSplitter*>()->height(), 0);
  for (int size : MainWindow(app)->findChild<QSplitter*>()->sizes()) EXPECT_GE(size, 0);
  for (int column = 0; column < 5; ++column) EXPECT_GE(TaskListWidget(app)->columnWidth(column), 0);
}

TEST_F(MainWindowTest, ADraggedBarKeepsItsShareWhenTheWindowIsResized) {
  ShowAndActivate();
  QSplitter* splitter = MainWindow(app)->findChild<QSplitter*>();
  QWidget* handle = splitter->handle(1);
  const QPoint grip = handle->rect().center();
  QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
  QTest::mouseMove(handle, grip - QPoint(0, 150));
  QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip - QPoint(0, 150));
  const QList<int> dragged = splitter->sizes();
  ASSERT_EQ(dragged[0], 150);
  const int room = splitter->height() - 4;

  MainWindow(app)->resize(600, 450 + 2 * room);  // the splitter's room triples
  const int newRoom = splitter->height() - 4;
  ASSERT_EQ(newRoom, 3 * room);
  EXPECT_EQ(splitter->sizes()[1], dragged[1] * newRoom / room);
  EXPECT_EQ(splitter->sizes()[0] + splitter->sizes()[1], newRoom);
}

TEST_F(MainWindowTest, ShortcutsReachTheirCommandsWhereverTheFocusIs) {
  ShowAndActivate();
  for (QWidget* focus : {static_cast<QWidget*>(LogListWidget(app)), static_cast<QWidget*>(TaskListWidget(app))}) {
    LogListWidget(app)->AppendLine("a line");
    focus->setFocus();
    commands_.clear();
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(focus, Qt::Key_Delete);
    QTest::keyClick(focus, Qt::Key_F1);
    EXPECT_EQ(commands_, (std::vector<int>{0, 1, 1, 6}));
  }
}

TEST_F(MainWindowTest, CloseBoxAsksWithTheFixedEnglishTexts) {
  ShowAndActivate();
  SetCommandInterceptor(app, {});
  LoadStringTable("");
  UiAnswers ui;

  ui.answer = MessageAnswer::No;
  EXPECT_FALSE(MainWindow(app)->close());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "Please confirm");
  EXPECT_EQ(ui.messages[0].text, "Are you sure you want to quit Marrowind Flickpress?");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(MainWindow(app)->isVisible());
  EXPECT_FALSE(app.quit);

  ui.answer = MessageAnswer::Yes;
  MainWindow(app)->close();
  EXPECT_TRUE(app.quit);
}

TEST_F(MainWindowTest, CloseBoxIsRefusedWithoutAQuestionDuringABatch) {
  ShowAndActivate();
  UiAnswers ui;
  ui.answer = MessageAnswer::Yes;
  EXPECT_FALSE(MainWindow(app)->close());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(MainWindow(app)->isVisible());
  EXPECT_FALSE(app.quit);
}

}  // namespace

// Each state owns its window, task list and log: nothing done through one
// shows in the other.
TEST(TwoProgramStates, ShareNoWindowListOrLog) {
  LoadStringTable("");
  AppState first;
  AppState second;
  first.LogActions = second.LogActions = 1;
  for (AppState* app : {&first, &second}) {
    ASSERT_TRUE(BuildMainWindow(*app));
    AttachTaskListWidget(*app);
    AttachMainWindowLog(*app);
  }
  EXPECT_NE(MainWindow(first), MainWindow(second));

  ProgramTasks(first).Append(SampleTask("a"));
  ProgramTasks(first).Append(SampleTask("b"));
  ProgramTasks(second).Append(SampleTask("c"));
  first.logView->AppendAndSelect("first only");

  EXPECT_EQ(ProgramTasks(first).Count(), 2);
  EXPECT_EQ(ProgramTasks(second).Count(), 1);
  EXPECT_EQ(ProgramTasks(second).At(0).InputFile, "/videos/c.mp4");
  EXPECT_EQ(TaskListWidget(first)->topLevelItemCount(), 2);
  EXPECT_EQ(TaskListWidget(second)->topLevelItemCount(), 1);
  EXPECT_EQ(LogListWidget(first)->LineCount(), 1);
  EXPECT_EQ(LogListWidget(second)->LineCount(), 0);

  DestroyMainWindow(first);
  EXPECT_EQ(MainWindow(first), nullptr);
  ASSERT_NE(MainWindow(second), nullptr);
  EXPECT_EQ(TaskListWidget(second)->topLevelItemCount(), 1);
  DestroyMainWindow(second);
}
