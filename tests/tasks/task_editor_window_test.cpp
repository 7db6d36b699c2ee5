#include "tasks/task_editor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <filesystem>
#include <functional>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/main_window.h"
#include "scratch_dir.h"
#include "settings/output_folder_choice.h"
#include "tasks/editor_paths.h"
#include "tasks/option_controls.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"
#include "task_row_status.h"
#include "ui_recorder.h"

namespace {

std::string Std(const QString& text) { return text.toUtf8().toStdString(); }

const char* const kEmptyInput =
    "The input file is empty,inexistent or could not be accessed. Please check the path and try "
    "again.";

const char* const kExists = "The file already exists. Please choose another one.";

class TaskEditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, dir.Dir());
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
  }
  void TearDown() override { DestroyMainWindow(app); }

  // An editor as OpenTaskEditor builds it, shown but without its modal loop.
  std::unique_ptr<TaskEditorDialog> OpenDialog(TaskEditorMode mode = TaskEditorMode::Add) {
    const auto start = PrepareTaskEditor(app, mode);
    if (!start) return nullptr;
    auto dialog = std::make_unique<TaskEditorDialog>(app, *start, MainWindow(app));
    dialog->show();
    return dialog;
  }

  AppState app;
  ScratchDir dir;
  UiRecorder ui;
};

// Runs act on the editor once its modal loop has started.
void WhenEditorOpens(std::function<void(TaskEditorDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<TaskEditorDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
    if (dialog->isVisible()) dialog->close();
  });
}

TEST_F(TaskEditorWindowTest, WindowAndControlsStandWhereTheLayoutPutsThem) {
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  EXPECT_EQ(Std(dialog->windowTitle()), "Add video file");
  // Add mode has a row for the output folder below the output: what lies below moves down by it.
  const int row = 36;
  EXPECT_EQ(dialog->size(), QSize(402, 402 + row));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "not resizable";
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinMaxButtonsHint);
  // Language texts in labels are shown as written, never as markup.
  for (const QLabel* label : dialog->findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) {
      EXPECT_EQ(label->textFormat(), Qt::PlainText) << Std(label->text());
    }
  }
  EXPECT_TRUE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(dialog->isModal());

  EXPECT_EQ(c.cancel->geometry(), QRect(220, 370 + row, 85, 25));
  EXPECT_EQ(c.accept->geometry(), QRect(310, 370 + row, 85, 25));
  EXPECT_EQ(Std(c.cancel->text()), "Cancel");
  EXPECT_EQ(Std(c.accept->text()), "Accept");
  EXPECT_EQ(c.tabs->geometry(), QRect(5, 5, 390, 360 + row));
  EXPECT_EQ(Std(c.tabs->tabText(0)), "General information");
  EXPECT_EQ(Std(c.tabs->tabText(1)), "Advanced options");
  EXPECT_EQ(c.tabs->currentIndex(), 0);
  EXPECT_EQ(c.input->geometry(), QRect(100, 35, 185, 20));
  EXPECT_EQ(c.output->geometry(), QRect(100, 70, 185, 20));
  EXPECT_EQ(c.inputBrowse->geometry(), QRect(290, 32, 80, 25));
  EXPECT_EQ(c.outputBrowse->geometry(), QRect(290, 67, 80, 25));
  ASSERT_NE(c.outputFolder, nullptr);
  EXPECT_EQ(c.outputFolder->geometry(), QRect(100, 102, 270, 25));
  EXPECT_EQ(c.outputFolder->findChild<QComboBox*>("outputFolder")->geometry().right(),
            c.output->geometry().right() - 100);
  EXPECT_EQ(c.outputFolder->findChild<QPushButton*>("outputFolderBrowse")->geometry(), QRect(190, 0, 80, 25));
  EXPECT_EQ(c.resolution->pos(), QPoint(25, 145 + row));
  EXPECT_EQ(c.quality->pos(), QPoint(25, 220 + row));
  EXPECT_EQ(c.frameRate->pos(), QPoint(25, 290 + row));
  EXPECT_EQ(c.volume->geometry(), QRect(20, 35, 340, 35));
  EXPECT_EQ(c.volumeLabel->geometry(), QRect(30, 75, 320, 20));
  EXPECT_EQ(c.cropPicture->geometry(), QRect(70, 165, 50, 50));
  EXPECT_EQ(c.padPicture->geometry(), QRect(265, 165, 50, 50));
  EXPECT_EQ(c.cropPicture->pixmap().size(), QSize(50, 50));
  EXPECT_EQ(c.crop[0]->geometry(), QRect(70, 140, 50, 20));
  EXPECT_EQ(c.crop[1]->geometry(), QRect(70, 220, 50, 20));
  EXPECT_EQ(c.crop[2]->geometry(), QRect(15, 180, 50, 20));
  EXPECT_EQ(c.crop[3]->geometry(), QRect(125, 180, 50, 20));
  EXPECT_EQ(c.pad[0]->geometry(), QRect(265, 140, 50, 20));
  EXPECT_EQ(c.pad[1]->geometry(), QRect(265, 220, 50, 20));
  EXPECT_EQ(c.pad[2]->geometry(), QRect(210, 180, 50, 20));
  EXPECT_EQ(c.pad[3]->geometry(), QRect(320, 180, 50, 20));
  // Keep proportions in the free band below the crop and pad frames.
  EXPECT_EQ(c.keepProportions->geometry(), QRect(15, 265, 355, 20));
  EXPECT_EQ(c.keepProportions->parentWidget(), c.crop[0]->parentWidget());
  EXPECT_EQ(Std(c.keepProportions->text()), "Keep proportions");
  for (QWidget* other : c.keepProportions->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other != c.keepProportions) {
      EXPECT_FALSE(other->geometry().intersects(c.keepProportions->geometry())) << Std(other->objectName());
    }
  }
}

