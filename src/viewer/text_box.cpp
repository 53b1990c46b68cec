#include "viewer/text_box.h"

#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>
#include <algorithm>
#include <utility>

#include "services/code_page.h"
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
    showWhole();
  }
  setReadOnly(cut_ || ownReadOnly_);
  document()->setModified(false);
}

namespace {

// The box's picture of a program text: every line break (CR LF, LF, a lone
// CR) one "\n", so that an editor that writes its own breaks cannot change
// them unseen; `sources` gets each unit's byte offset.
QString DisplayText(std::string_view text, std::vector<size_t>& sources) {
  std::vector<size_t> decoded;
  const std::u16string utf16 = Gb18030ToUtf16(text, &decoded);
  QString out;
  out.reserve(static_cast<qsizetype>(utf16.size()));
  sources.clear();
  sources.reserve(utf16.size() + 1);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char16_t unit = utf16[i];
    if (unit == u'\r') {
      if (i + 1 < utf16.size() && utf16[i + 1] == u'\n') continue;  // the LF stands for both
      unit = u'\n';
    }
    const bool crlf = unit == u'\n' && i > 0 && utf16[i - 1] == u'\r';
    out.append(QChar(unit));
    sources.push_back(crlf ? decoded[i - 1] : decoded[i]);
  }
  sources.push_back(text.size());
  return out;
}

// The line break a text mostly uses: CR LF, LF or CR; CR LF when it has none.
std::string_view DominantLineBreak(std::string_view text) {
  size_t crlf = 0, lf = 0, cr = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++crlf;
      ++i;
    } else if (text[i] == '\n') {
      ++lf;
    } else if (text[i] == '\r') {
      ++cr;
    }
  }
  if (lf > crlf && lf >= cr) return "\n";
  if (cr > crlf && cr > lf) return "\r";
  return "\r\n";
}

}  // namespace

void TextBox::showWhole() {
  setPlainText(DisplayText(text_, sources_));
  shown_ = toPlainText();
  // The box gives back what it was given, one unit for one; should it ever
  // not, the spliced text falls back to the box's whole text.
  if (static_cast<size_t>(shown_.size()) + 1 != sources_.size()) sources_.clear();
}

std::string TextBox::splicedText() const {
  const QString now = toPlainText();
  const std::string_view lineBreak = DominantLineBreak(text_);
  auto bytesOf = [&](const QString& part) {
    std::string out;
    const QStringList lines = part.split(QLatin1Char('\n'));
    for (qsizetype k = 0; k < lines.size(); ++k) {
      if (k > 0) out += lineBreak;
      out += FromQString(lines[k]);
    }
    return out;
  };
  if (sources_.empty()) return bytesOf(now);
  // The unchanged beginning and end keep their bytes; the stretch between
  // comes from the box. Never inside a surrogate pair: both halves came
  // from the same bytes.
  const qsizetype limit = std::min(now.size(), shown_.size());
  qsizetype head = 0;
  while (head < limit && now[head] == shown_[head])
    ++head;
  while (head > 0 && sources_[head] == sources_[head - 1])
    --head;
  qsizetype tail = 0;
  while (tail < limit - head && now[now.size() - 1 - tail] == shown_[shown_.size() - 1 - tail])
    ++tail;
  while (tail > 0 && tail < shown_.size() &&
         sources_[shown_.size() - tail] == sources_[shown_.size() - tail - 1])
    --tail;
  const size_t from = sources_[head];
  const size_t to = sources_[shown_.size() - tail];
  return text_.substr(0, from) + bytesOf(now.mid(head, now.size() - head - tail)) +
         text_.substr(to);
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
  if (cut_) return FromMultiLineQString(toPlainText());
  // Compared by content: an edit undone by hand gives the text back.
  if (toPlainText() == shown_) return text_;
  return splicedText();
}

void TextBox::appendProgramText(std::string_view text) {
  if (cut_) {
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(ToQString(text));
    document()->setModified(true);
    return;
  }
  // The appended bytes join the text as they are; the box shows the whole
  // again, its scroll position kept.
  std::string whole = programText();
  whole.append(text);
  text_ = std::move(whole);
  const int scrolled = verticalScrollBar()->value();
  showWhole();
  verticalScrollBar()->setValue(scrolled);
  document()->setModified(true);
}

}  // namespace keelnode
