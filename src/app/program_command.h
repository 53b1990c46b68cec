// What one start of the program is asked to do, read from its arguments:
// open the window, print a document (--tree, --paths, --nodes), print the
// value at a path (--value), print the paths of matching items (--search),
// or tell its usage or version. Every argument is either understood or
// refused; none is passed over.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/window_arguments.h"
#include "json/path_syntax.h"
#include "json/text_matcher.h"

namespace keelnode {

enum class Action { kWindow, kTree, kPaths, kNodes, kValue, kSearch, kHelp, kVersion };

// The window's check boxes, as the printing actions take them.
struct DocumentOptions {
  bool zeroBased = false;     // "数组从0开始"
  bool singleQuotes = false;  // "单引号格式"
  bool decodeFirst = false;   // "先行解码"
  bool compactPaths = false;  // "数组独立节点" unchecked: a[0].b
  bool decoded = false;       // the decoded-value box instead of the value box
};

// A --search request: the text as given (UTF-8) and the search bar's
// switches (MatchMode, LetterCase: json/text_matcher.h).
struct SearchRequest {
  std::string text;
  MatchMode mode = MatchMode::kPlain;
  LetterCase letterCase = LetterCase::kExact;
};

struct ProgramCommand {
  Action action = Action::kWindow;
  DocumentOptions document;
  std::string path;  // --value
  // --path-syntax: paths printed (--paths, --search) and read (--value) in
  // another tool's syntax instead of the path box's.
  std::optional<PathSyntax> pathSyntax;
  SearchRequest search;    // --search
  std::string input;       // a file, "-" or an address
  WindowArguments window;  // Action::kWindow
};

// Exit statuses of the printing actions.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNotFound = 1;
inline constexpr int kExitUnreadable = 2;
// --search stopped: its expression ran away on a label (one line on stderr).
inline constexpr int kExitRunaway = 3;
inline constexpr int kExitUsage = 64;

// The arguments after the program name. Nothing, with a one-line reason in
// `error`, on bad usage.
std::optional<ProgramCommand> ParseProgramCommand(const std::vector<std::string>& args,
                                                  std::string* error);

// The text of --help: every option, one line or more each.
const char* HelpText();

// What the program prints for --version.
std::string VersionLine();

}  // namespace keelnode
