#include "viewer/text_box.h"

#include <QTextCursor>
#include <utility>

#include "viewer/program_text.h"

namespace keelnode {

void TextBox::setProgramText(std::string text) {
  if (!cut_) ownReadOnly_ = isReadOnly();
  whole_ = nullptr;
  text_ = std::move(text);
  cut_ = displayLimit_ > 0 && text_.size() > displayLimit_;
  // Finding word boundaries in a long run without blanks takes time that
  // grows with the square of its length; long texts wrap anywhere instead.
  const size_t shown = cut_ ? displayLimit_ : text_.size();
  setWordWrapMode(shown > kWordWrapLimit ? QTextOption::WrapAnywhere
                                         : QTextOption::WrapAtWordBoundaryOrAnywhere);
  if (cut_) {
    const std::string_view head = PrefixWithin(text_, displayLimit_);
    setPlainText(
        ToQString(head) +
        QStringLiteral("\n……（内容过长，只显示开头 %1 字节，共 %2 字节；复制命令复制全部内容）")
            .arg(head.size())
            .arg(text_.size()));
  } else {
    setPlainText(ToQString(text_));
  }
  setReadOnly(cut_ || ownReadOnly_);
  document()->setModified(false);
}

void TextBox::setProgramTextHead(std::string head, std::function<std::string()> whole) {
  if (!cut_) ownReadOnly_ = isReadOnly();
  whole_ = std::move(whole);
  text_ = std::move(head);
  cut_ = true;
  const std::string_view shown =
      PrefixWithin(text_, displayLimit_ > 0 ? displayLimit_ : text_.size());
  setWordWrapMode(shown.size() > kWordWrapLimit ? QTextOption::WrapAnywhere
                                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
  setPlainText(ToQString(shown) +
               QStringLiteral("\n……（内容过长，只显示开头 %1 字节；复制命令复制全部内容）")
                   .arg(shown.size()));
  setReadOnly(true);
  document()->setModified(false);
}

std::string TextBox::programText() const {
  if (!document()->isModified()) return whole_ ? whole_() : text_;
  return FromMultiLineQString(toPlainText());
}

void TextBox::appendProgramText(std::string_view text) {
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.insertText(ToQString(text));
  document()->setModified(true);
}

}  // namespace keelnode
