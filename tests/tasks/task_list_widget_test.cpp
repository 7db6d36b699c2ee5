#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "Inc/Lang.h"
#include "app/grid_delegate.h"
#include "app/main_window.h"
#include "sample_task.h"
#include "scratch_dir.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"
#include "tasks/task_list_view.h"
#include "ui_recorder.h"
#include "widgets/qt_text.h"

namespace {

// The text a tool tip shows: Qt renders one that looks like markup as markup.
std::string ToolTipShown(const QTreeWidgetItem* row, int column) {
  const QString tip = row->toolTip(column);
  if (!Qt::mightBeRichText(tip)) return tip.toStdString();
  QTextDocument document;
  document.setHtml(tip);
  return document.toPlainText().replace(QChar::Nbsp, QLatin1Char(' ')).toStdString();
}

// The task list mirrored in the real main window's list view.
class TaskListWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
    widget = TaskListWidget(app);
  }
  void TearDown() override {
    DestroyMainWindow(app);
    LoadStringTable("");
  }

  void Select(int row) { widget->setCurrentItem(widget->topLevelItem(row)); }
  std::string Cell(int row, int column) const {
    return widget->topLevelItem(row)->text(column).toStdString();
  }
  std::vector<std::string> RowInputs() const {
    std::vector<std::string> inputs;
    for (int row = 0; row < widget->topLevelItemCount(); ++row) inputs.push_back(Cell(row, 0));
    return inputs;
  }
  std::vector<std::string> ListInputs() {
    std::vector<std::string> inputs;
    for (int i = 0; i < ProgramTasks(app).Count(); ++i) inputs.push_back(ProgramTasks(app).At(i).InputFile);
    return inputs;
  }

  AppState app;
  QTreeWidget* widget = nullptr;
  UiRecorder ui;
};

