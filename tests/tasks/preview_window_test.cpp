// The editor's Preview and Fit buttons and the preview window, through the
// real widgets and the real encoder.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/main_window.h"
#include "encoder/encoder_harness.h"
#include "convert/preview_window.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"
#include "ui_recorder.h"

namespace {

class PreviewWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    clips_ = new ScratchDir;
    // A 16:9 film of a white disc on black, a third of the height across.
    MakeClip("-f lavfi -i color=black:size=640x360:rate=10 -t 2 -vf "
             "geq=lum='if(lt(hypot(X-W/2\\,Y-H/2)\\,H/3)\\,235\\,16)':cb=128:cr=128 -c:v ffv1",
             Film());
  }
  static void TearDownTestSuite() { delete clips_; }
  static std::string Film() { return clips_->Path("film.mkv"); }

  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, dir.Dir());
    app.encoderPath = AMV_ENCODER_PATH;
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
    const auto start = PrepareTaskEditor(app, TaskEditorMode::Add);
    ASSERT_TRUE(start);
    editor = std::make_unique<TaskEditorDialog>(app, *start, MainWindow(app));
    editor->show();
    editor->Widgets().resolution->setCurrentIndex(3);  // 160x120
  }
  void TearDown() override {
    editor.reset();
    DestroyMainWindow(app);
  }

  QPushButton* Button(const char* name) const { return editor->findChild<QPushButton*>(name); }
  PreviewWindow* Preview() const { return editor->findChild<PreviewWindow*>(); }

  // Waits for the picture of the options now on the screen.
  QImage WaitForPicture() const {
    PreviewWindow* window = Preview();
    EXPECT_NE(window, nullptr);
    if (!window) return {};
    EXPECT_TRUE(QTest::qWaitFor([window] { return window->Idle(); }, 30000));
    return window->findChild<QLabel*>("previewPicture")->pixmap().toImage();
  }

  static ScratchDir* clips_;
  AppState app;
  ScratchDir dir;
  UiRecorder ui;
  std::unique_ptr<TaskEditorDialog> editor;
};

ScratchDir* PreviewWindowTest::clips_ = nullptr;

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 40; }
bool Bright(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > 200; }

QPointF BrightCentre(const QImage& image) {
  double x = 0, y = 0, count = 0;
  for (int row = 0; row < image.height(); ++row)
    for (int column = 0; column < image.width(); ++column)
      if (Bright(image, column, row)) x += column, y += row, ++count;
  return count ? QPointF(x / count, y / count) : QPointF(-1, -1);
}

TEST_F(PreviewWindowTest, ButtonsSitLeftOfCancelWithoutTouchingTheEditorsControls) {
  ASSERT_NE(Button("previewButton"), nullptr);
  ASSERT_NE(Button("fitButton"), nullptr);
  EXPECT_EQ(Button("previewButton")->text(), "Preview");
  EXPECT_EQ(Button("fitButton")->text(), "Fit");
  const QRect cancel = editor->Widgets().cancel->geometry();
  EXPECT_EQ(cancel, QRect(220, 370 + 36, 85, 25)) << "below add mode's output folder row";
  for (const char* name : {"previewButton", "fitButton"}) {
    const QRect button = Button(name)->geometry();
    EXPECT_FALSE(button.intersects(cancel)) << name;
    EXPECT_FALSE(button.intersects(editor->Widgets().tabs->geometry())) << name;
    EXPECT_TRUE(editor->rect().contains(button)) << name;
  }
  EXPECT_EQ(Preview(), nullptr) << "no window before it is asked for";
}