TEST_F(TaskEditorWindowTest, ListsHoldTheirEntriesAndCannotBeTypedInto) {
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  ASSERT_EQ(c.resolution->count(), 10);
  EXPECT_EQ(Std(c.resolution->itemText(0)), "96 x 64 (1.0 inch screen)");
  EXPECT_EQ(Std(c.resolution->itemText(9)), "208 x 176 (2.0 inch screen)");
  ASSERT_EQ(c.quality->count(), 3);
  EXPECT_EQ(Std(c.quality->itemText(2)), "Low");
  ASSERT_EQ(c.frameRate->count(), 3);
  EXPECT_EQ(Std(c.frameRate->itemText(0)), "10 FPS (recommended for 2 inch screen players)");
  for (const QComboBox* list : {c.resolution, c.quality, c.frameRate})
    EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(c.volume->minimum(), 0);
  EXPECT_EQ(c.volume->maximum(), 16);
  EXPECT_EQ(c.volume->tickInterval(), 1);
  EXPECT_NE(c.volume->tickPosition(), QSlider::NoTicks);
}

TEST_F(TaskEditorWindowTest, AddModeStartsFromTheStoredDefaults) {
  dir.Write("Config.ini",
            "[MFLPX]\r\nRes = 4\r\nQual = 2\r\nFrame = 1\r\nVolume = 12\r\nCropU = 10\r\n");
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  EXPECT_EQ(c.resolution->currentIndex(), 4);
  EXPECT_EQ(Std(c.resolution->currentText()), "176 x 128 (1.5 inch screen)");
  EXPECT_EQ(c.quality->currentIndex(), 2);
  EXPECT_EQ(c.frameRate->currentIndex(), 1);
  EXPECT_EQ(Std(c.frameRate->currentText()), "12 FPS (any display size)");
  EXPECT_EQ(c.volume->value(), 12);
  EXPECT_EQ(Std(c.volumeLabel->text()), "Current: Not modified");
  EXPECT_EQ(c.crop[0]->value(), 10);
  EXPECT_EQ(Std(c.crop[0]->text()), "10");
  EXPECT_EQ(c.crop[1]->value(), 0);
  EXPECT_TRUE(c.input->text().isEmpty());
}

TEST_F(TaskEditorWindowTest, WithoutVolumeKeyTheBarStandsAtZeroAndWithoutFileAtEight) {
  dir.Write("Config.ini", "[MFLPX]\r\nRes = 2\r\n");
  EXPECT_EQ(OpenDialog()->Widgets().volume->value(), 0);
  std::filesystem::remove(dir.Path("Config.ini"));
  EXPECT_EQ(OpenDialog()->Widgets().volume->value(), 8);
}