TEST_F(TaskListWidgetTest, UpMovesTheRowWithItsStatusAndDeselects) {
  for (const char* name : {"a", "b", "c"}) ProgramTasks(app).Append(SampleTask(name));
  EXPECT_TRUE(widget->selectedItems().isEmpty()) << "appended rows are not selected";
  ProgramTasks(app).SetStatusText(1, "Converted!");
  Select(1);

  EXPECT_EQ(ProgramTasks(app).MoveSelectedUp(), 1);
  const std::vector<std::string> expected = {"/videos/b.mp4", "/videos/a.mp4", "/videos/c.mp4"};
  EXPECT_EQ(RowInputs(), expected);
  EXPECT_EQ(ListInputs(), expected);
  EXPECT_EQ(Cell(0, 4), "Converted!");
  EXPECT_TRUE(widget->selectedItems().isEmpty());

  EXPECT_EQ(ProgramTasks(app).MoveSelectedUp(), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Please select (click) a task in the list in order to move it up.");
  EXPECT_EQ(RowInputs(), expected);
}

TEST_F(TaskListWidgetTest, EndsAndSingleTaskMoveNothingSilently) {
  ProgramTasks(app).Append(SampleTask("only"));
  Select(0);
  EXPECT_EQ(ProgramTasks(app).MoveSelectedUp(), 0);
  EXPECT_EQ(ProgramTasks(app).MoveSelectedDown(), 0);
  ProgramTasks(app).Append(SampleTask("last"));
  Select(1);
  EXPECT_EQ(ProgramTasks(app).MoveSelectedDown(), 0);
  Select(0);
  EXPECT_EQ(ProgramTasks(app).MoveSelectedUp(), 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(RowInputs(), (std::vector<std::string>{"/videos/only.mp4", "/videos/last.mp4"}));
}

TEST_F(TaskListWidgetTest, RemovingTheOnlyTaskCountsZero) {
  ProgramTasks(app).Append(SampleTask("a"));
  EXPECT_EQ(ui.status[1], "1 videos in the list.");
  Select(0);
  EXPECT_EQ(ProgramTasks(app).RemoveSelected(), 1);
  EXPECT_EQ(widget->topLevelItemCount(), 0);
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
  EXPECT_EQ(ui.status[1], "0 videos in the list.");
}

TEST_F(TaskListWidgetTest, IdenticalPathsStayTwoRows) {
  ProgramTasks(app).Append(SampleTask("same"));
  ProgramTasks(app).Append(SampleTask("same", 6));
  Select(1);
  EXPECT_EQ(ProgramTasks(app).MoveSelectedUp(), 1);
  EXPECT_EQ(Cell(0, 2), "192 x 160");
  EXPECT_EQ(Cell(1, 2), "96 x 64");
  Select(0);
  EXPECT_EQ(ProgramTasks(app).RemoveSelected(), 1);
  ASSERT_EQ(widget->topLevelItemCount(), 1);
  EXPECT_EQ(Cell(0, 2), "96 x 64");
  EXPECT_EQ(ProgramTasks(app).At(0).Resolution, 0);
}

TEST_F(TaskListWidgetTest, FixedLabelsAndStatusTextsUnderATranslation) {
  ScratchDir dir;
  LoadStringTable(dir.Write("Lang/x.ini",
                            "[MFLPXL]\r\nName = X\r\n[Data]\r\ns31 = Bas\r\ns35 = En attente\r\n"));
  ProgramTasks(app).Append(SampleTask("a", 6, 2));
  ProgramTasks(app).Append(SampleTask("b"));
  EXPECT_EQ(Cell(0, 2), "192 x 160");
  EXPECT_EQ(Cell(0, 3), "Low");
  EXPECT_EQ(Cell(0, 4), "Waiting");

  ProgramTasks(app).SetStatusText(0, "Converted!");
  Select(0);
  ProgramTasks(app).Replace(0, SampleTask("a2", 6, 2));
  EXPECT_EQ(Cell(0, 0), "/videos/a2.mp4");
  EXPECT_EQ(Cell(0, 3), "Low");
  EXPECT_EQ(Cell(0, 4), "En attente");
  EXPECT_EQ(Cell(1, 4), "Waiting");
  ASSERT_EQ(widget->selectedItems().size(), 1);
  EXPECT_EQ(widget->indexOfTopLevelItem(widget->selectedItems().first()), 0);
}

// A language file's markup in an option's label shows as written, never as HTML.
TEST_F(TaskListWidgetTest, OptionsToolTipShowsItsLabelsAsWritten) {
  ScratchDir dir;
  LoadStringTable(dir.Write("Lang/x.ini", "[MFLPXL]\r\nName = X\r\n[Data]\r\ns15 = <b>Q</b><img src=x.png>\r\n"));
  ProgramTasks(app).Append(SampleTask("a", 6, 2));
  for (const int column : {2, 3}) {
    const QString tip = widget->topLevelItem(0)->toolTip(column);
    EXPECT_TRUE(tip.contains(QStringLiteral("&lt;b&gt;Q&lt;/b&gt;&lt;img src=x.png&gt;: Low"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Resolution: 192 x 160"))) << tip.toStdString();
  }
}

TEST_F(TaskListWidgetTest, TextOutsideAsciiSurvivesTheView) {
  Task task = SampleTask("Été – 日本");
  ProgramTasks(app).Append(task);
  EXPECT_EQ(Cell(0, kStatusColumn), "Waiting");
  EXPECT_EQ(widget->topLevelItem(0)->text(0).toUtf8().toStdString(), task.InputFile);
}

// What a cell of the given width shows, as the list's delegate draws it.
QString ShownText(QTreeWidget* widget, int row, int column, int width) {
  auto* delegate = dynamic_cast<GridDelegate*>(widget->itemDelegate());
  if (!delegate) return {};
  // As the view starts each cell's option, before the delegate's turn.
  QStyleOptionViewItem option;
  option.initFrom(widget->viewport());
  option.widget = widget;
  option.textElideMode = widget->textElideMode();
  option.rect = QRect(0, 0, width, widget->visualItemRect(widget->topLevelItem(row)).height());
  const QModelIndex index = widget->model()->index(row, column);
  delegate->initStyleOption(&option, index);
  return option.fontMetrics.elidedText(option.text, option.textElideMode, width);
}

TEST_F(TaskListWidgetTest, LongPathsKeepTheirFileNamesAndEveryCutCellHasItsWholeTextAsTooltip) {
  Task task;
  task.InputFile = "/home/anna/Videos/Holidays/2026/Summer in the mountains/day one.mp4";
  task.OutputFile = "/home/anna/Videos/Holidays/2026/Summer in the mountains/day one.amv";
  ProgramTasks(app).Append(task);
  ProgramTasks(app).SetStatusText(0, "FFmpeg error. Code 1");
  const QTreeWidgetItem* row = widget->topLevelItem(0);

  const int narrow = QFontMetrics(widget->font()).horizontalAdvance(QStringLiteral("day one.mp4")) * 3;
  const QString input = ShownText(widget, 0, 0, narrow);
  EXPECT_TRUE(input.startsWith(QStringLiteral("/home"))) << input.toStdString();
  EXPECT_TRUE(input.endsWith(QStringLiteral("/day one.mp4"))) << input.toStdString();
  // At the window's first width the whole name shows, its folder cut instead.
  const QString first = ShownText(widget, 0, 0, widget->columnWidth(0));
  EXPECT_TRUE(first.endsWith(QStringLiteral("/day one.mp4")) && first.contains(QChar(0x2026))) << first.toStdString();
  EXPECT_TRUE(input.contains(QChar(0x2026))) << input.toStdString();
  EXPECT_TRUE(ShownText(widget, 0, 1, narrow).endsWith(QStringLiteral("day one.amv")));
  const QString status = ShownText(widget, 0, 4, narrow / 3);
  EXPECT_TRUE(status.startsWith(QStringLiteral("FFmpeg"))) << "the status is cut at its end";

  EXPECT_EQ(ToolTipShown(row, 0), task.InputFile);
  EXPECT_EQ(ToolTipShown(row, 1), task.OutputFile);
  EXPECT_EQ(ToolTipShown(row, 4), "FFmpeg error. Code 1");
  EXPECT_TRUE(row->toolTip(2).contains(QStringLiteral("Quality: High")));

  // A moved row keeps its tooltips, taken from the texts it carries.
  ProgramTasks(app).Append(SampleTask("b"));
  Select(1);
  ProgramTasks(app).MoveSelectedUp();
  EXPECT_EQ(ToolTipShown(widget->topLevelItem(1), 4), "FFmpeg error. Code 1");
  EXPECT_EQ(ToolTipShown(widget->topLevelItem(0), 0), "/videos/b.mp4");
}

// A file name that looks like markup is shown as the name, never as big red
// text with a picture.
TEST_F(TaskListWidgetTest, ToolTipsShowFileNamesAsWritten) {
  Task task;
  task.InputFile = "/v/<font color=red size=7>BIG<img src=red.png>.mp4";
  task.OutputFile = "/v/a &amp; <b>b</b>  c.amv";
  ProgramTasks(app).Append(task);
  const QTreeWidgetItem* row = widget->topLevelItem(0);
  EXPECT_EQ(ToolTipShown(row, 0), task.InputFile);
  EXPECT_EQ(ToolTipShown(row, 1), task.OutputFile);
}

// The menu item (its text, then maybe a shortcut hint) or toolbar button
// that shows the text of key.
QAction* Command(AppState& app, const char* key) {
  for (QAction* button : MainToolbar(app)->actions())
    if (button->text() == UiQText(key)) return button;
  for (QAction* title : MainWindow(app)->menuBar()->actions())
    for (QAction* item : title->menu()->actions())
      if (!item->isSeparator() && item->text().split(QLatin1Char('\t')).first() == UiQText(key)) return item;
  return nullptr;
}

TEST_F(TaskListWidgetTest, ShiftAndCtrlPickSeveralRowsForRemoveAndTurnOneTaskCommandsOff) {
  for (const char* name : {"a", "b", "c", "d", "e"}) ProgramTasks(app).Append(SampleTask(name));
  MainWindow(app)->show();
  const auto click = [this](int row, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, modifiers,
                      widget->visualItemRect(widget->topLevelItem(row)).center());
  };
  // Edit, Up, Down in the menu, then on the toolbar.
  const std::vector<QAction*> oneTask = {Command(app, "s71"), Command(app, "s72"), Command(app, "s73"),
                                         Command(app, "s85"), Command(app, "s86"), Command(app, "s87")};
  const auto enabled = [&] {
    std::vector<bool> states;
    for (QAction* action : oneTask) states.push_back(action && action->isEnabled());
    return states;
  };
  click(0, Qt::NoModifier);
  click(1, Qt::ShiftModifier);
  EXPECT_EQ(enabled(), std::vector<bool>(6, false));
  click(3, Qt::ControlModifier);
  SetToolbarEnabled(app, true);
  EXPECT_EQ(enabled(), std::vector<bool>(6, false)) << "a batch's end does not turn them on";
  Command(app, "s68")->trigger();
  EXPECT_EQ(RowInputs(), (std::vector<std::string>{"/videos/c.mp4", "/videos/e.mp4"}));
  EXPECT_EQ(ListInputs(), RowInputs());
  EXPECT_EQ(ui.status[1], "2 videos in the list.");
  EXPECT_EQ(enabled(), std::vector<bool>(6, true));
  click(1, Qt::NoModifier);
  EXPECT_EQ(enabled(), std::vector<bool>(6, true)) << "one row: the one-task commands act on it";
  SetToolbarEnabled(app, false);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, false, false, false}));
  SetToolbarEnabled(app, true);
}

TEST_F(TaskListWidgetTest, RemoveFinishedClearsTheConvertedRowsOnly) {
  for (const char* name : {"a", "b", "c", "d"}) ProgramTasks(app).Append(SampleTask(name));
  ProgramTasks(app).SetStatusText(0, "Converted!");
  ProgramTasks(app).SetStatusText(1, "FFmpeg error. Code 1");
  ProgramTasks(app).SetStatusText(3, "Converted!");
  Select(1);
  ASSERT_NE(Command(app, "s180"), nullptr);
  Command(app, "s180")->trigger();
  EXPECT_EQ(RowInputs(), (std::vector<std::string>{"/videos/b.mp4", "/videos/c.mp4"}));
  EXPECT_EQ(ListInputs(), RowInputs());
  EXPECT_EQ(ui.status[1], "2 videos in the list.");
  ui.status.clear();
  Command(app, "s180")->trigger();
  EXPECT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_TRUE(ui.status.empty()) << "nothing finished, nothing changes";
}

TEST_F(TaskListWidgetTest, DoubleClickOnARowOpensItsEditor) {
  for (const char* name : {"a", "b"}) ProgramTasks(app).Append(SampleTask(name));
  MainWindow(app)->show();
  std::string edited;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* editor = qobject_cast<TaskEditorDialog*>(QApplication::activeModalWidget())) {
      edited = editor->Widgets().input->text().toStdString();
      editor->close();
    }
  });
  watch.start(5);
  const QPoint row = widget->visualItemRect(widget->topLevelItem(1)).center();
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, row);
  QTest::mouseDClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, row);
  EXPECT_EQ(edited, "/videos/b.mp4");
}

}  // namespace
