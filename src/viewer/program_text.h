// Crossing between the program's text (GB18030 bytes) and Qt's QString.
//
// Widgets, the clipboard and file names speak UTF-16; everything behind them
// holds GB18030 in std::string. These are the only places that convert.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace keelnode {

QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

// A literal written in the source (UTF-8) as program text, e.g. a caption
// that goes into a tree label.
std::string ProgramText(std::string_view utf8);

// The longest beginning of `text` of at most `bytes` bytes that ends on a
// character boundary.
std::string_view PrefixWithin(std::string_view text, size_t bytes);

// Multi-line boxes give their line breaks as "\n"; the program's line break
// is CR LF, as on the platform its data files come from.
std::string FromMultiLineQString(const QString& text);

}  // namespace keelnode