TEST_F(TaskEditorWindowTest, VolumeLabelFollowsTheBarOnceMoved) {
  const auto dialog = OpenDialog();
  QSlider* bar = dialog->Widgets().volume;
  const auto label = [&] { return Std(dialog->Widgets().volumeLabel->text()); };
  ASSERT_EQ(bar->value(), 8);
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(bar->value(), 9);
  EXPECT_EQ(label(), "Current: Increased");
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(label(), "Current: Not modified");
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(label(), "Current: Decreased");
}

TEST_F(TaskEditorWindowTest, SpinBoxesStepWithArrowsOnlyAndStopAtTheEnds) {
  const auto dialog = OpenDialog();
  QSpinBox* spin = dialog->Widgets().pad[3];
  spin->setFocus();
  QTest::keyClicks(spin, "7");
  EXPECT_EQ(spin->value(), 0);
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(spin->value(), 0) << "no wrapping at 0";
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(spin->value(), 1);
  QTest::keyClick(spin, Qt::Key_PageUp);
  EXPECT_EQ(spin->value(), 1);
  spin->stepBy(30);
  EXPECT_EQ(spin->value(), 25);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(spin->value(), 25) << "no wrapping at 25";
}

TEST_F(TaskEditorWindowTest, InputBrowseFillsBothFieldsOnlyForNonEmptyFiles) {
  const std::string film = dir.Write("mp4/film.mp4", "video");
  dir.Write("empty.mp4", "");
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  c.output->setText("/keep.amv");
  ui.answers = {dir.Path("empty.mp4"), dir.Path("mp4")};
  c.inputBrowse->click();
  c.inputBrowse->click();
  EXPECT_TRUE(c.input->text().isEmpty());
  EXPECT_EQ(Std(c.output->text()), "/keep.amv");

  ui.answers = {film};
  c.inputBrowse->click();
  EXPECT_EQ(Std(c.input->text()), film);
  EXPECT_EQ(Std(c.output->text()), dir.Path("mp4/film.amv"));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.dialogs.at(0).title, "Add media file");
}

TEST_F(TaskEditorWindowTest, OutputBrowseAppendsAmvAndRefusesExistingFiles) {
  dir.Write("old.amv", "x");
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  ui.answers = {dir.Path("clip")};
  c.outputBrowse->click();
  EXPECT_EQ(Std(c.output->text()), dir.Path("clip.amv"));
  ui.answers = {dir.Path("old.amv")};
  c.outputBrowse->click();
  EXPECT_EQ(Std(c.output->text()), dir.Path("clip.amv"));
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"The file already exists. Please choose another one."}));
}

TEST_F(TaskEditorWindowTest, AcceptChecksInputBeforeOutputAndStaysOpen) {
  dir.Write("Config.ini", "[MFLPX]\r\n");
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  c.quality->setCurrentIndex(1);
  c.accept->click();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_NE(dir.Read("Config.ini").find("Qual = 1"), std::string::npos)
      << "stored before the checks";
  c.input->setText(QString::fromStdString(dir.Write("zero.mp4", "")));
  c.accept->click();
  c.output->setText("/out/x.amv");
  c.accept->click();
  c.input->setText(QString::fromStdString(dir.Dir()));
  c.accept->click();
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Please press 'Browse' to choose an input file.",
                                      "Please press 'Browse' to choose an output file.",
                                      kEmptyInput, kEmptyInput}));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(Std(c.output->text()), "/out/x.amv");
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
}

TEST_F(TaskEditorWindowTest, AcceptStoresTrimmedPathsAndTheShownOptions) {
  const std::string video = dir.Write("my film.mp4", "video");
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  c.input->setText(QString::fromStdString("  " + video + "  "));
  c.output->setText("  /out/my film.amv ");
  c.resolution->setCurrentIndex(6);
  c.quality->setCurrentIndex(2);
  c.volume->setValue(16);
  c.crop[2]->setValue(3);
  c.pad[1]->setValue(25);
  c.accept->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  const Task task = ProgramTasks(app).At(0);
  EXPECT_EQ(task.InputFile, video);
  EXPECT_EQ(task.OutputFile, "/out/my film.amv");
  EXPECT_EQ(task.Resolution, 6);
  EXPECT_EQ(task.Quality, 2);
  EXPECT_EQ(task.Volume, 16);
  EXPECT_EQ(task.CropLeft, 3);
  EXPECT_EQ(task.PadBottom, 25);
  const QTreeWidgetItem* row = TaskListWidget(app)->topLevelItem(0);
  EXPECT_EQ(Std(row->text(2)), "192 x 160");
  EXPECT_EQ(Std(row->text(3)), "Low");
  EXPECT_EQ(Std(row->text(4)), "Waiting");
}