TEST_F(PreviewWindowTest, ShowsThePictureBesideTheEditorAtTwiceItsSizeAndFollowsChanges) {
  editor->Widgets().input->setText(QString::fromStdString(Film()));
  QTest::mouseClick(Button("previewButton"), Qt::LeftButton);
  PreviewWindow* window = Preview();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  // Beside the editor where the screen has room, and on the screen in any case.
  const QRect screen = editor->screen()->availableGeometry();
  if (screen.width() >= editor->frameGeometry().width() + window->frameGeometry().width() + 16)
    EXPECT_FALSE(window->frameGeometry().intersects(editor->frameGeometry()));
  else
    EXPECT_TRUE(screen.contains(window->frameGeometry())) << "the screen is too narrow for both";
  QImage picture = WaitForPicture();
  ASSERT_EQ(picture.size(), QSize(320, 240)) << window->findChild<QLabel*>("previewMessage")->text().toStdString();
  // Crisp: every player pixel is a block of two by two.
  for (int y = 0; y < 240; y += 2)
    for (int x = 0; x < 320; x += 2)
      ASSERT_EQ(picture.pixel(x, y), picture.pixel(x + 1, y + 1)) << x << "," << y;
  // Squeezed onto 4:3 without bands, the disc reaches the middle of the top edge's third.
  EXPECT_TRUE(Bright(picture, 160, 120));
  EXPECT_TRUE(Dark(picture, 160, 10));
  EXPECT_EQ(window->findChild<QSlider*>("previewMoment")->maximum(), 19) << "two seconds in tenths";
  // A part: the slider spans it; a part still being typed shows the whole film.
  editor->Widgets().from->setText("0.5");
  editor->Widgets().to->setText("1.5");
  WaitForPicture();
  EXPECT_EQ(window->findChild<QSlider*>("previewMoment")->maximum(), 9);
  editor->Widgets().to->setText("0:");
  WaitForPicture();
  EXPECT_EQ(window->findChild<QSlider*>("previewMoment")->maximum(), 19);
  editor->Widgets().to->clear();

  editor->Widgets().resolution->setCurrentIndex(9);  // 208x176
  picture = WaitForPicture();
  EXPECT_EQ(picture.size(), QSize(416, 352));

  // A 25-pixel pad on the left: a black band 50 pixels wide, the disc's
  // centre in the middle of the 183 pixels that remain.
  editor->Widgets().pad[2]->setValue(25);
  picture = WaitForPicture();
  EXPECT_TRUE(Dark(picture, 40, 176));
  EXPECT_NEAR(BrightCentre(picture).x(), 2 * (25 + 183 / 2.0), 4);
  EXPECT_NEAR(BrightCentre(picture).y(), 176, 4);

  // Cropping 25 of the source's 360 rows at the top moves the disc up to
  // 155 / 335 of the height.
  editor->Widgets().crop[0]->setValue(25);
  picture = WaitForPicture();
  EXPECT_NEAR(BrightCentre(picture).y(), 352 * 155.0 / 335, 4);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PreviewWindowTest, FitLetterboxesAFilmAndThePreviewFollows) {
  editor->Widgets().input->setText(QString::fromStdString(Film()));
  QTest::mouseClick(Button("fitButton"), Qt::LeftButton);
  QImage picture = WaitForPicture();
  const auto& c = editor->Widgets();
  EXPECT_EQ(c.pad[0]->value(), 15);
  EXPECT_EQ(c.pad[1]->value(), 15);
  EXPECT_EQ(c.pad[2]->value() + c.pad[3]->value() + c.crop[0]->value() + c.crop[2]->value(), 0);
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewMessage")->text(), "Fit keeps the source's proportions.");
  ASSERT_EQ(picture.size(), QSize(320, 240));
  // Black bands of 15 player pixels above and below; the disc is round.
  for (int x : {10, 160, 310}) {
    EXPECT_TRUE(Dark(picture, x, 20)) << x;
    EXPECT_TRUE(Dark(picture, x, 220)) << x;
  }
  int top = 240, bottom = 0, left = 320, right = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (Bright(picture, x, y)) {
        top = std::min(top, y), bottom = std::max(bottom, y);
        left = std::min(left, x), right = std::max(right, x);
      }
  EXPECT_NEAR(double(right - left) / (bottom - top), 1.0, 0.06);
}

TEST_F(PreviewWindowTest, FitUsesTheInputOnTheScreenNotThePreviousOne) {
  const std::string television = clips_->Path("television.mkv");
  MakeClip("-f lavfi -i testsrc=size=320x240:rate=10 -t 1 -c:v ffv1", television);
  editor->Widgets().input->setText(QString::fromStdString(Film()));
  QTest::mouseClick(Button("previewButton"), Qt::LeftButton);
  // The film's picture is still being made when the input changes and Fit is pressed.
  editor->Widgets().input->setText(QString::fromStdString(television));
  QTest::mouseClick(Button("fitButton"), Qt::LeftButton);
  WaitForPicture();
  for (QSpinBox* box : editor->Widgets().pad) EXPECT_EQ(box->value(), 0) << "4:3 fits 160x120 as it is";
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewMessage")->text(), "Fit keeps the source's proportions.");
}

