#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QComboBox;
class QPushButton;

// Where converted files are saved: a drop-down holding "Beside each source"
// and the chosen folder, and a Browse button that chooses the folder. The
// settings window and the task editor's add mode show the same choice.
class OutputFolderChoice final : public QWidget {
  Q_OBJECT

 public:
  // Starts from folder; empty is beside each source.
  OutputFolderChoice(const std::string& folder, QWidget* parent);

  // The chosen folder as its bytes; empty for beside each source.
  std::string Folder() const;

  // Runs changed whenever Folder() may give another answer.
  void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

 protected:
  // The drop-down takes the width the Browse button leaves.
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Browse();
  void ShowFolder(const std::string& folder);
  void ShowToolTip();
  void Changed();

  QComboBox* list_ = nullptr;
  QPushButton* browse_ = nullptr;
  std::string folder_;
  std::function<void()> changed_;
};
