#include "data_exchange.h"

#include <QCheckBox>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "resource_ids.h"
#include "static_text.h"

namespace quillmere {
namespace {

struct Binding {
  int id;
  std::string* text;
  std::int32_t* tick;
};

// The bound controls in the order of the window's members.
std::array<Binding, 20> Bindings(WindowFields& fields) {
  CleaningOptions& o = fields.options;
  return {{
      {ids::kStatusLine, &fields.statusText, nullptr},
      {ids::kRemoveText, &o.removeText, nullptr},
      {ids::kBlockBegin, &o.blockBegin, nullptr},
      {ids::kBlockEnd, &o.blockEnd, nullptr},
      {ids::kConvertTables, nullptr, &o.convertTables},
      {ids::kCleanNotes, nullptr, &o.cleanNotes},
      {ids::kRemoveTextEnabled, nullptr, &o.removeTextEnabled},
      {ids::kRemoveBlockEnabled, nullptr, &o.removeBlockEnabled},
      {ids::kSearchText, &o.searchText, nullptr},
      {ids::kReplaceText, &o.replaceText, nullptr},
      {ids::kSearchEnabled, nullptr, &o.searchEnabled},
      {ids::kRemoveScripts, nullptr, &o.removeScripts},
      {ids::kCaseSensitive, nullptr, &o.caseSensitive},
      {ids::kRemovePictures, nullptr, &o.removePictures},
      {ids::kRemoveForms, nullptr, &o.removeForms},
      {ids::kRemoveSounds, nullptr, &o.removeSounds},
      {ids::kPercentLabel, &fields.percentText, nullptr},
      {ids::kConvertLists, nullptr, &o.convertLists},
      {ids::kRemoveFonts, nullptr, &o.removeFonts},
      {ids::kPdaPreset, nullptr, &o.pdaPreset},
  }};
}

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
  for (const Binding& binding : Bindings(fields)) {
    if (binding.text != nullptr) {
      if (direction == ExchangeDirection::kRead) {
        *binding.text = ReadText(binding.id);
      } else {
        WriteText(binding.id, *binding.text);
      }
      continue;
    }
    auto* box = qobject_cast<QCheckBox*>(controls_.at(binding.id));
    if (direction == ExchangeDirection::kRead) {
      *binding.tick = box->isChecked() ? 1 : 0;
    } else {
      box->setChecked(*binding.tick != 0);
    }
  }
}

std::string DataExchange::ReadText(int id) {
  const QString shown = ShownText(controls_.at(id));
  const auto written = written_.find(id);
  if (written != written_.end() && written->second.second == shown) return written->second.first;
  const QByteArray bytes = shown.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void DataExchange::WriteText(int id, const std::string& text) {
  const QString shown = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  QWidget* widget = controls_.at(id);
  SetShownText(widget, shown);
  // A control that cut the text (an edit field's length limit) reads back as
  // what it shows.
  if (ShownText(widget) == shown) {
    written_[id] = {text, shown};
  } else {
    written_.erase(id);
  }
}

}  // namespace quillmere
