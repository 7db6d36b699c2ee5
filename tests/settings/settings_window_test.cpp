#include "settings/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "app/main_window.h"
#include "app/qt_ui_hooks.h"
#include "scratch_dir.h"
#include "settings/config.h"
#include "settings/output_folder_choice.h"

namespace {

struct Seen {
  bool ownerDisabled = false;
  bool enabled = false;
  QString title;
  QSize clientSize;
  QPoint position;
  Qt::WindowFlags flags;
  QStringList entries;
  int selectedRow = -1;
  bool checked = false;
};

class SettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, dir.Dir());
    app.languages = {{"Deutsch", dir.Path("Lang/de.ini")}, {"ENGLISH", dir.Path("Lang/en.ini")}};
    app.currentLanguageName = "English";
    app.languageSetting.clear();
    app.outputFolder.clear();
    app.LogActions = 1;
    app.conversionsAtOnce = 1;
    config = dir.Write("Config.ini", "[SET]\r\nLanguage = \r\nLogActions = 1\r\n");
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      messages.push_back(request);
      return MessageAnswer::Ok;
    };
    InstallUiHooks(hooks);
  }
  void TearDown() override {
    InstallUiHooks({});
    DestroyMainWindow(app);
  }

  static QDialog* OpenDialog() { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); }
  template <typename T>
  static T* Child(QDialog* dialog, const char* name) {
    return dialog->findChild<T*>(name);
  }
  static void Click(QDialog* dialog, const char* button) { Child<QPushButton>(dialog, button)->click(); }

  // Opens the window, lets drive act on it once it is shown, and records what it showed.
  Seen Run(const std::function<void(QDialog*)>& drive) {
    Seen seen;
    QTimer::singleShot(0, [&] {
      QDialog* dialog = OpenDialog();
      ASSERT_NE(dialog, nullptr);
      seen.ownerDisabled = MainWindow(app) != nullptr && !MainWindow(app)->isEnabled();
      seen.title = dialog->windowTitle();
      seen.clientSize = dialog->geometry().size();
      seen.position = dialog->pos();
      seen.enabled = dialog->isEnabled();
      seen.flags = dialog->windowFlags();
      auto* list = Child<QListWidget>(dialog, "languageList");
      for (int i = 0; i < list->count(); ++i) seen.entries << list->item(i)->text();
      const auto selected = list->selectedItems();
      seen.selectedRow = selected.isEmpty() ? -1 : list->row(selected.front());
      seen.checked = Child<QCheckBox>(dialog, "logActions")->isChecked();
      drive(dialog);
    });
    // A driver that fails must not leave the test waiting on an open window.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      if (QDialog* dialog = OpenDialog()) dialog->reject();
    });
    guard.start(5000);
    ShowSettingsWindow(app);
    return seen;
  }

  static void Select(QDialog* dialog, int row) { Child<QListWidget>(dialog, "languageList")->setCurrentRow(row); }
  static void Check(QDialog* dialog, bool checked) { Child<QCheckBox>(dialog, "logActions")->setChecked(checked); }

  AppState app;
  ScratchDir dir;
  std::string config;
  std::vector<MessageRequest> messages;
};

