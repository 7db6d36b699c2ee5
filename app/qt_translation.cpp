#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The installed translator is a child of the application, found again by name.
constexpr const char* kTranslatorName = "mflpx-qt-translation";

}  // namespace

void InstallQtTranslation(const std::string& languageCode) {
  if (auto* installed =
          QCoreApplication::instance()->findChild<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
  }
  if (languageCode.empty()) return;
  auto* translator = new QTranslator(QCoreApplication::instance());
  translator->setObjectName(kTranslatorName);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QStringLiteral("qtbase_") + QString::fromStdString(languageCode), folder)) {
    delete translator;
    return;
  }
  QCoreApplication::installTranslator(translator);
}
