#include "app/command_line.h"

#include <ostream>

#include "app/document_printer.h"
#include "app/input_text.h"
#include "json/escape_decoding.h"
#include "json/json_document.h"
#include "json/path_syntax.h"
#include "net/fetch_address.h"
#include "services/code_page.h"
#include "services/memory_budget.h"
#include "services/regex_service.h"

namespace keelnode {
namespace {

bool ReadInput(const std::string& input, CommandLineIo& io, std::string& text) {
  std::string bytes;
  if (roadFor(input) != FetchRoad::kNone) {
    // Arguments arrive in UTF-8; the fetch takes program text.
    FetchResult fetched =
        io.fetch ? io.fetch(Utf8ToGb18030(input)) : Fail(FetchFailure::kUnavailable);
    if (!fetched) {
      io.err << "keelnode: cannot fetch " << input << ": " << fetchFailureText(fetched.error())
             << "\n";
      return false;
    }
    if (fetched->empty()) {
      io.err << "keelnode: cannot fetch " << input << ": the response is empty\n";
      return false;
    }
    text = std::move(fetched).value();
    return true;
  }
  if (input == "-") {
    if (!io.readStdin || !io.readStdin(bytes)) {
      io.err << "keelnode: cannot read standard input\n";
      return false;
    }
  } else {
    std::string error;
    if (!ReadWholeFile(input, bytes, &error)) {
      io.err << "keelnode: cannot read " << input << ": " << error << "\n";
      return false;
    }
  }
  text = InputBytesToText(bytes);
  return true;
}

// A search request in the tree item list's terms: the text as program text.
struct LabelQuery {
  std::string text;
  MatchMode mode;
  LetterCase letterCase;
  LabelSearch search() const { return {.text = text, .mode = mode, .letterCase = letterCase}; }
};

LabelQuery QueryOf(const SearchRequest& search) {
  return {
      .text = InputBytesToText(search.text), .mode = search.mode, .letterCase = search.letterCase};
}

// An expression the engine rejects would match nothing and look like an
// empty result; it is bad usage instead.
bool PatternCompiles(const LabelQuery& query) {
  if (query.mode == MatchMode::kPlain) return true;
  RegexService regex;
  return regex.Compile(
      query.mode == MatchMode::kWildcard ? RegexService::WildcardToPattern(query.text) : query.text,
      query.letterCase == LetterCase::kIgnore, true, false);
}

// The syntaxes a --value path is read in, in turn: the one --path-syntax
// names; else the compact form alone
// when paths are compact (as the window reads the path box), else the
// internal form and, when that names nothing, the compact one.
std::vector<PathSyntax> PathReadings(const ProgramCommand& command) {
  if (command.pathSyntax) return {*command.pathSyntax};
  const DocumentOptions& options = command.document;
  if (options.compactPaths) return {PathSyntax::kCompact};
  return {PathSyntax::kInternal, PathSyntax::kCompact};
}

int PrintValue(const ProgramCommand& command, const JsonDocument& doc, CommandLineIo& io) {
  const std::string path = InputBytesToText(command.path);
  int node = -1;
  for (PathSyntax syntax : PathReadings(command)) {
    node = FindNodeByPath(doc, path, syntax);
    if (node != -1) break;
  }
  if (node == -1) {
    io.err << "keelnode: nothing at " << command.path << "\n";
    return kExitNotFound;
  }
  // What the value box shows for the node: the whole document, whitespace
  // compacted, for the root.
  std::string value =
      node == 1 ? doc.valueAtPath({}, 0) : doc.displayValue(doc.store().valueView(node));
  if (command.document.decoded) value = decodeHtmlEntities(decodeUnicodeEscapes(value, false));
  PrintValueLine(value, io.out);
  return kExitOk;
}

int PrintSearch(const LabelQuery& query, const ProgramCommand& command, const JsonDocument& doc,
                CommandLineIo& io) {
  // Plain mode with no text finds nothing, as in the window.
  if (query.mode == MatchMode::kPlain && query.text.empty()) return kExitNotFound;
  const Result<std::vector<int>, RegexError> items = doc.buildTreeItems().FindAll(query.search());
  // Nothing is printed then: the labels after that one were never tried.
  if (!items) {
    io.err << "keelnode: the search stopped: " << items.error().message << "\n";
    return kExitRunaway;
  }
  std::vector<int> nodes;
  nodes.reserve(items->size());
  for (int item : *items)
    nodes.push_back(item + 1);  // tree item k shows node k + 1
  const PathSyntax syntax = command.pathSyntax.value_or(
      command.document.compactPaths ? PathSyntax::kCompact : PathSyntax::kInternal);
  PrintPathList(doc, nodes, syntax, io.out);
  return nodes.empty() ? kExitNotFound : kExitOk;
}

// Output that did not reach its destination (a full disk, a closed stdout)
// is a failure, never a silent success.
int FinishOutput(CommandLineIo& io, int status) {
  io.out.flush();
  if (io.out) return status;
  io.err << "keelnode: cannot write the output\n";
  return kExitUnreadable;
}

}  // namespace

std::string UsageErrorLine(const std::string& reason) {
  return "keelnode: " + reason + "; see keelnode --help\n";
}

int RunPrintingCommand(const ProgramCommand& command, CommandLineIo& io) {
  const LabelQuery query = QueryOf(command.search);
  if (command.action == Action::kSearch && !PatternCompiles(query)) {
    io.err << UsageErrorLine(
        "not a valid " +
        std::string(query.mode == MatchMode::kWildcard ? "wildcard" : "regular expression") + ": " +
        command.search.text);
    return kExitUsage;
  }
  std::string text;
  if (!ReadInput(command.input, io, text)) return kExitUnreadable;
  const DocumentOptions& options = command.document;
  if (options.decodeFirst) text = decodeHtmlEntities(decodeUnicodeEscapes(text, false));
  // Refused up front rather than killed by the kernel halfway through.
  if (const auto fits = CheckLoadFits(text, LoadHolder::kCommandLine); !fits) {
    io.err << "keelnode: not enough memory to load " << command.input << ": it needs about "
           << WholeMebibytes(fits.error().estimate.peakBytes) << " MiB, "
           << WholeMebibytes(fits.error().availableBytes) << " MiB are available\n";
    return kExitUnreadable;
  }
  JsonDocument doc;
  doc.loadOwned(std::move(text), options.zeroBased, options.singleQuotes);
  int status = kExitOk;
  switch (command.action) {
    case Action::kTree:
      PrintTreeLines(doc, io.out);
      break;
    case Action::kPaths:
      PrintPathLines(doc,
                     {.compactPaths = options.compactPaths,
                      .decoded = options.decoded,
                      .syntax = command.pathSyntax},
                     io.out);
      break;
    case Action::kNodes:
      PrintNodeLines(doc, io.out);
      break;
    case Action::kValue:
      status = PrintValue(command, doc, io);
      break;
    case Action::kSearch:
      status = PrintSearch(query, command, doc, io);
      break;
    case Action::kWindow:
    case Action::kHelp:
    case Action::kVersion:
      break;
  }
  return FinishOutput(io, status);
}

int RunCommandLine(const std::vector<std::string>& args, CommandLineIo& io) {
  std::string error;
  const std::optional<ProgramCommand> command = ParseProgramCommand(args, &error);
  if (command && command->action == Action::kWindow) error = "no mode given";
  if (!command || command->action == Action::kWindow) {
    io.err << UsageErrorLine(error);
    return kExitUsage;
  }
  if (command->action == Action::kHelp) {
    io.out << HelpText();
  } else if (command->action == Action::kVersion) {
    io.out << VersionLine();
  } else {
    return RunPrintingCommand(*command, io);
  }
  return FinishOutput(io, kExitOk);
}

}  // namespace keelnode
