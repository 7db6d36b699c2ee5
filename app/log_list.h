#pragma once

#include <QTableView>

#include <string>

class LogLineModel;

// The activity log's list: one row per line, in the order added, at most one
// selected. A table of one column over its own lines, because a table adds a
// row without laying out the rows it already holds, where a list view lays
// out every row again on each insertion; so a line costs the same at the
// 100,000th as at the 10th.
class LogList final : public QTableView {
 public:
  explicit LogList(QWidget* parent = nullptr);

  // Appends a last line, keeping its bytes as given. Once per pass of the
  // event loop, however many lines came in it, the newest becomes the
  // selected line and is scrolled into view.
  void AppendLine(const std::string& bytes);
  void Clear();

  int LineCount() const;
  std::string LineBytes(int row) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SelectNewestLine();
  void FitColumnWidth();

  LogLineModel* lines_;
  int widestLine_ = 0;
  bool selectionPending_ = false;
};
