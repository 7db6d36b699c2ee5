#include "tasks/option_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include "widgets/qt_text.h"
#include "Inc/TextUtil.h"

// A control of another kind than the table says reads as 0 and shows nothing.
int32_t ControlValue(const QWidget& control, OptionControl kind) {
  switch (kind) {
    case OptionControl::DropDown:
      if (const auto* list = qobject_cast<const QComboBox*>(&control)) return list->currentIndex();
      break;
    case OptionControl::TrackBar:
      if (const auto* bar = qobject_cast<const QSlider*>(&control)) return bar->value();
      break;
    case OptionControl::SpinBox:
      if (const auto* spin = qobject_cast<const QSpinBox*>(&control)) return spin->value();
      break;
    case OptionControl::CheckBox:
      if (const auto* box = qobject_cast<const QCheckBox*>(&control)) return box->isChecked() ? 1 : 0;
      break;
    case OptionControl::TrackList:
    case OptionControl::TimeField:
      break;
  }
  return 0;
}

void ShowControlValue(QWidget& control, OptionControl kind, int32_t value) {
  switch (kind) {
    case OptionControl::DropDown:
      if (auto* list = qobject_cast<QComboBox*>(&control)) list->setCurrentIndex(value);
      break;
    case OptionControl::TrackBar:
      if (auto* bar = qobject_cast<QSlider*>(&control)) bar->setValue(value);
      break;
    case OptionControl::SpinBox:
      if (auto* spin = qobject_cast<QSpinBox*>(&control)) spin->setValue(value);
      break;
    case OptionControl::CheckBox:
      if (auto* box = qobject_cast<QCheckBox*>(&control)) box->setChecked(value != 0);
      break;
    case OptionControl::TrackList:
    case OptionControl::TimeField:
      break;
  }
}

std::string ControlText(const QWidget& control, OptionControl kind) {
  if (const auto* list = qobject_cast<const QComboBox*>(&control); list && kind == OptionControl::TrackList)
    return list->currentData().toString().toStdString();
  if (const auto* field = qobject_cast<const QLineEdit*>(&control); field && kind == OptionControl::TimeField)
    return Trim(field->text().toStdString());
  return {};
}

void ShowControlText(QWidget& control, OptionControl kind, const std::string& text) {
  if (auto* list = qobject_cast<QComboBox*>(&control); list && kind == OptionControl::TrackList) {
    const QString value = QtText(text);
    if (list->findData(value) < 0) list->addItem(value, value);
    list->setCurrentIndex(list->findData(value));
  }
  if (auto* field = qobject_cast<QLineEdit*>(&control); field && kind == OptionControl::TimeField)
    field->setText(QtText(text));
}

void LimitControl(QWidget& control, OptionControl kind, int32_t lowest, int32_t highest) {
  if (auto* bar = qobject_cast<QSlider*>(&control); bar && kind == OptionControl::TrackBar)
    bar->setRange(lowest, highest);
  if (auto* spin = qobject_cast<QSpinBox*>(&control); spin && kind == OptionControl::SpinBox)
    spin->setRange(lowest, highest);
}
