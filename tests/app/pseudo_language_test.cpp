// Every text the program shows comes from the string table: under a language
// file that wraps each text in markers, no letter may show outside them, but
// in the texts that stay fixed in every language, named below.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/CommandIds.h"
#include "Inc/Lang.h"
#include "Inc/LangDefaults.h"
#include "Inc/UiSeam.h"
#include "app/about_window.h"
#include "app/activity_log_view.h"
#include "app/commands.h"
#include "app/log_list.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "convert/preview_window.h"
#include "encoder/encoder_harness.h"
#include "scratch_dir.h"
#include "settings/config.h"
#include "settings/settings_window.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_editor_window.h"
#include "tasks/task_list.h"

namespace {

const QString kOpen = QStringLiteral("\u27E6");
const QString kClose = QStringLiteral("\u27E7");

// The texts that stay the same in every language, where they show. Fixed
// too but not opened here: the splash window's title, the error of a missing
// languages folder and the crash message.
struct FixedText {
  const char* where;  // pattern of the place; empty: anywhere
  const char* text;   // pattern taken out of the text
};
const FixedText kFixedTexts[] = {
    {"", "Marrowind Flickpress 0\\.8"},             // the main window's title and the first log line
    {"menu", "\\t(Ctrl\\+[AR]|Alt\\+F4|F1)$"},      // shortcut hints, in Qt's own words
    {"", "\\b\\d+ x \\d+\\b"},                      // frame sizes
    {"", "\\b\\d+ FPS\\b"},                          // frame rates
    {"task list column 3", "^(High|Medium|Low)$"},  // the list's quality words
    {"task list column 4", "^Waiting$"},            // a row just added
    {"task list column 4", "^\\d+\\.\\d% ready$"},  // a conversion's progress
    {"log", "^FFMpeg -> .*"},                       // the encoder's argument line and its own words
    {"log", "^\\* FFMpeg\\(R\\) \\*$"},
    {"^(label (product|notice|homepageLink|encoderLink|sponsorLink)|text credits)$", ".*"},  // About
    {"language list", "^English$"},
    {"^label previewFile$", "  .*$"},  // the name of the file the preview shows, after its number
    {"file dialog", "Text \\(\\*\\.txt\\)|AMV \\(\\*\\.amv\\)|All Files \\(\\*\\)"},
    {"file dialog", " \\(avi,flv[a-z0-9,]*\\) \\(.*\\)"},
    {"message", "^Please confirm \\| Are you sure you want to quit Marrowind Flickpress\\?$"},  // the close box
    {"message", "^ \\| Please select a language from the list\\.$"},
};

// The program directory holds a language file that wraps every text of the
// table in the markers, and the real encoder.
class PseudoLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string texts = "[MFLPXL]\nName = " + kOpen.toStdString() + "Pseudo" + kClose.toStdString() + "\n[Data]\n";
    for (const StringPair* pair = kBuiltInStrings + 1; std::string(pair->first) != "_END_"; ++pair)
      texts += std::string(pair->first) + " = " + kOpen.toStdString() + pair->second + kClose.toStdString() + "\n";
    language_ = program_.Write("Lang/pseudo.ini", texts);
    program_.Write("Core/ffmpeg", ReadWholeFile(AMV_ENCODER_PATH));
    chmod(program_.Path("Core/ffmpeg").c_str(), 0755);
    LoadStringTable(language_);
    SetProgramDirectory(app, program_.Dir());
    app.languageSetting = language_;
    app.LogActions = 1;
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      Add("message", request.title + " | " + request.text);
      return request.buttons == MessageButtons::YesNo ? answer_ : MessageAnswer::Ok;
    };
    hooks.askFileName = [this](const FileDialogRequest& request) {
      Add("file dialog", request.title + " | " + request.filter);
      return std::string();
    };
    hooks.askFileNames = [this](const FileDialogRequest& request) {
      Add("file dialog", request.title + " | " + request.filter);
      return std::vector<std::string>{};
    };
    hooks.setStatusText = [this](int, const std::string& text) { Add("status", text); };
    InstallUiHooks(hooks);
  }
  void TearDown() override {
    InstallUiHooks({});
    DestroyMainWindow(app);
    LoadStringTable("");
  }

  void BuildWindow() {
    ASSERT_TRUE(BuildMainWindow(app));
    AttachMainWindowLog(app);
    AttachTaskListWidget(app);
    ProgramTasks(app).Clear();
    ClearLog(app);
  }

  // Rich text (a tool tip may be) counts by the words it shows.
  void Add(const QString& where, const QString& text) {
    if (text.isEmpty()) return;
    QTextDocument shown;
    shown.setHtml(text);
    seen_.push_back({where, Qt::mightBeRichText(text) ? shown.toPlainText() : text});
  }
  void Add(const QString& where, const std::string& text) { Add(where, QString::fromStdString(text)); }

  // Every text a window and its controls show.
  void Read(QWidget* window) {
    if (!window) return;
    Add("title", window->windowTitle());
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets << window;
    for (QWidget* widget : widgets) {
      const QString name = widget->objectName();
      Add("tool tip", widget->toolTip());
      if (auto* label = qobject_cast<QLabel*>(widget)) Add("label " + name, label->text());
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) Add("button", button->text());
      if (auto* frame = qobject_cast<QGroupBox*>(widget)) Add("frame", frame->title());
      if (auto* line = qobject_cast<QLineEdit*>(widget)) Add("field", line->text());
      if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) Add("text " + name, text->toPlainText());
      if (auto* tabs = qobject_cast<QTabWidget*>(widget))
        for (int i = 0; i < tabs->count(); ++i) Add("tab", tabs->tabText(i));
      if (auto* box = qobject_cast<QComboBox*>(widget))
        for (int i = 0; i < box->count(); ++i) Add("choice", box->itemText(i));
      if (auto* list = qobject_cast<QListWidget*>(widget))
        for (int i = 0; i < list->count(); ++i) Add("language list", list->item(i)->text());
      if (widget == LogListWidget(app))
        for (int i = 0; i < LogListWidget(app)->LineCount(); ++i)
          Add("log", LogListWidget(app)->model()->index(i, 0).data().toString());
      if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        for (int c = 0; c < tree->columnCount(); ++c) Add("header", tree->headerItem()->text(c));
        for (int r = 0; r < tree->topLevelItemCount(); ++r)
          for (int c = 0; c < tree->columnCount(); ++c) {
            const QString where = QStringLiteral("task list column %1").arg(c);
            Add(where, tree->topLevelItem(r)->text(c));
            Add(where, tree->topLevelItem(r)->toolTip(c));
          }
      }
      for (QAction* action : widget->actions()) {
        Add("menu", action->text());
        if (action->menu()) Read(action->menu());
      }
    }
  }

  // What was seen with a letter outside the markers, less the fixed texts
  // and the files the test named.
  std::vector<std::string> Untranslated() const {
    std::vector<std::string> paths = paths_;
    std::sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    std::vector<std::string> found;
    for (const auto& [where, text] : seen_) {
      QString rest = text;
      rest.remove(QRegularExpression(kOpen + "[^" + kClose + "]*" + kClose));
      for (const std::string& path : paths) rest.remove(QString::fromStdString(path));
      for (const FixedText& fixed : kFixedTexts)
        if (QRegularExpression(fixed.where).match(where).hasMatch()) rest.remove(QRegularExpression(fixed.text));
      for (const QChar c : rest)
        if (c.isLetter()) {
          found.push_back((where + ": " + text).toStdString());
          break;
        }
    }
    return found;
  }

  // Runs `open`, which shows a modal window, and hands the window to `act`
  // once it is up; act must close it.
  void WhileModal(const std::function<void()>& open, const std::function<void(QWidget&)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
      QWidget* window = QApplication::activeModalWidget();
      ASSERT_NE(window, nullptr);
      acted = true;
      act(*window);
    });
    open();
    EXPECT_TRUE(acted);
  }

  std::string Clip(const std::string& name) {
    const std::string path = program_.Path(name);
    MakeClip("-f lavfi -i testsrc2=size=320x240:rate=10 -t 1 -c:v ffv1", path);
    paths_.push_back(path);
    return path;
  }

  AppState app;
  ScratchDir program_;
  std::string language_;
  MessageAnswer answer_ = MessageAnswer::No;
  std::vector<std::pair<QString, QString>> seen_;
  std::vector<std::string> paths_{program_.Dir()};
};

