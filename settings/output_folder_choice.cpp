#include "settings/output_folder_choice.h"

#include <QComboBox>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

#include "Inc/UiSeam.h"
#include "widgets/qt_text.h"

namespace {

constexpr int kBesideEachSource = 0;
constexpr int kChosenFolder = 1;
constexpr int kButtonWidth = 80;
constexpr int kGap = 5;

}  // namespace

OutputFolderChoice::OutputFolderChoice(const std::string& folder, QWidget* parent) : QWidget(parent) {
  list_ = new QComboBox(this);
  list_->setObjectName("outputFolder");
  list_->addItem(UiQText("s183"));
  browse_ = new QPushButton(UiQText("s13"), this);
  browse_->setObjectName("outputFolderBrowse");
  browse_->setAutoDefault(false);
  if (!folder.empty()) {
    ShowFolder(folder);
    list_->setCurrentIndex(kChosenFolder);
  }
  ShowToolTip();
  connect(list_, &QComboBox::currentIndexChanged, this, &OutputFolderChoice::Changed);
  connect(browse_, &QPushButton::clicked, this, &OutputFolderChoice::Browse);
}

std::string OutputFolderChoice::Folder() const {
  return list_->currentIndex() == kChosenFolder ? folder_ : std::string();
}

void OutputFolderChoice::resizeEvent(QResizeEvent* event) {
  const int width = event->size().width();
  const int height = event->size().height();
  const int listHeight = std::min(height, list_->sizeHint().height());
  list_->setGeometry(0, (height - listHeight) / 2, width - kButtonWidth - kGap, listHeight);
  browse_->setGeometry(width - kButtonWidth, 0, kButtonWidth, height);
}

void OutputFolderChoice::Browse() {
  const std::string chosen = AskFileName({FileDialogKind::Folder, UiText("s186"), ""});
  if (chosen.empty()) return;
  const bool wasChosen = list_->currentIndex() == kChosenFolder;
  ShowFolder(chosen);
  list_->setCurrentIndex(kChosenFolder);
  // Another folder in the same entry moves no index, so it is told here.
  if (wasChosen) Changed();
}

void OutputFolderChoice::ShowFolder(const std::string& folder) {
  folder_ = folder;
  const QString shown = QtText(folder);
  if (list_->count() > kChosenFolder)
    list_->setItemText(kChosenFolder, shown);
  else
    list_->addItem(shown);
}

// A long path is cut in the drop-down; the tip shows it whole.
void OutputFolderChoice::ShowToolTip() {
  list_->setToolTip(list_->currentIndex() == kChosenFolder ? PlainToolTip(QtText(folder_)) : QString());
}

void OutputFolderChoice::Changed() {
  ShowToolTip();
  if (changed_) changed_();
}
