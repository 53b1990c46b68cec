// Saving and restoring the user-visible state of a window's controls in the
// settings store, driven by the controls' names and tags alone.
//
// Which controls take part, and under which keys, is described in
// control_kind.h and control_kinds.h. A control's name is its
// QObject::objectName(), its tag the QString property "tag". A control whose
// name promises a kind its class does not have (a "选择框…" that is no
// QCheckBox) is skipped.
//
// Control order: the window's child widgets depth first, each widget before
// its own children, siblings in QObject::children() order - the order in
// which they were given their parent (adding a widget to a layout or a tab
// widget re-parents it at that moment). Because the store puts every new key
// at the top of its section, a first save into an empty section lists the
// keys in the reverse of this order.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace keelnode {

struct PersistOptions {
  // GB18030; when not empty the store's section is set to it first.
  std::string section;
  // The controls to process, in this order; all child widgets when absent.
  std::optional<std::vector<QWidget*>> controls;
  // Names (GB18030) to skip.
  std::vector<std::string> excluded;
  // Also the ".列表" and ".内容" entries of combo boxes.
  bool combo_items = false;
  bool combo_text = false;
};

// Saves (restore = false) or restores the eligible controls' states. The
// window gets a turn (yieldToUi) before each control; a control closed in
// that turn is skipped.
void PersistWindowControls(SettingsStore& store, QWidget& window, bool restore,
                           const PersistOptions& options = {});

// The window's child widgets in control order (see above).
std::vector<QWidget*> ChildControls(const QWidget& window);

}  // namespace keelnode