// Every task option has its control, within the option's limits, and what the
// controls show is what the editor hands on.
TEST_F(TaskEditorWindowTest, EveryOptionShowsInItsControlAndComesBackUnchanged) {
  const auto dialog = OpenDialog();
  const auto& controls = dialog->Widgets().options;
  const auto options = TaskOptions();
  ASSERT_EQ(controls.size(), options.size());
  // A number option at its highest or one below; a text option (a track, a moment) its own position.
  const auto sample = [&options](std::size_t i) {
    return IsTextOption(options[i]) ? std::to_string(i)
                                    : std::to_string(options[i].highest - static_cast<int32_t>(i % 2));
  };
  for (std::size_t i = 0; i < options.size(); ++i) {
    ASSERT_NE(controls[i], nullptr) << options[i].name;
    if (IsTextOption(options[i]))
      ShowControlText(*controls[i], options[i].control, sample(i));
    else
      ShowControlValue(*controls[i], options[i].control, std::stoi(sample(i)));
  }
  const Task shown = dialog->Shown();
  for (std::size_t i = 0; i < options.size(); ++i)
    EXPECT_EQ(OptionText(shown, options[i]), sample(i)) << options[i].name;
  ShowControlValue(*controls[4], options[4].control, options[4].highest + 1);
  EXPECT_EQ(ControlValue(*controls[4], options[4].control), options[4].highest);
}

TEST_F(TaskEditorWindowTest, CancelStoresTheOptionsAndTheCloseBoxDoesNot) {
  const std::string original = "[MFLPX]\r\nRes = 0\r\nQual = 0\r\nVolume = 8\r\n";
  dir.Write("Config.ini", original);
  auto dialog = OpenDialog();
  dialog->Widgets().quality->setCurrentIndex(1);
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dir.Read("Config.ini"), original);

  dialog = OpenDialog();
  dialog->Widgets().quality->setCurrentIndex(2);
  dialog->Widgets().cancel->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_NE(dir.Read("Config.ini").find("Qual = 2"), std::string::npos);
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
}

TEST_F(TaskEditorWindowTest, EscapeAndEnterCloseNothing) {
  const auto dialog = OpenDialog();
  QTest::keyClick(dialog.get(), Qt::Key_Escape);
  QTest::keyClick(dialog->Widgets().accept, Qt::Key_Return);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TaskEditorWindowTest, EditWithoutSelectionOpensNothing) {
  EXPECT_EQ(OpenTaskEditor(app, TaskEditorMode::Edit), 0);
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Please select (click) a task in the list in "
                                      "order to edit it's conversion configuration."}));
  EXPECT_TRUE(MainWindow(app)->isEnabled());
}

TEST_F(TaskEditorWindowTest, EditingAConvertedTaskShowsItWaitingAgain) {
  Task task;
  task.InputFile = dir.Write("a.mp4", "video");
  task.OutputFile = "/out/a.amv";
  task.FrameRate = 2;
  task.CropTop = 5;
  ProgramTasks(app).Append(task);
  task.OutputFile = "/out/b.amv";
  ProgramTasks(app).Append(task);
  ProgramTasks(app).SetStatusText(0, "Converted!");
  ProgramTasks(app).SetStatusText(1, "Converted!");
  TaskListWidget(app)->setCurrentItem(TaskListWidget(app)->topLevelItem(0));

  bool shownAsStored = false;
  WhenEditorOpens([&](TaskEditorDialog& dialog) {
    const auto& c = dialog.Widgets();
    shownAsStored = Std(c.input->text()) == task.InputFile && c.frameRate->currentIndex() == 2 &&
                    c.crop[0]->value() == 5 && Std(dialog.windowTitle()) == "Add video file";
    c.resolution->setCurrentIndex(3);
    c.accept->click();
  });
  EXPECT_EQ(OpenTaskEditor(app, TaskEditorMode::Edit), 1);
  EXPECT_TRUE(shownAsStored);
  EXPECT_EQ(ProgramTasks(app).At(0).Resolution, 3);
  EXPECT_EQ(ProgramTasks(app).At(0).CropTop, 5);
  EXPECT_EQ(RowStatus(app, 0), "Waiting");
  EXPECT_EQ(RowStatus(app, 1), "Converted!");
  EXPECT_EQ(ProgramTasks(app).At(1).Resolution, 0);
  EXPECT_EQ(ui.status[1], "2 videos in the list.");
}

