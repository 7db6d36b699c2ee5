// The editor's Sound list and From and To fields, filled by the real
// encoder's -probe from films the test makes.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/main_window.h"
#include "convert/editor_tracks.h"
#include "convert/preview_window.h"
#include "encoder/encoder_harness.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"
#include "ui_recorder.h"

namespace {

class SourceChoiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    clips_ = new ScratchDir;
    const std::string picture = "-f lavfi -i testsrc=size=64x48:rate=10:duration=3 ";
    // English first, Japanese flagged as the default; English subtitles
    // inside, and a file of them beside it, shown over the whole film.
    const std::string lines = clips_->Write("lines.srt", "1\n00:00:00,000 --> 00:00:03,000\nHELLO THERE\n");
    clips_->Write("two.en.srt", "1\n00:00:00,000 --> 00:00:03,000\nHELLO THERE\n");
    MakeClip(picture +
                 "-f lavfi -i sine=frequency=440:duration=3 -f lavfi -i sine=frequency=880:duration=3 -i " + lines +
                 " -map 0 -map 1 -map 2 -map 3 -metadata:s:a:0 language=eng -metadata:s:a:1 language=jpn "
                 "-metadata:s:s:0 language=eng -c:s srt "
                 "-metadata:s:a:1 \"title=Commentary, with comma\" -disposition:a:0 0 -disposition:a:1 default "
                 "-c:v mpeg4 -c:a aac",
             Path("two.mkv"));
    // French with the other spelling of its tag, and English; both flagged.
    MakeClip(picture +
                 "-f lavfi -i sine=frequency=440:duration=3 -f lavfi -i sine=frequency=660:duration=3 "
                 "-map 0 -map 1 -map 2 -metadata:s:a:0 language=fra -metadata:s:a:1 language=eng "
                 "-disposition:a:0 default -disposition:a:1 default -c:v mpeg4 -c:a aac",
             Path("other.mkv"));
  }
  static void TearDownTestSuite() { delete clips_; }
  static std::string Path(const std::string& name) { return clips_->Path(name); }

  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, dir.Dir());
    app.encoderPath = AMV_ENCODER_PATH;
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
  }
  void TearDown() override {
    editor.reset();
    DestroyMainWindow(app);
  }

  void Open(const std::vector<std::string>& inputs = {}) {
    const auto start = PrepareTaskEditor(app, TaskEditorMode::Add);
    ASSERT_TRUE(start);
    editor = std::make_unique<TaskEditorDialog>(app, *start, MainWindow(app), inputs);
    editor->show();
  }

  void WaitForTracks() const {
    auto* probe = editor->findChild<EditorTrackProbe*>();
    ASSERT_NE(probe, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([probe] { return probe->Idle(); }, 30000));
  }

  static QStringList Entries(const QComboBox& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i) entries << list.itemText(i);
    return entries;
  }
  QStringList SoundEntries() const { return Entries(*editor->Widgets().sound); }
  QStringList SubtitleEntries() const { return Entries(*editor->Widgets().subtitles); }

  static ScratchDir* clips_;
  AppState app;
  ScratchDir dir;
  UiRecorder ui;
  std::unique_ptr<TaskEditorDialog> editor;
};

ScratchDir* SourceChoiceTest::clips_ = nullptr;