TEST_F(SettingsWindowTest, ShowsItsControlsAndDisablesTheMainWindowWhileOpen) {
  ASSERT_TRUE(BuildMainWindow(app));
  MainWindow(app)->setGeometry(200, 150, 600, 450);
  std::vector<std::pair<QString, QRect>> controls;
  const Seen seen = Run([&](QDialog* dialog) {
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (auto* label = qobject_cast<QLabel*>(child)) {
        controls.push_back({label->text(), child->geometry()});
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << "a language text, shown as written";
      }
      if (auto* button = qobject_cast<QAbstractButton*>(child)) controls.push_back({button->text(), child->geometry()});
      if (qobject_cast<QListWidget*>(child)) controls.push_back({"list", child->geometry()});
      if (qobject_cast<OutputFolderChoice*>(child)) controls.push_back({"folder", child->geometry()});
    }
    Click(dialog, "cancel");
  });
  EXPECT_TRUE(seen.ownerDisabled);
  EXPECT_TRUE(MainWindow(app)->isEnabled());
  EXPECT_EQ(seen.title, "MFLPX Settings");
  EXPECT_EQ(seen.clientSize, QSize(315, 315));
  EXPECT_TRUE(seen.enabled);
  EXPECT_EQ(seen.position, MainWindow(app)->frameGeometry().center() - QPoint(315 / 2, 315 / 2));
  EXPECT_FALSE(seen.flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(seen.flags & Qt::WindowTitleHint);
  EXPECT_EQ(seen.entries, (QStringList{"English", "Deutsch", "ENGLISH"}));
  EXPECT_EQ(seen.selectedRow, 0);
  EXPECT_TRUE(seen.checked);
  const std::vector<std::pair<QString, QRect>> expected = {
      {"Interface language (requires program restart)", QRect(5, 10, 305, 15)},
      {"list", QRect(5, 35, 305, 120)},
      {"Log actions", QRect(5, 165, 275, 15)},
      {"Conversions at the same time:", QRect(5, 188, 230, 20)},
      {"Save converted files in:", QRect(5, 220, 305, 15)},
      {"folder", QRect(5, 240, 305, 25)},
      {"Cancel", QRect(125, 280, 90, 30)},
      {"Accept", QRect(220, 280, 90, 30)},
  };
  EXPECT_EQ(controls, expected);
}

TEST_F(SettingsWindowTest, StaysOnScreenWhenTheMainWindowIsNearTheOrigin) {
  ASSERT_TRUE(BuildMainWindow(app));
  MainWindow(app)->setGeometry(0, 0, 200, 100);
  ASSERT_LT(MainWindow(app)->frameGeometry().x() + (MainWindow(app)->frameGeometry().width() - 315) / 2, 0);
  const Seen seen = Run([](QDialog* dialog) { Click(dialog, "cancel"); });
  EXPECT_EQ(seen.position, QPoint(0, 0));
}

TEST_F(SettingsWindowTest, AcceptWithoutSelectionAsksAndStaysOpen) {
  app.currentLanguageName = "";
  bool stillOpen = false;
  const Seen seen = Run([&](QDialog* dialog) {
    Click(dialog, "accept");
    stillOpen = dialog->isVisible();
    Click(dialog, "cancel");
  });
  EXPECT_EQ(seen.selectedRow, -1);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "");
  EXPECT_EQ(messages[0].text, "Please select a language from the list.");
  EXPECT_EQ(messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = \r\nLogActions = 1\r\n");
}

// The real message box: its title bar must not fall back to the program's name.
TEST_F(SettingsWindowTest, TheLanguageQuestionHasABlankTitle) {
  app.currentLanguageName = "";
  InstallQtUiHooks(app);
  QString title;
  QString text;
  Run([&](QDialog* dialog) {
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      title = box->windowTitle();
      text = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    Click(dialog, "accept");
    Click(dialog, "cancel");
  });
  EXPECT_EQ(text, "Please select a language from the list.");
  EXPECT_FALSE(title.isEmpty());
  EXPECT_TRUE(title.trimmed().isEmpty()) << title.toStdString();
}