TEST_F(TaskEditorWindowTest, EditOpensAndChangesTheSelectedTaskOnly) {
  Task first;
  first.InputFile = dir.Write("first.mp4", "video");
  first.OutputFile = "/out/first.amv";
  Task second;
  second.InputFile = dir.Write("second.mp4", "video");
  second.OutputFile = "/out/second.amv";
  second.Quality = 2;
  ProgramTasks(app).Append(first);
  ProgramTasks(app).Append(second);
  TaskListWidget(app)->setCurrentItem(TaskListWidget(app)->topLevelItem(1));

  std::string shown;
  int shownQuality = -1;
  WhenEditorOpens([&](TaskEditorDialog& dialog) {
    shown = Std(dialog.Widgets().input->text());
    shownQuality = dialog.Widgets().quality->currentIndex();
    EXPECT_EQ(dialog.size(), QSize(402, 402)) << "no output folder row in edit mode";
    EXPECT_EQ(dialog.Widgets().outputFolder, nullptr);
    dialog.Widgets().resolution->setCurrentIndex(4);
    dialog.Widgets().accept->click();
  });
  EXPECT_EQ(OpenTaskEditor(app, TaskEditorMode::Edit), 1);
  EXPECT_EQ(shown, second.InputFile);
  EXPECT_EQ(shownQuality, 2);
  EXPECT_EQ(ProgramTasks(app).At(1).Resolution, 4);
  EXPECT_EQ(ProgramTasks(app).At(1).OutputFile, "/out/second.amv");
  EXPECT_EQ(ProgramTasks(app).At(0).Resolution, 0);
  EXPECT_EQ(ProgramTasks(app).At(0).InputFile, first.InputFile);
}

TEST_F(TaskEditorWindowTest, AddThroughTheModalWindowAppendsTheTask) {
  const std::string video = dir.Write("b.mkv", "video");
  ui.answers = {video};
  WhenEditorOpens([](TaskEditorDialog& dialog) {
    dialog.Widgets().inputBrowse->click();
    dialog.Widgets().accept->click();
  });
  EXPECT_EQ(OpenTaskEditor(app, TaskEditorMode::Add), 1);
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, dir.Path("b.amv"));
  EXPECT_EQ(ui.status[1], "1 videos in the list.");
}

TEST_F(TaskEditorWindowTest, OpensCentredOverTheMainWindow) {
  MainWindow(app)->show();
  const auto dialog = OpenDialog();
  const QPoint offset = dialog->frameGeometry().center() - MainWindow(app)->frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2);

  // A main window hanging off the top left edge would push the editor's
  // caption off the screen; it moves right and down instead.
  MainWindow(app)->move(-500, -400);
  const QRect screen = MainWindow(app)->screen()->availableGeometry();
  const auto shifted = OpenDialog();
  EXPECT_EQ(shifted->pos(), screen.topLeft());
}

