#include "settings/controls/control_kinds.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "services/code_page.h"
#include "services/yield_to_ui.h"
#include "settings/controls/control_texts.h"
#include "settings/controls/list_items.h"
#include "settings/controls/qt_text.h"

namespace keelnode {
namespace {

std::string Key(const QWidget& widget, std::string_view suffix = {}) {
  return ToProgramText(widget.objectName()) + std::string(suffix);
}

// Truncated toward zero; nothing for numbers no int can hold.
std::optional<int> ToInt(double value) {
  if (!std::isfinite(value) || value <= double(INT_MIN) - 1 || value >= double(INT_MAX) + 1) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::string JoinRows(const std::vector<int>& rows) {
  std::string text;
  for (int row : rows) {
    if (!text.empty()) text.push_back(',');
    text += std::to_string(row);
  }
  return text;
}

// Parts that are not numbers are skipped.
std::vector<int> SplitRows(std::string_view text) {
  std::vector<int> rows;
  while (!text.empty()) {
    size_t comma = text.find(',');
    std::string_view part = text.substr(0, comma);
    while (!part.empty() && part.front() == ' ')
      part.remove_prefix(1);
    int row;
    if (std::from_chars(part.data(), part.data() + part.size(), row).ec == std::errc()) {
      rows.push_back(row);
    }
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return rows;
}

// Program text of an edit box; multi-line boxes give their line breaks as CR LF.
std::optional<std::string> EditText(const QWidget& edit) {
  if (auto* line = qobject_cast<const QLineEdit*>(&edit)) return ToProgramText(line->text());
  QString text;
  if (auto* plain = qobject_cast<const QPlainTextEdit*>(&edit)) {
    text = plain->toPlainText();
  } else if (auto* rich = qobject_cast<const QTextEdit*>(&edit)) {
    text = rich->toPlainText();
  } else {
    return std::nullopt;
  }
  return ToProgramText(text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

void SetEditText(QWidget& edit, std::string_view program_text) {
  QString text = FromProgramText(program_text);
  if (auto* line = qobject_cast<QLineEdit*>(&edit)) {
    line->setText(text);
    return;
  }
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (auto* plain = qobject_cast<QPlainTextEdit*>(&edit)) plain->setPlainText(text);
  if (auto* rich = qobject_cast<QTextEdit*>(&edit)) rich->setPlainText(text);
}

void SaveTextValue(SettingsStore& store, const std::string& key, std::string_view text,
                   bool byte_mode) {
  if (byte_mode) {
    store.WriteBytes(key, text);
  } else {
    store.WriteText(key, text);
  }
}

std::string RestoreTextValue(SettingsStore& store, const std::string& key, std::string_view current,
                             bool byte_mode) {
  if (!byte_mode) return store.ReadText(key, current);
  const std::string bytes = store.ReadBytes(key, current);
  return std::string(CutAtZero(bytes));
}

std::vector<std::string> ItemTexts(const QListWidget& list) {
  std::vector<std::string> items;
  for (int row = 0; row < list.count(); ++row)
    items.push_back(ToProgramText(list.item(row)->text()));
  return items;
}

std::vector<std::string> ItemTexts(const QComboBox& combo) {
  std::vector<std::string> items;
  for (int row = 0; row < combo.count(); ++row)
    items.push_back(ToProgramText(combo.itemText(row)));
  return items;
}

template <typename Test>
std::vector<int> RowsWhere(const QListWidget& list, Test test) {
  std::vector<int> rows;
  for (int row = 0; row < list.count(); ++row) {
    if (test(*list.item(row))) rows.push_back(row);
  }
  return rows;
}

std::vector<int> SelectedRows(const QListWidget& list) {
  return RowsWhere(list, [](const QListWidgetItem& item) { return item.isSelected(); });
}

std::vector<int> CheckedRows(const QListWidget& list) {
  return RowsWhere(list,
                   [](const QListWidgetItem& item) { return item.checkState() == Qt::Checked; });
}

// The stored items, or nothing when there are none or they are not a list.
std::optional<std::vector<std::string>> StoredItems(SettingsStore& store, const std::string& key,
                                                    const std::vector<std::string>& current) {
  return DecodeListItems(store.ReadBytes(key, EncodeListItems(current)));
}

void RestoreListItems(SettingsStore& store, QListWidget& list, bool checkable) {
  std::optional<std::vector<std::string>> items = StoredItems(store, Key(list), ItemTexts(list));
  if (!items) return;
  list.clear();
  for (const std::string& text : *items) {
    auto* item = new QListWidgetItem(FromProgramText(text), &list);  // owned by the list
    if (checkable) {
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Unchecked);
    }
  }
}

void SaveFlag(SettingsStore& store, const QAbstractButton& button) {
  store.WriteFlag(Key(button), button.isChecked());
}

void RestoreFlag(SettingsStore& store, QAbstractButton& button) {
  button.setChecked(store.ReadFlag(Key(button), button.isChecked()));
}

}  // namespace

void SaveCheckBox(SettingsStore& store, const QAbstractButton& box) {
  SaveFlag(store, box);
}
void RestoreCheckBox(SettingsStore& store, QAbstractButton& box) {
  RestoreFlag(store, box);
}
void SaveRadioButton(SettingsStore& store, const QAbstractButton& button) {
  SaveFlag(store, button);
}
void RestoreRadioButton(SettingsStore& store, QAbstractButton& button) {
  RestoreFlag(store, button);
}

void SaveEditBox(SettingsStore& store, const QWidget& edit, bool byte_mode) {
  if (std::optional<std::string> text = EditText(edit)) {
    SaveTextValue(store, Key(edit), *text, byte_mode);
  }
}

void RestoreEditBox(SettingsStore& store, QWidget& edit, bool byte_mode) {
  std::optional<std::string> current = EditText(edit);
  if (!current) return;
  std::string restored = RestoreTextValue(store, Key(edit), *current, byte_mode);
  if (restored != *current) SetEditText(edit, restored);
}

void SaveButton(SettingsStore& store, const QAbstractButton& button, bool byte_mode) {
  SaveTextValue(store, Key(button, control_text::kTagSuffix),
                ToProgramText(button.property("tag").toString()), byte_mode);
}

void RestoreButton(SettingsStore& store, QAbstractButton& button, bool byte_mode) {
  const std::string current = ToProgramText(button.property("tag").toString());
  const std::string restored =
      RestoreTextValue(store, Key(button, control_text::kTagSuffix), current, byte_mode);
  if (restored != current) button.setProperty("tag", FromProgramText(restored));
}

void SaveComboSelection(SettingsStore& store, const QComboBox& combo) {
  store.WriteNumber(Key(combo), combo.currentIndex());
}

void RestoreComboSelection(SettingsStore& store, QComboBox& combo) {
  std::optional<int> index = ToInt(store.ReadNumber(Key(combo), combo.currentIndex()));
  if (index && *index >= -1 && *index < combo.count()) combo.setCurrentIndex(*index);
}

void SaveComboItems(SettingsStore& store, const QComboBox& combo) {
  store.WriteBytes(Key(combo, control_text::kItemsSuffix), EncodeListItems(ItemTexts(combo)));
}

void RestoreComboItems(SettingsStore& store, QComboBox& combo) {
  std::optional<std::vector<std::string>> items =
      StoredItems(store, Key(combo, control_text::kItemsSuffix), ItemTexts(combo));
  if (!items) return;
  combo.clear();
  for (const std::string& text : *items)
    combo.addItem(FromProgramText(text));
}

void SaveComboText(SettingsStore& store, const QComboBox& combo) {
  store.WriteText(Key(combo, control_text::kTextSuffix), ToProgramText(combo.currentText()));
}

void RestoreComboText(SettingsStore& store, QComboBox& combo) {
  const std::string current = ToProgramText(combo.currentText());
  const std::string restored = store.ReadText(Key(combo, control_text::kTextSuffix), current);
  if (restored != current) combo.setCurrentText(FromProgramText(restored));
}

void SaveListBox(SettingsStore& store, const QListWidget& list, bool with_selection) {
  store.WriteBytes(Key(list), EncodeListItems(ItemTexts(list)));
  if (with_selection) {
    store.WriteText(Key(list, control_text::kSelectedSuffix), JoinRows(SelectedRows(list)));
  }
}

void RestoreListBox(SettingsStore& store, QListWidget& list, bool with_selection) {
  const std::string selected = JoinRows(SelectedRows(list));
  RestoreListItems(store, list, false);
  if (!with_selection) return;
  const std::string key = Key(list, control_text::kSelectedSuffix);
  QPointer<QListWidget> alive(&list);
  for (int row : SplitRows(store.ReadText(key, selected))) {
    if (row < 0 || row >= list.count()) continue;
    if (list.selectionMode() == QAbstractItemView::SingleSelection) {
      list.setCurrentRow(row);
    } else {
      list.item(row)->setSelected(true);
    }
    yieldToUi();
    if (!alive) return;  // closed by an event handler
  }
}

void SaveCheckedListBox(SettingsStore& store, const QListWidget& list, bool with_checks) {
  store.WriteBytes(Key(list), EncodeListItems(ItemTexts(list)));
  if (!with_checks) return;
  store.WriteNumber(Key(list, control_text::kSelectedSuffix), list.currentRow());
  store.WriteText(Key(list, control_text::kCheckedSuffix), JoinRows(CheckedRows(list)));
}

void RestoreCheckedListBox(SettingsStore& store, QListWidget& list, bool with_checks) {
  const std::string checked = JoinRows(CheckedRows(list));
  RestoreListItems(store, list, true);
  if (!with_checks) return;
  std::optional<int> current =
      ToInt(store.ReadNumber(Key(list, control_text::kSelectedSuffix), list.currentRow()));
  if (current && *current >= -1 && *current < list.count()) list.setCurrentRow(*current);
  // Rows not listed keep their check state.
  QPointer<QListWidget> alive(&list);
  for (int row : SplitRows(store.ReadText(Key(list, control_text::kCheckedSuffix), checked))) {
    if (row < 0 || row >= list.count()) continue;
    list.item(row)->setCheckState(Qt::Checked);
    yieldToUi();
    if (!alive) return;
  }
}

void SaveColourPicker(SettingsStore& store, const ColourPicker& picker) {
  const QColor colour = picker.colour();
  store.WriteNumber(Key(picker), colour.red() | colour.green() << 8 | colour.blue() << 16);
}

void RestoreColourPicker(SettingsStore& store, ColourPicker& picker) {
  const QColor current = picker.colour();
  const double stored =
      store.ReadNumber(Key(picker), current.red() | current.green() << 8 | current.blue() << 16);
  std::optional<int> value = ToInt(stored);
  if (!value || *value < 0 || *value > 0xFFFFFF) return;
  picker.setColour(QColor(*value & 0xFF, (*value >> 8) & 0xFF, (*value >> 16) & 0xFF));
}

}  // namespace keelnode