TEST_F(SettingsWindowTest, CancelEscapeAndCloseRequestChangeNothing) {
  const std::vector<std::function<void(QDialog*)>> leaves = {
      [](QDialog* dialog) { Click(dialog, "cancel"); },
      [](QDialog* dialog) { dialog->reject(); },
      [](QDialog* dialog) { dialog->close(); },
  };
  for (const auto& leave : leaves) {
    Run([&](QDialog* dialog) {
      Select(dialog, 1);
      Check(dialog, false);
      leave(dialog);
    });
    EXPECT_EQ(app.LogActions, 1);
    EXPECT_EQ(app.languageSetting, "");
    EXPECT_EQ(app.currentLanguageName, "English");
    EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = \r\nLogActions = 1\r\n");
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(SettingsWindowTest, AcceptSavesTheChoiceAndReopeningPreselectsIt) {
  app.LogActions = 2;
  const Seen first = Run([](QDialog* dialog) {
    Select(dialog, 1);
    Click(dialog, "accept");
  });
  EXPECT_TRUE(first.checked);
  EXPECT_EQ(app.LogActions, 1);
  EXPECT_EQ(app.languageSetting, dir.Path("Lang/de.ini"));
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = " + dir.Path("Lang/de.ini") + "\r\nLogActions = 1\r\n");
  // The texts stay as they were until the next start.
  EXPECT_EQ(UiText("s49"), "MFLPX Settings");

  const Seen second = Run([](QDialog* dialog) {
    Select(dialog, 2);
    Check(dialog, false);
    Click(dialog, "accept");
  });
  EXPECT_EQ(second.selectedRow, 1);
  EXPECT_EQ(app.LogActions, 0);
  EXPECT_EQ(app.languageSetting, "");
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = \r\nLogActions = 0\r\n");

  const Seen third = Run([](QDialog* dialog) { Click(dialog, "cancel"); });
  EXPECT_EQ(third.selectedRow, 0);
  EXPECT_FALSE(third.checked);
}

TEST_F(SettingsWindowTest, ConversionsAtTheSameTimeGoUpToTheCoresAndAreSavedOnAccept) {
  int shown = 0;
  int most = 0;
  Run([&](QDialog* dialog) {
    auto* count = Child<QSpinBox>(dialog, "conversionsAtOnce");
    shown = count->value();
    most = count->maximum();
    count->setValue(count->maximum());
    Click(dialog, "accept");
  });
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(most, ConversionsAtOnceLimit());
  EXPECT_EQ(app.conversionsAtOnce, most);
  const std::string saved = most == 1 ? "" : "Parallel = " + std::to_string(most) + "\r\n";
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = \r\nLogActions = 1\r\n" + saved);
}

// The folder is chosen with Browse, saved, shown again on reopening, and
// "Beside each source" afterwards writes the key empty rather than leaving the old folder.
TEST_F(SettingsWindowTest, OutputFolderIsChosenSavedAndShownAgain) {
  const std::string folder = dir.Path("out \"d\"");
  UiHooks hooks;
  std::vector<FileDialogRequest> asked;
  hooks.askFileName = [&](const FileDialogRequest& request) {
    asked.push_back(request);
    return folder;
  };
  InstallUiHooks(hooks);
  const auto chooser = [](QDialog* dialog) { return Child<QComboBox>(dialog, "outputFolder"); };
  QStringList shownFirst;
  Run([&](QDialog* dialog) {
    shownFirst << chooser(dialog)->currentText();
    Click(dialog, "outputFolderBrowse");
    shownFirst << chooser(dialog)->currentText();
    Click(dialog, "accept");
  });
  EXPECT_EQ(shownFirst, (QStringList{"Beside each source", QString::fromStdString(folder)}));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].kind, FileDialogKind::Folder);
  EXPECT_EQ(asked[0].title, "Choose the folder for converted files");
  EXPECT_EQ(app.outputFolder, folder);
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = \r\nLogActions = 1\r\nOutDir = " + folder + "\r\n");

  int shownIndex = -1;
  Run([&](QDialog* dialog) {
    shownIndex = chooser(dialog)->currentIndex();
    chooser(dialog)->setCurrentIndex(0);
    Click(dialog, "accept");
  });
  EXPECT_EQ(shownIndex, 1);
  EXPECT_EQ(app.outputFolder, "");
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLanguage = \r\nLogActions = 1\r\nOutDir = \r\n");
}

}  // namespace