TEST_F(PseudoLanguage, StartUpMainWindowAndItsBoxes) {
  ScratchDir data;
  paths_.push_back(data.Dir());
  data.Write("Config.ini", "[SET]\nLanguage = " + language_ + "\nLogActions = 1\n");
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (!MainWindow(app) || !MainWindow(app)->isVisible()) return;
    watcher.stop();
    Read(MainWindow(app));
    for (const int command : {kMenuEditTask, kMenuMoveUp, kMenuMoveDown, kMenuRemoveTask, kButtonStart, kMenuSaveLog,
                              kMenuClearLog, kMenuSaveLog})
      DispatchCommand(app, command);
    ProgramTasks(app).Append(Task{});
    Read(MainWindow(app));
    MainWindow(app)->close();
    answer_ = MessageAnswer::Yes;
    DispatchCommand(app, kButtonExit);
  });
  watcher.start(2);
  StartupOptions options;
  options.splashWait = false;
  options.dataDirectory = data.Dir();
  EXPECT_EQ(RunProgram(app, program_.Dir(), options), 0);
  EXPECT_GE(seen_.size(), 60u);
  EXPECT_EQ(Untranslated(), std::vector<std::string>{});
}

TEST_F(PseudoLanguage, EditorInBothModesAndThePreview) {
  BuildWindow();
  const std::string clip = Clip("clip.mkv");
  const std::string other = Clip("other.mkv");
  paths_.insert(paths_.end(), {program_.Path("clip.amv"), program_.Path("missing.avi"), program_.Path("notes.avi")});
  WhileModal(
      [&] {
        OpenTaskEditorWithFiles(app, {clip, other});
      },
      [&](QWidget& window) {
        auto* editor = qobject_cast<TaskEditorDialog*>(&window);
        ASSERT_NE(editor, nullptr);
        editor->findChild<QPushButton*>("fitButton")->click();
        auto* preview = editor->findChild<PreviewWindow*>();
        ASSERT_NE(preview, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([preview] { return preview->Idle(); }, 30000));
        Read(editor);
        Read(preview);
        // A file that is missing, and one the encoder cannot read.
        for (const std::string& input : {program_.Path("missing.avi"), program_.Write("notes.avi", "notes")}) {
          editor->Widgets().input->setText(QString::fromStdString(input));
          EXPECT_TRUE(QTest::qWaitFor([preview] { return preview->Idle(); }, 30000));
          Add("preview", preview->findChild<QLabel*>("previewMessage")->text());
        }
        editor->Widgets().input->clear();
        EXPECT_TRUE(QTest::qWaitFor([preview] { return preview->Idle(); }, 30000));
        Add("preview", preview->findChild<QLabel*>("previewMessage")->text());
        editor->Widgets().inputBrowse->click();
        editor->Widgets().accept->click();  // no input: the editor says so and stays
        editor->Widgets().cancel->click();
      });
  ProgramTasks(app).Append(Task{clip, program_.Path("clip.amv")});
  TaskListWidget(app)->setCurrentItem(TaskListWidget(app)->topLevelItem(0));
  WhileModal([this] { OpenTaskEditor(app, TaskEditorMode::Edit); },
             [&](QWidget& window) {
               Read(&window);
               qobject_cast<TaskEditorDialog*>(&window)->Widgets().accept->click();
             });
  Read(MainWindow(app));
  EXPECT_GE(seen_.size(), 40u);
  EXPECT_EQ(Untranslated(), std::vector<std::string>{});
}

