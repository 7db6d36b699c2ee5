// mflpx-crash-notice: started by the crash handler of a program that has
// faulted, since a message box cannot be shown from inside a signal handler.
#include <QApplication>
#include <QMessageBox>

#include "Inc/AppState.h"
#include "Inc/CrashReport.h"

// The crash handler names the folder it wrote the report to, or nothing when
// it could write none.
int main(int argc, char** argv) {
  const std::string reportDirectory = argc > 1 ? argv[1] : "";
  QApplication application(argc, argv);
  QMessageBox::critical(nullptr, QStringLiteral("Error"),
                        QString::fromUtf8(CrashNoticeText(reportDirectory, ExecutableDirectory())));
  return 0;
}