TEST_F(SourceChoiceTest, OneFileListsItsTracksWithTheDefaultChosenAndChecksThePartAgainstItsLength) {
  Open();
  EXPECT_EQ(SoundEntries(), QStringList{"Default"}) << "nothing chosen yet";
  editor->Widgets().input->setText(QString::fromStdString(Path("two.mkv")));
  WaitForTracks();
  const QStringList expected = {QString::fromUtf8("English \u2013 AAC"),
                                QString::fromUtf8("Japanese \u2013 AAC \u2013 Commentary, with comma (default)")};
  EXPECT_EQ(SoundEntries(), expected);
  QComboBox& sound = *editor->Widgets().sound;
  EXPECT_EQ(sound.currentIndex(), 1);
  EXPECT_EQ(editor->Shown().Sound, "") << "the file's own choice puts nothing on the line";
  sound.setCurrentIndex(0);
  EXPECT_EQ(editor->Shown().Sound, "1");
  EXPECT_EQ(editor->Widgets().duration->text(), "The video lasts 0:00:03.");
  EXPECT_EQ(SubtitleEntries(), (QStringList{"None", QString::fromUtf8("English \u2013 SRT"), "two.en.srt"}));
  EXPECT_EQ(editor->Shown().Subtitles, "");
  editor->Widgets().subtitles->setCurrentIndex(2);
  EXPECT_EQ(editor->Shown().Subtitles, Path("two.en.srt"));

  editor->Widgets().output->setText(QString::fromStdString(dir.Path("two.amv")));
  editor->Widgets().from->setText("0:00:05");
  QTest::mouseClick(editor->Widgets().accept, Qt::LeftButton);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "The video lasts 0:00:03, so the part cannot start at 0:00:05.");
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
  editor->Widgets().from->setText(" 1 ");
  editor->Widgets().to->setText("0:00:02");
  QTest::mouseClick(editor->Widgets().accept, Qt::LeftButton);
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_EQ(ProgramTasks(app).At(0).Sound, "1");
  EXPECT_EQ(ProgramTasks(app).At(0).From, "1");
  EXPECT_EQ(ProgramTasks(app).At(0).To, "0:00:02");
  EXPECT_EQ(ProgramTasks(app).At(0).Subtitles, Path("two.en.srt"));
}

// The encoder takes the first flagged track by itself; the second needs its number.
TEST_F(SourceChoiceTest, OnlyTheFirstFlaggedTrackStandsForTheFilesOwnChoice) {
  Open();
  editor->Widgets().input->setText(QString::fromStdString(Path("other.mkv")));
  WaitForTracks();
  EXPECT_EQ(SoundEntries(),
            (QStringList{QString::fromUtf8("French \u2013 AAC (default)"), QString::fromUtf8("English \u2013 AAC")}));
  editor->Widgets().sound->setCurrentIndex(1);
  EXPECT_EQ(editor->Shown().Sound, "2");
}

TEST_F(SourceChoiceTest, AFileTheEncoderCannotReadLeavesTheDefaultAndSaysNothing) {
  Open();
  editor->Widgets().input->setText(QString::fromStdString(dir.Write("notes.mkv", "not a film")));
  WaitForTracks();
  EXPECT_EQ(SoundEntries(), QStringList{"Default"});
  EXPECT_EQ(SubtitleEntries(), QStringList{"None"});
  EXPECT_TRUE(editor->Widgets().duration->text().isEmpty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SourceChoiceTest, SeveralFilesChooseByLanguageFoundAcrossThem) {
  Open({Path("two.mkv"), Path("other.mkv")});
  WaitForTracks();
  EXPECT_EQ(SoundEntries(), (QStringList{"Default", "English", "Japanese", "French"}));
  EXPECT_EQ(SubtitleEntries(), (QStringList{"None", "English"})) << "a track and a file beside it, both English";
  editor->Widgets().sound->setCurrentIndex(2);
  editor->Widgets().subtitles->setCurrentIndex(1);
  QTest::mouseClick(editor->Widgets().accept, Qt::LeftButton);
  ASSERT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(ProgramTasks(app).At(0).Sound, "jpn");
  EXPECT_EQ(ProgramTasks(app).At(1).Sound, "jpn") << "a file without Japanese gets its default from the encoder";
  EXPECT_EQ(ProgramTasks(app).At(1).Subtitles, "eng");
}

// The preview burns in the subtitles chosen, as the conversion does.
TEST_F(SourceChoiceTest, ThePreviewShowsTheChosenSubtitles) {
  Open();
  editor->Widgets().input->setText(QString::fromStdString(Path("two.mkv")));
  WaitForTracks();
  QTest::mouseClick(editor->findChild<QPushButton*>("previewButton"), Qt::LeftButton);
  auto* preview = editor->findChild<PreviewWindow*>();
  ASSERT_NE(preview, nullptr);
  const auto picture = [preview] {
    EXPECT_TRUE(QTest::qWaitFor([preview] { return preview->Idle(); }, 30000));
    return preview->findChild<QLabel*>("previewPicture")->pixmap().toImage();
  };
  picture();
  preview->findChild<QSlider*>("previewMoment")->setValue(10);  // one second in
  const QImage plain = picture();
  editor->Widgets().subtitles->setCurrentIndex(1);
  const QImage burned = picture();
  ASSERT_FALSE(plain.isNull());
  ASSERT_EQ(plain.size(), burned.size());
  EXPECT_NE(plain, burned);
}

}  // namespace