TEST_F(TaskEditorWindowTest, SeveralFilesAddOneTaskEachInOrderAndTheSkippedAreListedOnce) {
  const std::string a = dir.Write("v/a.mp4", "video");
  const std::string b = dir.Write("v/b.MKV", "video");
  const std::string bOutput = dir.Write("v/b.amv", "old");
  const std::string c = dir.Write("v/c.avi", "");
  const std::string d = dir.Write("v/d.webm", "video");
  const std::string d2 = dir.Write("v/d.mp4", "video");
  // What the question about b.amv's existing output is answered, and the
  // inputs of the tasks that come of it.
  const std::vector<std::pair<MessageAnswer, std::vector<std::string>>> cases = {
      {MessageAnswer::Skip, {a, d}}, {MessageAnswer::Replace, {a, b, d}}, {MessageAnswer::Cancel, {}}};
  for (const auto& [answer, inputs] : cases) {
    ProgramTasks(app).Clear();
    ui.messages.clear();
    const auto dialog = OpenDialog();
    const auto& controls = dialog->Widgets();
    ui.fileSets = {{a, b, c, d, d2}};
    controls.inputBrowse->click();
    EXPECT_EQ(Std(controls.input->text()), a + " (+4 more)");
    EXPECT_EQ(Std(controls.output->text()), dir.Path("v/a.amv") + " (+4 more)");
    EXPECT_TRUE(controls.output->isReadOnly());
    EXPECT_FALSE(controls.outputBrowse->isEnabled());
    EXPECT_EQ(dialog->Shown().InputFile, a) << "the first stands for them in the preview";
    EXPECT_EQ(dialog->Shown().OutputFile, dir.Path("v/a.amv"));

    controls.quality->setCurrentIndex(2);
    controls.crop[0]->setValue(4);
    ui.questionAnswers = {answer};
    controls.accept->click();
    EXPECT_EQ(dialog->isVisible(), inputs.empty());
    ASSERT_EQ(ProgramTasks(app).Count(), static_cast<int>(inputs.size()));
    for (int i = 0; i < ProgramTasks(app).Count(); ++i) {
      EXPECT_EQ(ProgramTasks(app).At(i).InputFile, inputs[i]);
      EXPECT_EQ(ProgramTasks(app).At(i).OutputFile, ProposeOutputPath(inputs[i], ""));
      EXPECT_EQ(ProgramTasks(app).At(i).replaceOutput, inputs[i] == b) << "a replace agreed stays with its task";
      EXPECT_EQ(ProgramTasks(app).At(i).Quality, 2);
      EXPECT_EQ(ProgramTasks(app).At(i).CropTop, 4);
      EXPECT_EQ(RowStatus(app, i), "Waiting");
    }
    ASSERT_GE(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::ReplaceSkipCancel);
    EXPECT_EQ(ui.messages[0].text, "These output files already exist:\n" + bOutput +
                                       "\n\nReplace them when the tasks are converted? Each old file stays until "
                                       "its new one is complete. Skip adds the other files only; Cancel adds "
                                       "nothing.");
    if (inputs.empty()) continue;
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Other tasks already save to these files, so they were not added:\n" +
                                       dir.Path("v/d.amv") + "\n\n" + kEmptyInput + "\n" + c);
    EXPECT_EQ(ui.messages[1].title, "Error");
  }
  EXPECT_EQ(dir.Read("v/b.amv"), "old");
}

TEST_F(TaskEditorWindowTest, WhenEverySeveralFileIsSkippedTheEditorStaysOpen) {
  const std::string empty = dir.Write("e.mp4", "");
  const auto dialog = OpenDialog();
  ui.fileSets = {{empty, dir.Path("missing.mp4")}};
  dialog->Widgets().inputBrowse->click();
  dialog->Widgets().accept->click();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{std::string(kEmptyInput) + "\n" + empty + "\n" +
                                      dir.Path("missing.mp4")}));
}

TEST_F(TaskEditorWindowTest, TypingIntoTheInputFieldLeavesTheSeveralFiles) {
  const std::string a = dir.Write("a.mp4", "video");
  const std::string b = dir.Write("b.mp4", "video");
  const auto dialog = OpenDialog();
  const auto& controls = dialog->Widgets();
  ui.fileSets = {{a, b}};
  controls.inputBrowse->click();
  QTest::keyClick(controls.input, Qt::Key_Backspace);
  EXPECT_TRUE(controls.output->text().isEmpty());
  EXPECT_FALSE(controls.output->isReadOnly());
  EXPECT_TRUE(controls.outputBrowse->isEnabled());
  controls.input->setText(QString::fromStdString(b));
  controls.output->setText(QString::fromStdString(dir.Path("own.amv")));
  controls.accept->click();
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, dir.Path("own.amv"));

  // One file of a several-files dialog is an ordinary Browse.
  const auto again = OpenDialog();
  ui.fileSets = {{a}};
  again->Widgets().inputBrowse->click();
  EXPECT_EQ(Std(again->Widgets().input->text()), a);
  EXPECT_EQ(Std(again->Widgets().output->text()), dir.Path("a.amv"));
  EXPECT_FALSE(again->Widgets().output->isReadOnly());
}

