// A multi-line edit box that holds program text.
//
// What was set comes back byte for byte: line breaks (CR LF, LF, a lone CR)
// and bytes that are no character stay as they came. The box shows every
// line break as its own; after an edit only the edited stretch is taken from
// the box, its line breaks written the way the text mostly wrote them (CR LF
// when it had none), and an edit undone gives the bytes back. A text beyond the display limit shows
// only its beginning and a note, and the box is read-only until the next text: a laid-out document
// of many megabytes would stall the window.
#pragma once

#include <QPlainTextEdit>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
  // Shows text_ whole, remembering what the box holds for it.
  void showWhole();
  // text_ with the box's edits spliced in (the box differs from shown_).
  std::string splicedText() const;

  size_t displayLimit_ = 0;
  std::string text_;             // as set (or as last appended to); the box showed it as shown_
  QString shown_;                // the box's text right after text_ was shown (not cut)
  std::vector<size_t> sources_;  // byte offset in text_ of each unit of shown_
  std::function<std::string()> whole_;  // when text_ is only the beginning
  bool cut_ = false;
  bool ownReadOnly_ = false;  // the read-only state the owner chose
};

}  // namespace keelnode