TEST_F(PseudoLanguage, SettingsAndAbout) {
  BuildWindow();
  ASSERT_TRUE(DiscoverLanguages(app));
  WhileModal([this] { ShowSettingsWindow(app); }, [&](QWidget& window) {
    Read(&window);
    window.findChild<QListWidget*>("languageList")->clearSelection();
    window.findChild<QPushButton*>("accept")->click();  // no language chosen: a fixed question
    window.findChild<QPushButton*>("cancel")->click();
  });
  WhileModal(AboutWindow, [&](QWidget& window) {
    Read(&window);
    qobject_cast<QDialog*>(&window)->accept();
  });
  EXPECT_GE(seen_.size(), 10u);
  EXPECT_EQ(Untranslated(), std::vector<std::string>{});
}

// Two batches: one ends with an error, one the user stops while its title
// shows how far it is.
TEST_F(PseudoLanguage, TheBoxesRowsLogAndTitleOfABatch) {
  BuildWindow();
  program_.Write("Core/ffmpeg", R"(#!/bin/sh
for out; do :; done
printf 'partial' > "$out"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
printf 'frame=   10 fps=  0 q=3.0 size=       4kB time=2.70 bitrate=   6.5kbits/s\n' >&2
case "$out" in *stop*) exec sleep 30;; *bad*) exit 1;; esac
)");
  ProgramTasks(app).Append(Task{"good.avi", program_.Path("good.amv")});
  ProgramTasks(app).Append(Task{"bad.avi", program_.Path("bad.amv")});
  for (const char* name : {"good", "bad", "stop"})
    paths_.insert(paths_.end(), {name + std::string(".avi"), program_.Path(name + std::string(".amv"))});
  DispatchCommand(app, kButtonStart);
  Read(MainWindow(app));

  ProgramTasks(app).Clear();
  ProgramTasks(app).Append(Task{"stop.avi", program_.Path("stop.amv")});
  answer_ = MessageAnswer::Yes;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (!TaskListWidget(app)->topLevelItem(0)->text(4).contains("27")) return;
    watcher.stop();
    Read(MainWindow(app));
    DispatchCommand(app, kButtonStop);
  });
  watcher.start(10);
  DispatchCommand(app, kButtonStart);
  Read(MainWindow(app));
  EXPECT_GE(seen_.size(), 60u);
  EXPECT_EQ(Untranslated(), std::vector<std::string>{});
}

}  // namespace