TEST_F(TaskEditorWindowTest, AcceptAsksBeforeReplacingAnOutputAndRefusesAnotherTasksOutput) {
  const std::string video = dir.Write("clip.mp4", "video");
  const std::string old = dir.Write("clip.amv", "old");
  dir.Write("taken/other.amv", "old");
  const auto dialog = OpenDialog();
  const auto& controls = dialog->Widgets();
  ui.answers = {video};
  controls.inputBrowse->click();
  ui.questionAnswers = {MessageAnswer::No};
  controls.accept->click();
  controls.output->setText(QString::fromStdString(dir.Path("taken")));
  controls.accept->click();
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"This output file already exists:\n" + old +
                                          "\n\nReplace it when the task is converted? The old file stays until "
                                          "the new one is complete.",
                                      kExists}));
  EXPECT_EQ(ui.messages.at(0).buttons, MessageButtons::YesNo);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
  controls.output->setText(QString::fromStdString(old));
  ui.questionAnswers = {MessageAnswer::Yes};
  controls.accept->click();
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_TRUE(ProgramTasks(app).At(0).replaceOutput);
  EXPECT_EQ(dir.Read("clip.amv"), "old") << "replaced only by a finished conversion";

  // The same file by another spelling is still the first task's output.
  const char* const kTaken = "Another task in the list already saves to this file. Please choose another one.";
  for (const std::string& output : {old, dir.Path("taken/../clip.amv")}) {
    ui.messages.clear();
    const auto second = OpenDialog();
    second->Widgets().input->setText(QString::fromStdString(video));
    second->Widgets().output->setText(QString::fromStdString(output));
    second->Widgets().accept->click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kTaken})) << output;
    EXPECT_TRUE(second->isVisible());
  }
  EXPECT_EQ(ProgramTasks(app).Count(), 1);

  // Editing the task keeps its own output without a clash.
  TaskListWidget(app)->setCurrentItem(TaskListWidget(app)->topLevelItem(0));
  ui.messages.clear();
  ui.questionAnswers = {MessageAnswer::Yes};
  const auto edit = OpenDialog(TaskEditorMode::Edit);
  edit->Widgets().accept->click();
  EXPECT_FALSE(edit->isVisible());
  EXPECT_EQ(ui.messages.size(), 1u) << "only the question";
}

TEST_F(TaskEditorWindowTest, FilesChosenBeforeOpeningShowInTheEditor) {
  const std::string a = dir.Write("a.mp4", "video");
  const std::string b = dir.Write("b.mp4", "video");
  std::string shown;
  WhenEditorOpens([&](TaskEditorDialog& dialog) {
    shown = Std(dialog.Widgets().input->text());
    dialog.Widgets().accept->click();
  });
  EXPECT_EQ(OpenTaskEditorWithFiles(app, {a, b}), 1);
  EXPECT_EQ(shown, a + " (+1 more)");
  EXPECT_EQ(ProgramTasks(app).Count(), 2);

  WhenEditorOpens([&](TaskEditorDialog& dialog) { shown = Std(dialog.Widgets().output->text()); });
  OpenTaskEditorWithFiles(app, {a});
  EXPECT_EQ(shown, dir.Path("a.amv"));
  EXPECT_EQ(ProgramTasks(app).Count(), 2) << "closed without Accept";
}

// The add mode's choice starts from the setting; proposals shown follow it,
// an output typed by hand stays, and two sources of one name are caught.
TEST_F(TaskEditorWindowTest, OutputsGoToTheChosenFolderForOneAndSeveralFiles) {
  app.outputFolder = dir.Path("out put") + "/";
  std::filesystem::create_directories(app.outputFolder);
  const std::string one = dir.Write("a/clip.mp4", "video");
  const std::string same = dir.Write("b/clip.mkv", "video");
  const std::string other = dir.Write("b/other.avi", "video");
  const auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  QComboBox* where = c.outputFolder->findChild<QComboBox*>("outputFolder");
  EXPECT_EQ(where->currentIndex(), 1);
  EXPECT_EQ(Std(where->itemText(0)), "Beside each source");
  ui.fileSets = {{one}};
  c.inputBrowse->click();
  EXPECT_EQ(Std(c.output->text()), dir.Path("out put/clip.amv"));
  where->setCurrentIndex(0);
  EXPECT_EQ(Std(c.output->text()), dir.Path("a/clip.amv"));
  where->setCurrentIndex(1);
  EXPECT_EQ(Std(c.output->text()), dir.Path("out put/clip.amv"));
  c.output->setText("/typed/mine.amv");
  where->setCurrentIndex(0);
  EXPECT_EQ(Std(c.output->text()), "/typed/mine.amv");
  where->setCurrentIndex(1);

  ui.fileSets = {{one, same, other}};
  c.inputBrowse->click();
  EXPECT_EQ(Std(c.output->text()), dir.Path("out put/clip.amv") + " (+2 more)");
  where->setCurrentIndex(0);
  EXPECT_EQ(Std(c.output->text()), dir.Path("a/clip.amv") + " (+2 more)");
  where->setCurrentIndex(1);
  c.accept->click();
  EXPECT_FALSE(dialog->isVisible());
  ASSERT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, dir.Path("out put/clip.amv"));
  EXPECT_EQ(ProgramTasks(app).At(1).OutputFile, dir.Path("out put/other.amv"));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{UiText("s179") + "\n" + dir.Path("out put/clip.amv")});
}

