#include "settings/settings_window.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "settings/config.h"
#include "settings/output_folder_choice.h"
#include "settings/settings_choice.h"
#include "widgets/modal_owner.h"
#include "widgets/qt_text.h"

namespace {

constexpr int kClientWidth = 315;
constexpr int kClientHeight = 315;

class SettingsDialog : public QDialog {
 public:
  SettingsDialog(AppState& app, QWidget* owner) : QDialog(owner), app_(app), entries_(LanguageListEntries(app)) {
    // A title bar without a close box; Escape still cancels.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(UiQText("s49"));
    setFixedSize(kClientWidth, kClientHeight);
    PlaceOverOwner(this, owner);

    auto* label = new QLabel(UiQText("s50"), this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(5, 10, 305, 15);

    list_ = new QListWidget(this);
    list_->setObjectName("languageList");
    list_->setGeometry(5, 35, 305, 120);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    for (const std::string& entry : entries_) list_->addItem(QString::fromStdString(entry));
    const int preselected = PreselectedLanguageEntry(app_, entries_);
    if (preselected >= 0) list_->setCurrentRow(preselected);

    logActions_ = new QCheckBox(UiQText("s51"), this);
    logActions_->setObjectName("logActions");
    logActions_->setGeometry(5, 165, 275, 15);
    logActions_->setChecked(app_.LogActions != 0);

    auto* atOnceLabel = new QLabel(UiQText("s225"), this);
    atOnceLabel->setTextFormat(Qt::PlainText);
    atOnceLabel->setGeometry(5, 188, 230, 20);
    conversionsAtOnce_ = new QSpinBox(this);
    conversionsAtOnce_->setObjectName("conversionsAtOnce");
    conversionsAtOnce_->setGeometry(240, 186, 70, 24);
    conversionsAtOnce_->setRange(1, ConversionsAtOnceLimit());
    conversionsAtOnce_->setValue(app_.conversionsAtOnce);
    atOnceLabel->setBuddy(conversionsAtOnce_);

    auto* folderLabel = new QLabel(UiQText("s184"), this);
    folderLabel->setTextFormat(Qt::PlainText);
    folderLabel->setGeometry(5, 220, 305, 15);
    outputFolder_ = new OutputFolderChoice(app_.outputFolder, this);
    outputFolder_->setGeometry(5, 240, 305, 25);

    auto* cancel = new QPushButton(UiQText("s7"), this);
    cancel->setObjectName("cancel");
    cancel->setGeometry(125, 280, 90, 30);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* accept = new QPushButton(UiQText("s8"), this);
    accept->setObjectName("accept");
    accept->setGeometry(220, 280, 90, 30);
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);
  }

  void accept() override {
    CHECKPOINT();
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
      ShowMessageBox("", "Please select a language from the list.", MessageIcon::Warning);
      return;
    }
    ApplySettingsChoice(app_, entries_[static_cast<std::size_t>(list_->row(selected.front()))],
                        logActions_->isChecked(), conversionsAtOnce_->value(), outputFolder_->Folder());
    QDialog::accept();
  }

 private:
  AppState& app_;
  std::vector<std::string> entries_;
  QListWidget* list_ = nullptr;
  QCheckBox* logActions_ = nullptr;
  QSpinBox* conversionsAtOnce_ = nullptr;
  OutputFolderChoice* outputFolder_ = nullptr;
};

}  // namespace

void ShowSettingsWindow(AppState& app) {
  CHECKPOINT();
  RunWithOwnerDisabled([&app](QWidget* owner) {
    SettingsDialog dialog(app, owner);
    dialog.exec();
  });
}
