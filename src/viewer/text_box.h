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
  std::string programText() const;
  void appendProgramText(std::string_view text);
  bool isCut() const { return cut_; }
  // Bytes shown at most; 0 (the default) shows everything.
  void setDisplayLimit(size_t bytes) { displayLimit_ = bytes; }

 private:
  size_t displayLimit_ = 0;
  std::string text_;  // as set, while the document is unmodified
  bool cut_ = false;
  bool ownReadOnly_ = false;  // the read-only state the owner chose
};

}  // namespace keelnode
