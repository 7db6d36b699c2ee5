#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

void InstallQtTranslation(const std::string& languageCode) {
  static std::unique_ptr<QTranslator> installed;
  if (installed) QCoreApplication::removeTranslator(installed.get());
  installed.reset();
  if (languageCode.empty()) return;
  auto translator = std::make_unique<QTranslator>();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QStringLiteral("qtbase_") + QString::fromStdString(languageCode), folder)) return;
  QCoreApplication::installTranslator(translator.get());
  installed = std::move(translator);
}
