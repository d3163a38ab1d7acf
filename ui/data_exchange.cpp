#include "data_exchange.h"

#include <QCheckBox>
#include <QLineEdit>

#include "cleaning_groups.h"
#include "static_text.h"

namespace quillmere {
namespace {

QString ShownText(const QWidget* widget) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (const auto* text = qobject_cast<const StaticText*>(widget)) return text->text();
  return {};
}

void SetShownText(QWidget* widget, const QString& value) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // Setting an unchanged text would move the cursor and lose the undo steps.
    if (edit->text() != value) edit->setText(value);
  } else if (auto* text = qobject_cast<StaticText*>(widget)) {
    text->setText(value);
  }
}

}  // namespace

void DataExchange::Exchange(WindowFields& fields, ExchangeDirection direction) {
  Text(controls_.statusLine, fields.statusText, direction);
  for (const CleaningGroup& group : CleaningGroups()) {
    for (int i = 0; i < group.textCount; ++i) {
      Text(controls_.textFields.at(group.textControlIds[i]), fields.options.*group.texts[i],
           direction);
    }
    QCheckBox* box = controls_.checkBoxes.at(group.controlId);
    bool& tick = fields.options.*group.field;
    if (direction == ExchangeDirection::kRead) {
      tick = box->isChecked();
    } else {
      box->setChecked(tick);
    }
  }
  Text(controls_.percentLabel, fields.percentText, direction);
}

void DataExchange::Text(QWidget* control, std::string& text, ExchangeDirection direction) {
  if (direction == ExchangeDirection::kRead) {
    text = ReadText(control);
  } else {
    WriteText(control, text);
  }
}

std::string DataExchange::ReadText(QWidget* control) {
  const QString shown = ShownText(control);
  const auto written = written_.find(control);
  if (written != written_.end() && written->second.second == shown) return written->second.first;
  const QByteArray bytes = shown.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void DataExchange::WriteText(QWidget* control, const std::string& text) {
  const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  SetShownText(control, shown);
  // A control that cut the text (an edit field's length limit) reads back as
  // what it shows.
  if (ShownText(control) == shown) {
    written_[control] = {text, shown};
  } else {
    written_.erase(control);
  }
}

}  // namespace quillmere
