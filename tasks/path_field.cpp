#include "tasks/path_field.h"

#include <QByteArray>
#include <QLineEdit>
#include <QVariant>

namespace {

constexpr const char* kShownBytes = "mflpxPathBytes";

}  // namespace

void ShowPath(QLineEdit& field, const std::string& path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  field.setText(QString::fromUtf8(bytes));
  field.setProperty(kShownBytes, bytes);
}

std::string PathIn(const QLineEdit& field) {
  const QByteArray bytes = field.property(kShownBytes).toByteArray();
  if (field.text() == QString::fromUtf8(bytes)) return bytes.toStdString();
  return field.text().toUtf8().toStdString();
}
