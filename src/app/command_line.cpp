#include "app/command_line.h"

#include <ostream>

#include "app/document_printer.h"
#include "app/input_text.h"
#include "json/escape_decoding.h"
#include "json/json_document.h"

namespace keelnode {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 64;

constexpr const char* kUsage =
    "usage: keelnode --tree | --paths | --nodes [--zero-based] [--single-quotes]\n"
    "                [--decode-first] [--compact-paths] [--decoded] FILE|-|ADDRESS\n"
    "\n"
    "Prints what the window shows for a JSON document, in UTF-8:\n"
    "  --tree     one line per tree item, indented two spaces per level\n"
    "  --paths    one line per item below the root: path, TAB, value\n"
    "  --nodes    one JSON object per node: level, kind, name, value\n"
    "Options (the window's check boxes):\n"
    "  --zero-based     array items counted from [0] (default [1])\n"
    "  --single-quotes  single-quoted JSON converted first\n"
    "  --decode-first   escapes decoded before parsing\n"
    "  --compact-paths  paths written as a[0].b instead of a.[0].b\n"
    "  --decoded        print the decoded value instead of the value\n"
    "The input is a file, - for standard input, or an http:// or https://\n"
    "address.\n";

enum class Mode { kTree, kPaths, kNodes };

struct Options {
  Mode mode = Mode::kTree;
  bool zeroBased = false;
  bool singleQuotes = false;
  bool decodeFirst = false;
  bool compactPaths = false;
  bool decoded = false;
  std::string input;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options) {
  if (args.empty()) return false;
  if (args[0] == "--tree") {
    options.mode = Mode::kTree;
  } else if (args[0] == "--paths") {
    options.mode = Mode::kPaths;
  } else if (args[0] == "--nodes") {
    options.mode = Mode::kNodes;
  } else {
    return false;
  }
  bool have_input = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--zero-based") {
      options.zeroBased = true;
    } else if (a == "--single-quotes") {
      options.singleQuotes = true;
    } else if (a == "--decode-first") {
      options.decodeFirst = true;
    } else if (a == "--compact-paths") {
      options.compactPaths = true;
    } else if (a == "--decoded") {
      options.decoded = true;
    } else if (a.size() > 1 && a[0] == '-' && !have_input) {
      return false;  // an unknown option
    } else if (have_input) {
      return false;  // a second input
    } else {
      options.input = a;
      have_input = true;
    }
  }
  return have_input;
}

bool IsAddress(const std::string& input) {
  auto starts = [&](std::string_view scheme) {
    if (input.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      char c = input[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (c != scheme[i]) return false;
    }
    return true;
  };
  return starts("http://") || starts("https://");
}

bool ReadInput(const Options& options, CommandLineIo& io, std::string& text) {
  std::string bytes;
  if (IsAddress(options.input)) {
    text = io.fetch ? io.fetch(options.input) : std::string();
    if (text.empty()) {
      io.err << "keelnode: cannot fetch " << options.input << "\n";
      return false;
    }
    return true;
  }
  if (options.input == "-") {
    if (!io.readStdin || !io.readStdin(bytes)) {
      io.err << "keelnode: cannot read standard input\n";
      return false;
    }
  } else {
    std::string error;
    if (!ReadWholeFile(options.input, bytes, &error)) {
      io.err << "keelnode: cannot read " << options.input << ": " << error << "\n";
      return false;
    }
  }
  text = InputBytesToText(bytes);
  return true;
}

}  // namespace

bool IsCommandLineMode(const std::string& argument) {
  return argument == "--tree" || argument == "--paths" || argument == "--nodes";
}

int RunCommandLine(const std::vector<std::string>& args, CommandLineIo& io) {
  Options options;
  if (!ParseOptions(args, options)) {
    io.err << kUsage;
    return kExitUsage;
  }
  std::string text;
  if (!ReadInput(options, io, text)) return kExitUnreadable;
  if (options.decodeFirst) text = decodeHtmlEntities(decodeUnicodeEscapes(text, false));
  JsonDocument doc;
  doc.loadOwned(std::move(text), options.zeroBased, options.singleQuotes);
  switch (options.mode) {
    case Mode::kTree:
      PrintTreeLines(doc, io.out);
      break;
    case Mode::kPaths:
      PrintPathLines(doc, {options.compactPaths, options.decoded}, io.out);
      break;
    case Mode::kNodes:
      PrintNodeLines(doc, io.out);
      break;
  }
  io.out.flush();
  return kExitOk;
}

}  // namespace keelnode
