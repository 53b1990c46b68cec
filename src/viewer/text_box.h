// A multi-line edit box that holds program text.
//
// What was set comes back byte for byte (line breaks and all) as long as the
// user has not edited the box; after an edit the box's own text is taken,
// with CR LF line breaks. A text beyond the display limit shows only its
// beginning and a note, and the box is read-only until the next text: a
// laid-out document of many megabytes would stall the window.
#pragma once

#include <QPlainTextEdit>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace keelnode {

class TextBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TextBox(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

  // Texts up to this many bytes wrap at word boundaries.
  static constexpr size_t kWordWrapLimit = 32 << 10;

  void setProgramText(std::string text);
  // A text too long to show whole, given by its beginning (at least the
  // display limit): `whole` makes all of it when it is asked for, so a
  // long value costs only what is shown until it is copied.
  void setProgramTextHead(std::string head, std::function<std::string()> whole);
  std::string programText() const;
  void appendProgramText(std::string_view text);
  bool isCut() const { return cut_; }
  // Bytes shown at most; 0 (the default) shows everything.
  void setDisplayLimit(size_t bytes) { displayLimit_ = bytes; }
  size_t displayLimit() const { return displayLimit_; }

 private:
  size_t displayLimit_ = 0;
  std::string text_;                    // as set, while the document is unmodified
  std::function<std::string()> whole_;  // when text_ is only the beginning
  bool cut_ = false;
  bool ownReadOnly_ = false;  // the read-only state the owner chose
};

}  // namespace keelnode
