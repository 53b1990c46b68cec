// Saving and restoring a window's state and geometry.
//
// Section: the given name, or "主界面" when it is empty, followed by ".尺寸".
// "位置" holds the window state: 0 normal, 1 minimised, 2 maximised, 3 full
// screen. Only a window in its normal state also stores "左边", "顶边"
// (its position, frame included) and "宽度", "高度" (its size without the
// frame). The store's current section is the caller's again afterwards.
#pragma once

#include <QWidget>
#include <string_view>

#include "settings/settings_store.h"

namespace keelnode {

void SaveWindowGeometry(SettingsStore& store, const QWidget& window, std::string_view name = {});
void RestoreWindowGeometry(SettingsStore& store, QWidget& window, std::string_view name = {});

}  // namespace keelnode
