#include "app/program_command.h"

#include <string_view>

namespace keelnode {
namespace {

constexpr const char* kHelp =
    "usage: keelnode [--data-dir DIR] [--new-window] [FILE...]\n"
    "       keelnode --tree | --paths | --nodes [OPTION...] FILE|-|ADDRESS\n"
    "       keelnode --value PATH [OPTION...] FILE|-|ADDRESS\n"
    "       keelnode --search TEXT [--wildcard | --regex] [--ignore-case] [OPTION...]\n"
    "                FILE|-|ADDRESS\n"
    "       keelnode --help | --version\n"
    "\n"
    "Without a mode keelnode opens its window and loads each FILE (at most 7;\n"
    "- for standard input) into the current tab and the tabs after it. When a\n"
    "window already runs on the same data folder, the files go to that window.\n"
    "  --data-dir DIR   keep the settings and tab files in DIR\n"
    "  --new-window     open another window even so (it saves nothing)\n"
    "Qt's own options (-style, -platform, ...) are passed to the window.\n"
    "\n"
    "Modes print, in UTF-8, what the window shows (CR, LF and TAB inside a\n"
    "text written as \\r, \\n and \\t):\n"
    "  --tree           one line per tree item, indented two spaces per level\n"
    "  --paths          one line per item below the root: path, TAB, value\n"
    "  --nodes          one JSON object per node: level, kind, name, value\n"
    "  --value PATH     the value at PATH, written a.[0].b or a[0].b\n"
    "  --search TEXT    the path of every item whose label contains TEXT\n"
    "    --wildcard     TEXT is a wildcard: * any text, ? at most one character\n"
    "    --regex        TEXT is a regular expression\n"
    "    --ignore-case  letters match in either case\n"
    "  --path-syntax js|jq|jsonpath|pointer|python\n"
    "                   with --paths, --value or --search: paths written and\n"
    "                   read as JavaScript (a[0].b), jq (.a[0].b), JSONPath\n"
    "                   ($.a[0].b), JSON Pointer (/a/0/b) or Python\n"
    "                   ([\"a\"][0][\"b\"]), indices from 0, names decoded\n"
    "Options (the window's check boxes):\n"
    "  --zero-based     array items counted from [0] (default [1])\n"
    "  --single-quotes  single-quoted JSON converted first\n"
    "  --decode-first   escapes decoded before parsing\n"
    "  --compact-paths  paths written and read as a[0].b instead of a.[0].b\n"
    "  --decoded        the decoded value instead of the value\n"
    "The input is a file, - for standard input, or an http:// or https://\n"
    "address.\n"
    "\n"
    "Exit status: 0 done; 1 the path or the search found nothing; 2 the input\n"
    "cannot be read; 3 the search expression ran away (too complex for a label);\n"
    "64 bad usage.\n";

// Qt's own options, handed on to it untouched when the window opens.
struct QtOption {
  std::string_view name;
  bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"display", true},         {"geometry", true},
    {"style", true},           {"stylesheet", true},
    {"qmljsdebugger", true},   {"reverse", false},
    {"widgetcount", false},
};

// Reads the arguments one after another; every method returns false with
// `error` set on bad usage.
class Reader {
 public:
  Reader(const std::vector<std::string>& args, std::string* error) : args_(args), error_(*error) {}

  std::optional<ProgramCommand> Read() {
    bool optionsEnded = false;
    for (k_ = 0; k_ < args_.size(); ++k_) {
      const std::string& arg = args_[k_];
      if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
        operands_.push_back(arg);
      } else if (arg == "--") {
        optionsEnded = true;
      } else if (arg == "--help" || arg == "-h") {
        command_.action = Action::kHelp;
        return command_;
      } else if (arg == "--version") {
        command_.action = Action::kVersion;
        return command_;
      } else if (!ReadOption(arg)) {
        return std::nullopt;
      }
    }
    if (!Finish()) return std::nullopt;
    return std::move(command_);
  }

 private:
  bool Fail(std::string reason) {
    error_ = std::move(reason);
    return false;
  }

  // The value of an option: "--name=value" or the next argument.
  bool Value(std::string_view arg, std::string_view name, std::string& value) {
    if (arg.size() > name.size()) {
      value = arg.substr(name.size() + 1);
      return true;
    }
    if (k_ + 1 == args_.size()) return Fail(std::string(name) + " needs a value");
    value = args_[++k_];
    return true;
  }

