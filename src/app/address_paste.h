// The paste button's right click: fetch the document at the address on the
// clipboard into the current tab, with the charset the modifier keys pick.
//
// The fetch waits while the window handles its events. Meanwhile a second
// fetch is ignored and the tab the fetch will fill refuses other loads (a
// paste or a reload there would be overwritten by the fetch's result); the
// result goes to that tab even when another one became current. After the
// window has closed the result is dropped.
#pragma once

#include <QObject>
#include <string_view>

#include "net/charset_mode.h"

namespace keelnode {

class MainWindow;

// Exactly Ctrl: UTF-8; exactly Alt: the program's code page; exactly
// Shift: the bytes as they are; anything else, combinations included:
// detected. Bits: Ctrl 1, Shift 2, Alt 4.
CharsetMode CharsetModeFor(int modifierBits);

// Whether the clipboard text may be an address: it begins with "http" in
// any letter case (no blank may come first).
bool LooksLikeAddress(std::string_view text);

class AddressPaste : public QObject {
  Q_OBJECT
 public:
  // Answers the window's right clicks on the paste button from now on.
  explicit AddressPaste(MainWindow& window);

  void run(int modifierBits);
  bool fetching() const { return fetching_; }

 private:
  MainWindow& window_;
  bool fetching_ = false;
  bool closed_ = false;
};

}  // namespace keelnode
