#include "settings/controls/control_state.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTextEdit>

#include "services/yield_to_ui.h"
#include "settings/controls/control_kind.h"
#include "settings/controls/control_kinds.h"
#include "settings/controls/qt_text.h"

namespace keelnode {
namespace {

void CollectChildren(const QObject& parent, std::vector<QWidget*>* out) {
  for (QObject* child : parent.children()) {
    if (auto* widget = qobject_cast<QWidget*>(child)) {
      out->push_back(widget);
      CollectChildren(*widget, out);
    }
  }
}

bool IsEditBox(const QWidget& widget) {
  return qobject_cast<const QLineEdit*>(&widget) || qobject_cast<const QPlainTextEdit*>(&widget) ||
         qobject_cast<const QTextEdit*>(&widget);
}

// A button that is neither a check box nor a radio button.
QAbstractButton* AsPlainButton(QWidget& widget) {
  if (qobject_cast<QCheckBox*>(&widget) || qobject_cast<QRadioButton*>(&widget)) return nullptr;
  return qobject_cast<QAbstractButton*>(&widget);
}

void Persist(SettingsStore& store, QWidget& control, ControlKind kind, bool byte_mode, bool restore,
             const PersistOptions& options) {
  switch (kind) {
    case ControlKind::kButton:
      if (QAbstractButton* button = AsPlainButton(control)) {
        restore ? RestoreButton(store, *button, byte_mode) : SaveButton(store, *button, byte_mode);
      }
      break;
    case ControlKind::kEditBox:
      if (IsEditBox(control)) {
        restore ? RestoreEditBox(store, control, byte_mode)
                : SaveEditBox(store, control, byte_mode);
      }
      break;
    case ControlKind::kCheckBox:
      if (auto* box = qobject_cast<QCheckBox*>(&control)) {
        restore ? RestoreCheckBox(store, *box) : SaveCheckBox(store, *box);
      }
      break;
    case ControlKind::kRadioButton:
      if (auto* radio = qobject_cast<QRadioButton*>(&control)) {
        restore ? RestoreRadioButton(store, *radio) : SaveRadioButton(store, *radio);
      }
      break;
    case ControlKind::kComboBox:
      if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        if (restore) {
          // Items first: replacing them would undo a selection restored before.
          if (options.combo_items) RestoreComboItems(store, *combo);
          RestoreComboSelection(store, *combo);
          if (options.combo_text) RestoreComboText(store, *combo);
        } else {
          SaveComboSelection(store, *combo);
          if (options.combo_items) SaveComboItems(store, *combo);
          if (options.combo_text) SaveComboText(store, *combo);
        }
      }
      break;
    case ControlKind::kListBox:
      if (auto* list = qobject_cast<QListWidget*>(&control)) {
        restore ? RestoreListBox(store, *list) : SaveListBox(store, *list);
      }
      break;
    case ControlKind::kCheckedListBox:
      if (auto* list = qobject_cast<QListWidget*>(&control)) {
        restore ? RestoreCheckedListBox(store, *list) : SaveCheckedListBox(store, *list);
      }
      break;
    case ControlKind::kColourPicker:
      if (auto* picker = qobject_cast<ColourPicker*>(&control)) {
        restore ? RestoreColourPicker(store, *picker) : SaveColourPicker(store, *picker);
      }
      break;
    case ControlKind::kNone:
      break;
  }
}

}  // namespace

std::vector<QWidget*> ChildControls(const QWidget& window) {
  std::vector<QWidget*> controls;
  CollectChildren(window, &controls);
  return controls;
}

void PersistWindowControls(SettingsStore& store, QWidget& window, bool restore,
                           const PersistOptions& options) {
  if (!options.section.empty()) store.SetSection(options.section);
  // Guarded: an event handler may close a control while the window has its turn.
  std::vector<QPointer<QWidget>> controls;
  for (QWidget* control : options.controls ? *options.controls : ChildControls(window)) {
    controls.emplace_back(control);
  }
  for (const QPointer<QWidget>& control : controls) {
    yieldToUi();
    if (!control) continue;
    const std::string name = ToProgramText(control->objectName());
    const std::string tag = ToProgramText(control->property("tag").toString());
    ControlKind kind = EligibleKind(name, tag, options.excluded);
    if (kind == ControlKind::kNone) continue;
    Persist(store, *control, kind, IsByteModeTag(tag), restore, options);
  }
}

}  // namespace keelnode