// A folder gone missing adds nothing and says so; Beside each source then works.
TEST_F(TaskEditorWindowTest, AMissingOutputFolderIsReportedAndNothingIsLost) {
  app.outputFolder = dir.Path("gone");
  const std::string a = dir.Write("a.mp4", "video");
  const std::string b = dir.Write("b.mp4", "video");
  const std::string refused = UiText("s187") + "\n" + dir.Path("gone") + "\n\n" + UiText("s189");
  for (const std::vector<std::string>& files : {std::vector<std::string>{a}, std::vector<std::string>{a, b}}) {
    ProgramTasks(app).Clear();
    ui.messages.clear();
    const auto dialog = OpenDialog();
    const auto& c = dialog->Widgets();
    ui.fileSets = {files};
    c.inputBrowse->click();
    c.accept->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ProgramTasks(app).Count(), 0);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{refused});
    c.outputFolder->findChild<QComboBox*>("outputFolder")->setCurrentIndex(0);
    c.accept->click();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(ProgramTasks(app).Count(), static_cast<int>(files.size()));
    EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, dir.Path("a.amv"));
  }
}

// Fit's numbers fit one input: another input shows the numbers from before
// Fit, which are the ones it gets, and the next task starts from them too.
TEST_F(TaskEditorWindowTest, FittedNumbersGiveWayToANewInputAndAreNotRemembered) {
  dir.Write("Config.ini", "[MFLPX]\r\nVolume = 8\r\nCropL = 2\r\n");
  const std::string film = dir.Write("film.mp4", "video");
  const std::string other = dir.Write("other.mp4", "video");
  auto dialog = OpenDialog();
  const auto& c = dialog->Widgets();
  ui.answers = {film, other};
  c.inputBrowse->click();
  dialog->ShowFittedBands({0, 0, 0, 0}, {15, 15, 0, 0});
  EXPECT_EQ(c.pad[0]->value(), 15);
  EXPECT_EQ(c.crop[2]->value(), 0);
  c.inputBrowse->click();
  const std::array<int, 4> crop = {c.crop[0]->value(), c.crop[1]->value(), c.crop[2]->value(), c.crop[3]->value()};
  const std::array<int, 4> pad = {c.pad[0]->value(), c.pad[1]->value(), c.pad[2]->value(), c.pad[3]->value()};
  EXPECT_EQ(crop, (std::array<int, 4>{0, 0, 2, 0}));
  EXPECT_EQ(pad, (std::array<int, 4>{0, 0, 0, 0}));
  c.accept->click();
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_EQ(ProgramTasks(app).At(0).CropLeft, 2);
  EXPECT_EQ(ProgramTasks(app).At(0).PadTop, 0);

  // Accepted with Fit's numbers, the task has them; the next one does not.
  dialog = OpenDialog();
  ui.answers = {dir.Write("third.mp4", "video")};
  dialog->Widgets().inputBrowse->click();
  dialog->ShowFittedBands({0, 0, 0, 0}, {15, 15, 0, 0});
  dialog->Widgets().accept->click();
  ASSERT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(ProgramTasks(app).At(1).PadTop, 15);
  EXPECT_EQ(OpenDialog()->Widgets().pad[0]->value(), 0);
  EXPECT_EQ(OpenDialog()->Widgets().crop[2]->value(), 2);
}

}  // namespace
