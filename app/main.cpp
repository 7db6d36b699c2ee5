#include <QApplication>

// Placeholder: replaced by the start-up work.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