TEST_F(PreviewWindowTest, ProblemsShowAsTextInTheWindowNeverAsABox) {
  QTest::mouseClick(Button("previewButton"), Qt::LeftButton);
  WaitForPicture();
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewMessage")->text(), "Choose an input file to see its preview.");
  editor->Widgets().input->setText(QString::fromStdString(clips_->Path("gone.mkv")));
  WaitForPicture();
  const QString message = Preview()->findChild<QLabel*>("previewMessage")->text();
  EXPECT_TRUE(message.contains("No such file")) << message.toStdString();
  EXPECT_TRUE(Preview()->findChild<QLabel*>("previewPicture")->pixmap().isNull());
  // Fit without a readable source changes nothing.
  QTest::mouseClick(Button("fitButton"), Qt::LeftButton);
  WaitForPicture();
  for (QSpinBox* box : editor->Widgets().pad) EXPECT_EQ(box->value(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PreviewWindowTest, ClosesWithTheEditor) {
  editor->Widgets().input->setText(QString::fromStdString(Film()));
  QTest::mouseClick(Button("previewButton"), Qt::LeftButton);
  QPointer<PreviewWindow> window = Preview();
  ASSERT_TRUE(window);
  WaitForPicture();
  QTest::mouseClick(editor->Widgets().cancel, Qt::LeftButton);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_FALSE(window->isVisible());
  editor.reset();
  EXPECT_TRUE(window.isNull());
}

// Width over height of the bright shape's bounding box.
double BrightProportion(const QImage& image) {
  int top = image.height(), bottom = 0, left = image.width(), right = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Bright(image, x, y)) top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x),
                               right = std::max(right, x);
  return bottom > top ? double(right - left) / (bottom - top) : 0;
}

// No numbers fit several files: Fit ticks Keep proportions, and the preview
// steps through the files, each with its own bars.
TEST_F(PreviewWindowTest, WithSeveralFilesFitKeepsEachFilesProportionsAndThePreviewStepsThroughThem) {
  const std::string television = clips_->Path("television disc.mkv");
  MakeClip("-f lavfi -i color=black:size=320x240:rate=10 -t 0.5 -vf "
           "geq=lum='if(lt(hypot(X-W/2\\,Y-H/2)\\,H/3)\\,235\\,16)':cb=128:cr=128 -c:v ffv1",
           television);
  const auto& c = editor->Widgets();
  ui.fileSets = {{Film(), television}};
  c.inputBrowse->click();
  QTest::mouseClick(Button("fitButton"), Qt::LeftButton);
  EXPECT_TRUE(c.keepProportions->isChecked());
  for (std::size_t i = 0; i < c.pad.size(); ++i) {
    EXPECT_EQ(c.pad[i]->value(), 0);
    EXPECT_EQ(c.crop[i]->value(), 0);
  }
  QImage picture = WaitForPicture();
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewFile")->text(), "1 of 2  film.mkv");
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewMessage")->text(), QString::fromStdString(UiText("s163")));
  EXPECT_TRUE(Dark(picture, 160, 20)) << "the film is letterboxed";
  EXPECT_NEAR(BrightProportion(picture), 1, 0.06);

  Preview()->findChild<QPushButton*>("previewNext")->click();
  picture = WaitForPicture();
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewFile")->text(), "2 of 2  television disc.mkv");
  EXPECT_NEAR(BrightProportion(picture), 1, 0.06);
  Preview()->findChild<QPushButton*>("previewNext")->click();
  EXPECT_EQ(Preview()->findChild<QLabel*>("previewFile")->text(), "2 of 2  television disc.mkv") << "the last file stays";

  c.keepProportions->setChecked(false);
  Preview()->findChild<QPushButton*>("previewPrevious")->click();
  picture = WaitForPicture();
  EXPECT_LT(BrightProportion(picture), 0.85) << "squeezed without the bars";
}

}  // namespace
