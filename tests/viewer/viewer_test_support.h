// Shared pieces of the viewer tests: the QApplication every test runs in,
// and helpers for driving windows.
#pragma once

#include <QString>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

class QWidget;

namespace keelnode::testing {

// Program text (GB18030) for a UTF-8 literal.
std::string Gb(std::string_view utf8);
// The UTF-8 form of program text, for readable assertions.
std::string Utf8(std::string_view gb);

// One tree item record, encoded by hand.
std::string Record(std::string_view label, int image, int value, int depth, int check = 0,
                   int stateByte = 16);

// Runs `act` on the next modal message box once it is shown (checked
// every 10 ms, given up after 5 s). `act` receives the box.
void OnNextModal(std::function<void(QWidget*)> act);
// Presses the button with `caption` on the next message box and stores the
// box's text and title.
void AnswerNextMessageBox(const QString& caption, QString* text = nullptr,
                          QString* title = nullptr);

}  // namespace keelnode::testing

// Readable QStrings in assertion messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
