// Saving and restoring the state of one control, one pair per kind.
//
// Keys live in the store's current section and start with the control's
// object name (converted to GB18030). Restoring reads every entry with the
// control's current state as the default, so a missing entry leaves the
// control as it is; an entry that does not fit the control (an index out
// of range, a colour that is no colour, list bytes in another form) is
// ignored as well.
//
//   kind              key            value
//   button            name.标记      the "tag" property (QString)
//   edit box          name           the text; multi-line boxes store line
//                                    breaks as CR LF (Qt's "\n" inside)
//   check box, radio  name           "真" / "假"
//   combo box         name           current index (number)
//                     name.列表      the items (list_items.h), optional
//                     name.内容      the current text, optional
//   list box          name           the items (list_items.h)
//                     name.选中      selected rows, ascending, joined by ","
//   checked list box  name           the items (list_items.h)
//                     name.选中      current row (number)
//                     name.打勾      checked rows, ascending, joined by ","
//   colour picker     name           the colour as 0x00BBGGRR (number)
//
// Byte mode (buttons and edit boxes): the text goes to a side file instead
// (SettingsStore::WriteBytes); restoring takes it up to its first zero byte.
// Item lists always go to side files.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QWidget>

#include "settings/controls/colour_picker.h"
#include "settings/settings_store.h"

namespace keelnode {

// Check boxes and radio buttons.
void SaveCheckBox(SettingsStore& store, const QAbstractButton& box);
void RestoreCheckBox(SettingsStore& store, QAbstractButton& box);
void SaveRadioButton(SettingsStore& store, const QAbstractButton& button);
void RestoreRadioButton(SettingsStore& store, QAbstractButton& button);

// A QLineEdit, QPlainTextEdit or QTextEdit; any other widget is left alone.
void SaveEditBox(SettingsStore& store, const QWidget& edit, bool byte_mode);
void RestoreEditBox(SettingsStore& store, QWidget& edit, bool byte_mode);

void SaveButton(SettingsStore& store, const QAbstractButton& button, bool byte_mode);
void RestoreButton(SettingsStore& store, QAbstractButton& button, bool byte_mode);

void SaveComboSelection(SettingsStore& store, const QComboBox& combo);
void RestoreComboSelection(SettingsStore& store, QComboBox& combo);
void SaveComboItems(SettingsStore& store, const QComboBox& combo);
void RestoreComboItems(SettingsStore& store, QComboBox& combo);
void SaveComboText(SettingsStore& store, const QComboBox& combo);
void RestoreComboText(SettingsStore& store, QComboBox& combo);

// `with_selection` / `with_checks` also save or restore the ".选中" and
// ".打勾" entries. Restoring lets the window run after each item.
void SaveListBox(SettingsStore& store, const QListWidget& list, bool with_selection = true);
void RestoreListBox(SettingsStore& store, QListWidget& list, bool with_selection = true);
void SaveCheckedListBox(SettingsStore& store, const QListWidget& list, bool with_checks = true);
void RestoreCheckedListBox(SettingsStore& store, QListWidget& list, bool with_checks = true);

void SaveColourPicker(SettingsStore& store, const ColourPicker& picker);
void RestoreColourPicker(SettingsStore& store, ColourPicker& picker);

}  // namespace keelnode
