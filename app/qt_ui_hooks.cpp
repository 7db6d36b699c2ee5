#include "app/qt_ui_hooks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "Inc/AppState.h"
#include "Inc/UiSeam.h"
#include "app/batch_notice.h"
#include "app/main_window.h"
#include "widgets/qt_text.h"

namespace {

QWidget* DialogParent(const AppState& app) {
  if (QWidget* active = QApplication::activeModalWidget()) return active;
  QMainWindow* window = MainWindow(app);
  return window && window->isVisible() ? window : nullptr;
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// Replace, Skip and Cancel carry our own words: Qt's standard buttons have
// no Replace or Skip.
MessageAnswer AskReplaceSkipCancel(QMessageBox& box) {
  QPushButton* replace = box.addButton(UiQText("s170"), QMessageBox::AcceptRole);
  QPushButton* skip = box.addButton(UiQText("s171"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(UiQText("s7"), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == replace) return MessageAnswer::Replace;
  if (box.clickedButton() == skip) return MessageAnswer::Skip;
  return MessageAnswer::Cancel;
}

MessageAnswer ShowQtMessage(const AppState& app, const MessageRequest& request) {
  const bool yesNo = request.buttons == MessageButtons::YesNo;
  // Qt writes the program's name into an empty title bar; a blank one stays
  // empty to the eye, as the box asks for.
  const QString title = request.title.empty() ? QStringLiteral(" ") : QString::fromStdString(request.title);
  QMessageBox box(QtIcon(request.icon), title, QString::fromStdString(request.text),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::NoButton, DialogParent(app));
  box.setTextFormat(Qt::PlainText);
  if (request.buttons == MessageButtons::ReplaceSkipCancel) return AskReplaceSkipCancel(box);
  if (!yesNo) box.setStandardButtons(QMessageBox::Ok);
  const int answer = box.exec();
  if (!yesNo) return MessageAnswer::Ok;
  return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

// Filter entries in Qt's own words, such as "All Files (*)", follow the
// language of Qt's translations; our own descriptions come translated.
QString QtFilter(const std::string& filter) {
  QStringList entries = QString::fromStdString(filter).split(QStringLiteral(";;"));
  for (QString& entry : entries)
    entry = QCoreApplication::translate("QFileDialog", entry.toUtf8().constData());
  return entries.join(QStringLiteral(";;"));
}

constexpr QFileDialog::Options kOpenOptions =
    QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails;

// Qt's own dialogs: the same on every desktop, and they never touch the
// working directory that Help relies on. Save dialogs never ask before
// replacing: the log is meant to replace its file, and the task editor
// refuses an existing output itself. The input filter's long list of
// any-case patterns stays out of sight behind its description.
std::string AskQtFileName(const AppState& app, const FileDialogRequest& request) {
  const QString title = QString::fromStdString(request.title);
  const QString filter = QtFilter(request.filter);
  switch (request.kind) {
    case FileDialogKind::Open:
      return QFileDialog::getOpenFileName(DialogParent(app), title, QString(), filter, nullptr, kOpenOptions)
          .toStdString();
    case FileDialogKind::Save:
      return QFileDialog::getSaveFileName(DialogParent(app), title, QString(), filter, nullptr,
                                          QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite)
          .toStdString();
    case FileDialogKind::Folder:
      return QFileDialog::getExistingDirectory(DialogParent(app), title, QString(),
                                               QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly)
          .toStdString();
  }
  return {};
}

std::vector<std::string> AskQtFileNames(const AppState& app, const FileDialogRequest& request) {
  const QStringList chosen = QFileDialog::getOpenFileNames(DialogParent(app), QString::fromStdString(request.title),
                                                           QString(), QtFilter(request.filter), nullptr, kOpenOptions);
  std::vector<std::string> names;
  for (const QString& name : chosen) names.push_back(name.toStdString());
  return names;
}

// A path from the file system opens as a file, whatever characters it holds.
void OpenWithDesktop(const std::string& pathOrUrl) {
  const QString target = QString::fromStdString(pathOrUrl);
  QDesktopServices::openUrl(target.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(target)
                                                                 : QUrl(target));
}

}  // namespace

void InstallQtUiHooks(const AppState& app) {
  UiHooks hooks;
  hooks.showMessage = [&app](const MessageRequest& request) { return ShowQtMessage(app, request); };
  hooks.askFileName = [&app](const FileDialogRequest& request) { return AskQtFileName(app, request); };
  hooks.setStatusText = [&app](int field, const std::string& text) { SetStatusFieldText(app, field, text); };
  hooks.openWithShell = OpenWithDesktop;
  hooks.askFileNames = [&app](const FileDialogRequest& request) { return AskQtFileNames(app, request); };
  hooks.batchFinished = [&app](const std::string& title, const std::string& text) {
    NoticeBatchEnd(MainWindow(app), title, text, [&app](const std::string& noticeTitle, const std::string& noticeText) {
      NotifyDesktop(MainWindow(app), noticeTitle, noticeText);
    });
  };
  InstallUiHooks(std::move(hooks));
}
