// mflpx-crash-notice: started by the crash handler of a program that has
// faulted, since a message box cannot be shown from inside a signal handler.
#include <QApplication>
#include <QMessageBox>

#include "Inc/CrashReport.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMessageBox::critical(nullptr, QStringLiteral("Error"), QString::fromUtf8(CrashNoticeText()));
  return 0;
}