  // Whether `arg` is the option `name`, alone or as "name=value".
  static bool Is(std::string_view arg, std::string_view name) {
    return arg == name ||
           (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
  }

  bool SetAction(Action action, std::string_view arg) {
    if (command_.action != Action::kWindow) {
      return Fail("one mode at a time: " + std::string(actionOption_) + " and " + std::string(arg));
    }
    command_.action = action;
    actionOption_ = arg.substr(0, arg.find('='));
    return true;
  }

  bool ReadOption(std::string_view arg) {
    DocumentOptions& document = command_.document;
    if (arg == "--tree") return SetAction(Action::kTree, arg);
    if (arg == "--paths") return SetAction(Action::kPaths, arg);
    if (arg == "--nodes") return SetAction(Action::kNodes, arg);
    if (Is(arg, "--value")) {
      return SetAction(Action::kValue, arg) && Value(arg, "--value", command_.path);
    }
    if (Is(arg, "--search")) {
      return SetAction(Action::kSearch, arg) && Value(arg, "--search", command_.search.text);
    }
    if (arg == "--zero-based") return Printing(arg, document.zeroBased);
    if (arg == "--single-quotes") return Printing(arg, document.singleQuotes);
    if (arg == "--decode-first") return Printing(arg, document.decodeFirst);
    if (arg == "--compact-paths") return Printing(arg, document.compactPaths);
    if (arg == "--decoded") return Printing(arg, document.decoded);
    if (Is(arg, "--path-syntax")) {
      printingOptions_.push_back("--path-syntax");
      std::string name;
      if (!Value(arg, "--path-syntax", name)) return false;
      command_.pathSyntax = PathSyntaxNamed(name);
      if (!command_.pathSyntax)
        return Fail("unknown path syntax " + name + ": js, jq, jsonpath, pointer or python");
      return true;
    }
    if (arg == "--wildcard") return Match(arg, MatchMode::kWildcard);
    if (arg == "--regex") return Match(arg, MatchMode::kPattern);
    if (arg == "--ignore-case") {
      searchOptions_.push_back(std::string(arg));
      command_.search.letterCase = LetterCase::kIgnore;
      return true;
    }
    if (Is(arg, "--data-dir")) {
      windowOptions_.push_back("--data-dir");
      std::string dir;
      if (!Value(arg, "--data-dir", dir)) return false;
      if (dir.empty()) return Fail("--data-dir needs a folder");
      command_.window.dataDir = std::move(dir);
      return true;
    }
    if (arg == "--new-window") {
      windowOptions_.push_back(std::string(arg));
      command_.window.launch = Launch::kNewWindow;
      return true;
    }
    if (const std::optional<bool> read = QtOptionAt(arg)) return *read;
    return Fail("unknown option " + std::string(arg));
  }

  bool Printing(std::string_view arg, bool& flag) {
    printingOptions_.push_back(std::string(arg));
    flag = true;
    return true;
  }

  bool Match(std::string_view arg, MatchMode mode) {
    if (command_.search.mode != MatchMode::kPlain && command_.search.mode != mode)
      return Fail("--wildcard and --regex exclude each other");
    searchOptions_.push_back(std::string(arg));
    command_.search.mode = mode;
    return true;
  }

  // One of Qt's options ("-style x", "-style=x", "--style x"), with its
  // value; nothing when `arg` is none of them.
  std::optional<bool> QtOptionAt(std::string_view arg) {
    std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
    const size_t equals = name.find('=');
    const bool inlineValue = equals != std::string_view::npos;
    name = name.substr(0, equals);
    for (const QtOption& option : kQtOptions) {
      if (option.name != name || (inlineValue && !option.takesValue)) continue;
      if (option.takesValue && !inlineValue) {
        if (k_ + 1 == args_.size()) return Fail(std::string(arg) + " needs a value");
        ++k_;
      }
      windowOptions_.push_back(std::string(arg.substr(0, arg.find('='))));
      return true;
    }
    return std::nullopt;
  }

  // The checks that need every argument seen.
  bool Finish() {
    const Action action = command_.action;
    if (action == Action::kWindow) {
      if (!printingOptions_.empty() || !searchOptions_.empty()) {
        const std::string& option =
            printingOptions_.empty() ? searchOptions_.front() : printingOptions_.front();
        return Fail(option + " belongs to a mode: --tree, --paths, --nodes, --value or --search");
      }
      if (operands_.size() > kMostStartFiles) return Fail("at most 7 files, one per tab");
      command_.window.files = std::move(operands_);
      return true;
    }
    if (!windowOptions_.empty())
      return Fail(windowOptions_.front() + " is for the window, not for " +
                  std::string(actionOption_));
    if (command_.pathSyntax && (action == Action::kTree || action == Action::kNodes))
      return Fail("--path-syntax belongs to --paths, --value or --search, not to " +
                  std::string(actionOption_));
    if (!searchOptions_.empty() && action != Action::kSearch)
      return Fail(searchOptions_.front() + " belongs to --search");
    if (operands_.empty())
      return Fail(std::string(actionOption_) + " needs a file, - or an address");
    if (operands_.size() > 1) return Fail("one input at a time: " + operands_[1]);
    command_.input = std::move(operands_.front());
    return true;
  }

  const std::vector<std::string>& args_;
  std::string& error_;
  size_t k_ = 0;
  ProgramCommand command_;
  std::string_view actionOption_;
  std::vector<std::string> operands_;
  std::vector<std::string> printingOptions_;
  std::vector<std::string> searchOptions_;
  std::vector<std::string> windowOptions_;
};

}  // namespace

std::optional<ProgramCommand> ParseProgramCommand(const std::vector<std::string>& args,
                                                  std::string* error) {
  return Reader(args, error).Read();
}

const char* HelpText() {
  return kHelp;
}

std::string VersionLine() {
  return "keelnode " KEELNODE_VERSION "\n";
}

}  // namespace keelnode
