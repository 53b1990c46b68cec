#include "services/regex_service.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "services/code_page.h"
#include "services/mbcs.h"

// How the VBScript-like semantics are reached on PCRE2:
//
// - The pattern is converted to UTF-8 and translated (TranslatePattern) so
//   that PCRE2 reads it the way VBScript reads it: with multi-line on, "^"
//   and "$" outside character classes become lookarounds that hold at every
//   CR and every LF (also between CR and LF) and at the ends of the subject;
//   "\v" is the vertical tab only; escapes that only PCRE2 knows ("\A",
//   "\h", "\Q", "\R", "\K", ...) stand for their letter, as in VBScript; a
//   "[" inside a class is literal (no POSIX classes); a hyphen next to a
//   class escape inside a class is literal; "(*" is rejected (VBScript has
//   nothing to repeat there, and PCRE2 would read a start-of-pattern verb).
// - Compile options: UTF (never UCP, so "\s" is space, TAB, LF, VT, FF, CR
//   and "\d" is 0-9), ALT_BSUX ("\uXXXX", "\xXX" as in JScript),
//   ALLOW_EMPTY_CLASS ("[]" matches nothing, "[^]" anything),
//   MATCH_UNSET_BACKREF (a reference to an unset group matches empty),
//   DOLLAR_ENDONLY (without multi-line "$" is the very end only), and the
//   newline convention ANYCRLF, so "." matches anything but CR and LF;
//   AUTO_CALLOUT, so that every item tried spends the work budget.
// - Global matching follows JScript: after an empty match the next search
//   starts one character later; after a non-empty match, at its end.
namespace keelnode {
namespace {

constexpr uint32_t kCompileOptions =
    PCRE2_AUTO_CALLOUT | PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
    PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;

constexpr const char kLineStart[] = "(?<![^\\r\\n])";
constexpr const char kLineEnd[] = "(?![^\\r\\n])";

bool IsAscii(std::string_view text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; i < n; ++i) {
    if (p[i] & 0x80) return false;
  }
  return true;
}

bool IsAsciiLetter(unsigned char c) {
  return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

bool IsClassEscapeLetter(unsigned char c) {
  return c == 'd' || c == 'D' || c == 'w' || c == 'W' || c == 's' || c == 'S';
}

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

// Appends the escape at text[i] (a backslash) as PCRE2 should read it;
// returns the number of input bytes used. `class_escape` tells whether it is
// one of \d \D \w \W \s \S.
size_t TranslateEscape(std::string_view in, size_t i, bool in_class, std::string& out,
                       bool& class_escape) {
  class_escape = false;
  if (i + 1 >= in.size()) {  // a trailing backslash: PCRE2 rejects it, as VBScript does
    out.push_back('\\');
    return 1;
  }
  unsigned char c = static_cast<unsigned char>(in[i + 1]);
  if (c >= 0x80) {  // an escaped non-ASCII character is that character
    size_t len = Utf8SequenceLength(c);
    if (i + 1 + len > in.size()) len = in.size() - i - 1;
    out.push_back('\\');
    out.append(in.substr(i + 1, len));
    return 1 + len;
  }
  if (!IsAsciiLetter(c)) {  // digits (references, octal) and escaped punctuation
    out.push_back('\\');
    out.push_back(static_cast<char>(c));
    return 2;
  }
  switch (c) {
    case 'd':
    case 'D':
    case 'w':
    case 'W':
    case 's':
    case 'S':
      class_escape = true;
      [[fallthrough]];
    case 'f':
    case 'n':
    case 'r':
    case 't':
    case 'x':  // ALT_BSUX: "\x" with two hex digits, else the letter
    case 'u':  // ALT_BSUX: "\u" with four hex digits, else the letter
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
      return 2;
    case 'b':  // word boundary outside a class, backspace inside: the same in both
      out.append("\\b");
      return 2;
    case 'B':
      if (in_class) {
        out.push_back('B');
      } else {
        out.append("\\B");
      }
      return 2;
    case 'v':
      out.append("\\x0B");
      return 2;
    case 'c':
      if (i + 2 < in.size() && IsAsciiLetter(static_cast<unsigned char>(in[i + 2]))) {
        out.append("\\c");
        out.push_back(in[i + 2]);
        return 3;
      }
      out.append("\\\\c");  // a backslash and the letter c
      return 2;
    default:  // letters VBScript does not know as escapes stand for themselves
      out.push_back(static_cast<char>(c));
      return 2;
  }
}

// Translates a UTF-8 pattern in VBScript syntax into PCRE2 syntax. False
// when the pattern is one VBScript rejects in a way PCRE2 would not.
bool TranslatePattern(std::string_view in, bool multiline, std::string& out) {
  out.clear();
  out.reserve(in.size() + 16);
  bool in_class = false;
  bool previous_class_escape = false;  // inside a class: the last item was \d and the like
  size_t i = 0;
  while (i < in.size()) {
    char c = in[i];
    if (c == '\\') {
      bool class_escape = false;
      i += TranslateEscape(in, i, in_class, out, class_escape);
      previous_class_escape = class_escape;
      continue;
    }
    if (in_class) {
      if (c == ']') {
        in_class = false;
        out.push_back(']');
      } else if (c == '[') {
        out.append("\\[");
      } else if (c == '-') {
        bool next_class_escape = i + 2 < in.size() && in[i + 1] == '\\' &&
                                 IsClassEscapeLetter(static_cast<unsigned char>(in[i + 2]));
        if (previous_class_escape || next_class_escape) {
          out.append("\\-");
        } else {
          out.push_back('-');
        }
      } else {
        out.push_back(c);
      }
      previous_class_escape = false;
      ++i;
      continue;
    }
    switch (c) {
      case '[':
        in_class = true;
        previous_class_escape = false;
        out.push_back('[');
        if (i + 1 < in.size() && in[i + 1] == '^') {
          out.push_back('^');
          ++i;
        }
        break;
      case '^':
        if (multiline) {
          out.append(kLineStart);
        } else {
          out.push_back('^');
        }
        break;
      case '$':
        if (multiline) {
          out.append(kLineEnd);
        } else {
          out.push_back('$');
        }
        break;
      case '(':
        if (i + 1 < in.size() && in[i + 1] == '*') return false;
        out.push_back('(');
        // "(?" and the character after it are group syntax ("(?:", "(?=",
        // "(?!"), never an anchor to translate.
        if (i + 2 < in.size() && in[i + 1] == '?' && in[i + 2] != '\\' && in[i + 2] != '[' &&
            in[i + 2] != '(') {
          out.push_back('?');
          out.push_back(in[i + 2]);
          i += 2;
        }
        break;
      default:
        out.push_back(c);
        break;
    }
    ++i;
  }
  return true;
}

const pcre2_compile_context* CompileContext() {
  static pcre2_compile_context* context = [] {
    pcre2_compile_context* ctx = pcre2_compile_context_create(nullptr);
    if (ctx) pcre2_set_newline(ctx, PCRE2_NEWLINE_ANYCRLF);
    return ctx;
  }();
  return context;
}

// Work a search may do: the engine is called back before every pattern item
// it tries (auto-callouts), and each call spends one unit. Matching that is
// linear in the subject stays far inside the budget; backtracking that grows
// faster (nested repeats, a repeat retried from every start) runs out of it.
constexpr uint64_t kWorkFloor = 10'000'000;
constexpr uint64_t kWorkPerSubjectByte = 32;

uint64_t WorkBudget(size_t subject_bytes) {
  return kWorkFloor + kWorkPerSubjectByte * static_cast<uint64_t>(subject_bytes);
}

int SpendWork(pcre2_callout_block*, void* left) {
  uint64_t& budget = *static_cast<uint64_t*>(left);
  if (budget == 0) return PCRE2_ERROR_MATCHLIMIT;
  --budget;
  return 0;
}

// The JIT stack of an ordinary match; a subject that needs more gets a stack
// sized to it for that one match (RoomyMatch).
constexpr size_t kUsualJitStack = 4 << 20;
// Room per subject byte for a match that needs more: repeated groups take
// some tens of bytes of stack per character they repeat over. The stack is
// reserved, and only what the match uses is ever touched.
constexpr size_t kJitStackPerSubjectByte = 256;
constexpr size_t kLargestJitStack = size_t{4} << 30;

// A JIT stack of its own, freed with its owner.
struct JitStack {
  explicit JitStack(size_t bytes) : stack(pcre2_jit_stack_create(32 * 1024, bytes, nullptr)) {}
  ~JitStack() {
    if (stack) pcre2_jit_stack_free(stack);
  }
  JitStack(const JitStack&) = delete;
  JitStack& operator=(const JitStack&) = delete;
  pcre2_jit_stack* stack;
};

struct MatchContext {
  explicit MatchContext(pcre2_match_context* copied) : context(copied) {}
  ~MatchContext() {
    if (context) pcre2_match_context_free(context);
  }
  MatchContext(const MatchContext&) = delete;
  MatchContext& operator=(const MatchContext&) = delete;
  pcre2_match_context* context;
};

// Per-thread match data, match context and JIT stack, reused across calls.
class Scratch {
 public:
  static Scratch& Get() {
    thread_local Scratch scratch;
    return scratch;
  }
  ~Scratch() {
    if (data_) pcre2_match_data_free(data_);
    if (context_) pcre2_match_context_free(context_);
    if (stack_) pcre2_jit_stack_free(stack_);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  // Match data with at least `pairs` pairs (nullptr only when out of memory).
  pcre2_match_data* Data(uint32_t pairs) {
    if (data_ && pairs_ >= pairs) return data_;
    if (data_) pcre2_match_data_free(data_);
    uint32_t want = pairs < 16 ? 16 : pairs;
    data_ = pcre2_match_data_create(want, nullptr);
    pairs_ = data_ ? want : 0;
    return data_;
  }
  pcre2_match_context* Context() { return context_; }
  // Starts the budget of one search (all the attempts of one call).
  void SetBudget(uint64_t units) { work_left_ = units; }

 private:
  Scratch() {
    context_ = pcre2_match_context_create(nullptr);
    stack_ = pcre2_jit_stack_create(32 * 1024, kUsualJitStack, nullptr);
    if (context_ && stack_) pcre2_jit_stack_assign(context_, nullptr, stack_);
    if (context_) {
      // The work budget bounds a search; the engine's own count, which
      // grows with the subject in ways that differ between its two
      // matchers, would stop long subjects that are not runaway.
      pcre2_set_match_limit(context_, UINT32_MAX);
      pcre2_set_callout(context_, SpendWork, &work_left_);
    }
  }

  uint64_t work_left_ = kWorkFloor;
  pcre2_match_data* data_ = nullptr;
  uint32_t pairs_ = 0;
  pcre2_match_context* context_ = nullptr;
  pcre2_jit_stack* stack_ = nullptr;
};

// Offset of the character after the one at `pos` in UTF-8 text.
size_t NextCharacter(std::string_view text, size_t pos) {
  ++pos;
  while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80)
    ++pos;
  return pos;
}

size_t CountCharacters(std::string_view utf8, size_t from, size_t to) {
  size_t count = 0;
  for (size_t i = from; i < to; ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

struct RegexService::Expression {
  std::string pattern;  // as given, in the program's code page
  pcre2_code* code = nullptr;
  uint32_t captures = 0;
  bool global = true;

  Expression() = default;
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;
  ~Expression() {
    if (code) pcre2_code_free(code);
  }

  // One match attempt from `start`; the result as pcre2_match gives it
  // (PCRE2_ERROR_MATCHLIMIT when the work budget ran out).
  int MatchAt(std::string_view subject, size_t start, pcre2_match_data* data) const {
    pcre2_match_context* context = Scratch::Get().Context();
    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
    int rc = pcre2_match(code, bytes, subject.size(), start, PCRE2_NO_UTF_CHECK, data, context);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) rc = RoomyMatch(subject, start, data, context);
    return rc;
  }

  // The match again with a JIT stack sized to the subject. (The interpreter
  // is no way out: it would fill gigabytes of heap before its own limits.)
  int RoomyMatch(std::string_view subject, size_t start, pcre2_match_data* data,
                 pcre2_match_context* usual) const {
    const size_t room =
        std::min(kLargestJitStack, (1 << 20) + kJitStackPerSubjectByte * subject.size());
    if (room <= kUsualJitStack || !usual) return PCRE2_ERROR_JIT_STACKLIMIT;
    JitStack stack(room);
    MatchContext context(pcre2_match_context_copy(usual));
    if (!stack.stack || !context.context) return PCRE2_ERROR_NOMEMORY;
    pcre2_jit_stack_assign(context.context, nullptr, stack.stack);
    return pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start,
                       PCRE2_NO_UTF_CHECK, data, context.context);
  }

  // Calls `visit(ovector)` for every match (one with global off), in order,
  // with JScript's rule for empty matches. Returns 0, or the engine's error
  // when an attempt ended without an answer.
  template <typename Visit>
  int ForEachMatch(std::string_view subject, Visit&& visit) const {
    Scratch& scratch = Scratch::Get();
    pcre2_match_data* data = scratch.Data(captures + 1);
    if (!data) return PCRE2_ERROR_NOMEMORY;
    scratch.SetBudget(WorkBudget(subject.size()));
    size_t start = 0;
    while (start <= subject.size()) {
      int rc = MatchAt(subject, start, data);
      if (rc == PCRE2_ERROR_NOMATCH) return 0;
      if (rc < 0) return rc;
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
      visit(ovector);
      if (!global) return 0;
      size_t begin = ovector[0];
      size_t end = ovector[1];
      if (end < begin) return 0;  // only with \K, which the translation removes
      if (end == begin) {
        if (end >= subject.size()) return 0;
        start = NextCharacter(subject, end);
      } else {
        start = end;
      }
    }
    return 0;
  }
};

struct RegexService::MatchSet {
  bool ascii = true;  // the engine saw the subject's own bytes
  std::string utf8;   // otherwise the subject as the engine saw it
  uint32_t pairs = 0;
  std::vector<PCRE2_SIZE> offsets;  // `pairs` pairs per match
  std::vector<int> positions;       // character position of each match

  size_t Count() const { return pairs ? offsets.size() / (2 * pairs) : 0; }
};

RegexService::RegexService() = default;
RegexService::~RegexService() = default;
RegexService::RegexService(const RegexService&) = default;
RegexService& RegexService::operator=(const RegexService&) = default;
RegexService::RegexService(RegexService&&) noexcept = default;
RegexService& RegexService::operator=(RegexService&&) noexcept = default;

namespace {

// Puts a backslash before every character of `special`; steps over
// multi-byte units, whose second byte is never taken for one of them.
std::string EscapeUnits(std::string_view text, std::string_view special, bool wildcards) {
  std::string out;
  out.reserve(text.size() + text.size() / 4 + 4);
  size_t i = 0;
  while (i < text.size()) {
    size_t len = UnitLength(text, i);
    char c = text[i];
    if (len == 1 && special.find(c) != std::string_view::npos) {
      out.push_back('\\');
      out.push_back(c);
    } else if (len == 1 && wildcards && (c == '*' || c == '?')) {
      out.push_back('.');
      out.push_back(c);
    } else {
      out.append(text.substr(i, len));
    }
    i += len;
  }
  return out;
}

}  // namespace

std::string RegexService::WildcardToPattern(std::string_view text) {
  return EscapeUnits(text, "\\^$+.{}[]=()-\"", true);
}

std::string RegexService::EscapeAll(std::string_view text) {
  return EscapeUnits(text, "\\^$+.{}[]=()?*|\"", false);
}

std::string RegexService::EscapeKeepBar(std::string_view text) {
  return EscapeUnits(text, "\\^$+.{}[]=()?*\"", false);
}

std::string RegexService::EscapeKeepGroups(std::string_view text) {
  return EscapeUnits(text, "\\^$+.{}[]=?*\"", false);
}

bool RegexService::Compile(std::string_view pattern, bool ignore_case, bool multiline,
                           bool global) {
  expression_.reset();
  std::string utf8 =
      IsAscii(pattern) ? std::string(pattern) : Gb18030ToUtf8(pattern, InvalidBytes::kEscape);
  std::string translated;
  if (!TranslatePattern(utf8, multiline, translated)) return false;

  uint32_t options = kCompileOptions | (ignore_case ? PCRE2_CASELESS : 0);
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(), options,
                    &error, &error_offset, const_cast<pcre2_compile_context*>(CompileContext()));
  if (!code) return false;
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // without JIT the interpreter runs

  auto expression = std::make_shared<Expression>();
  expression->pattern = std::string(pattern);
  expression->code = code;
  expression->global = global;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &expression->captures);
  expression_ = std::move(expression);
  return true;
}

namespace {

RegexError Runaway(int code) {
  PCRE2_UCHAR text[256];
  const int length = pcre2_get_error_message(code, text, sizeof text);
  return {RegexError::Reason::kRunaway,
          "the expression ran away: " +
              (length > 0 ? std::string(reinterpret_cast<const char*>(text), length)
                          : "error " + std::to_string(code))};
}

}  // namespace

int RegexService::Execute(std::string_view subject) {
  // After a runaway, the matches found before it.
  const Result<int, RegexError> count = TryExecute(subject);
  return count ? *count : MatchCount();
}

Result<int, RegexError> RegexService::TryExecute(std::string_view subject) {
  subject_ = std::string(subject);
  int stopped = 0;
  auto set = std::make_shared<MatchSet>();
  if (expression_) {
    const Expression& e = *expression_;
    set->pairs = e.captures + 1;
    set->ascii = IsAscii(subject_);
    if (!set->ascii) set->utf8 = Gb18030ToUtf8(subject_, InvalidBytes::kEscape);
    std::string_view engine_subject = set->ascii ? std::string_view(subject_) : set->utf8;
    size_t last_start = 0;
    size_t characters = 0;
    stopped = e.ForEachMatch(engine_subject, [&](const PCRE2_SIZE* ovector) {
      set->offsets.insert(set->offsets.end(), ovector, ovector + 2 * set->pairs);
      size_t start = ovector[0];
      characters +=
          set->ascii ? start - last_start : CountCharacters(engine_subject, last_start, start);
      last_start = start;
      set->positions.push_back(static_cast<int>(characters));
    });
  }
  matches_ = std::move(set);
  if (stopped != 0) return Fail(Runaway(stopped));
  return static_cast<int>(matches_->Count());
}

Result<bool, RegexError> RegexService::Test(std::string_view subject) const {
  if (!expression_) return false;
  const Expression& e = *expression_;
  Scratch& scratch = Scratch::Get();
  pcre2_match_data* data = scratch.Data(1);
  if (!data) return Fail(Runaway(PCRE2_ERROR_NOMEMORY));
  const bool ascii = IsAscii(subject);
  const std::string utf8 = ascii ? std::string() : Gb18030ToUtf8(subject, InvalidBytes::kEscape);
  const std::string_view engine_subject = ascii ? subject : std::string_view(utf8);
  scratch.SetBudget(WorkBudget(engine_subject.size()));
  const int rc = e.MatchAt(engine_subject, 0, data);
  if (rc >= 0) return true;
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  return Fail(Runaway(rc));
}

bool RegexService::Matches(std::string_view subject) const {
  return Test(subject).value_or(false);
}

std::string RegexService::Pattern() const {
  return expression_ ? expression_->pattern : std::string();
}

namespace {

// Appends `replacement` for one match, expanding $1..$99, $&, $$, $` and $'
// the way JScript does; any other "$" stays as it is.
void ExpandReplacement(std::string_view replacement, std::string_view subject,
                       const PCRE2_SIZE* ovector, uint32_t captures, std::string& out) {
  auto group = [&](uint32_t k) {
    PCRE2_SIZE begin = ovector[2 * k];
    PCRE2_SIZE end = ovector[2 * k + 1];
    if (begin == PCRE2_UNSET || end < begin) return;
    out.append(subject.substr(begin, end - begin));
  };
  auto digit = [&](size_t at) -> int {
    if (at >= replacement.size()) return -1;
    char c = replacement[at];
    return c >= '0' && c <= '9' ? c - '0' : -1;
  };
  size_t i = 0;
  while (i < replacement.size()) {
    char c = replacement[i];
    if (c != '$' || i + 1 >= replacement.size()) {
      out.push_back(c);
      ++i;
      continue;
    }
    char next = replacement[i + 1];
    if (next == '$') {
      out.push_back('$');
      i += 2;
    } else if (next == '&') {
      group(0);
      i += 2;
    } else if (next == '`') {
      out.append(subject.substr(0, ovector[0]));
      i += 2;
    } else if (next == '\'') {
      if (ovector[1] < subject.size()) out.append(subject.substr(ovector[1]));
      i += 2;
    } else if (int d1 = digit(i + 1); d1 >= 0) {
      int d2 = digit(i + 2);
      uint32_t two = d2 >= 0 ? static_cast<uint32_t>(d1 * 10 + d2) : 0;
      if (two >= 1 && two <= captures) {
        group(two);
        i += 3;
      } else if (d1 >= 1 && static_cast<uint32_t>(d1) <= captures) {
        group(static_cast<uint32_t>(d1));
        i += 2;
      } else {
        out.push_back('$');
        ++i;
      }
    } else {
      out.push_back('$');
      ++i;
    }
  }
}

}  // namespace

std::string RegexService::Replace(std::string_view subject, std::string_view replacement) const {
  if (!expression_) return std::string(subject);
  const Expression& e = *expression_;
  bool ascii = IsAscii(subject) && IsAscii(replacement);
  std::string subject_utf8;
  std::string replacement_utf8;
  if (!ascii) {
    subject_utf8 = Gb18030ToUtf8(subject, InvalidBytes::kEscape);
    replacement_utf8 = Gb18030ToUtf8(replacement, InvalidBytes::kEscape);
  }
  std::string_view s = ascii ? subject : std::string_view(subject_utf8);
  std::string_view r = ascii ? replacement : std::string_view(replacement_utf8);

  std::string out;
  size_t copied = 0;
  bool any = false;
  // A runaway replaces what was found before it, as with no further match.
  (void)e.ForEachMatch(s, [&](const PCRE2_SIZE* ovector) {
    if (!any) out.reserve(s.size() + r.size());
    any = true;
    size_t begin = ovector[0];
    out.append(s.substr(copied, begin - copied));
    ExpandReplacement(r, s, ovector, e.captures, out);
    copied = ovector[1];
  });
  if (!any) return std::string(subject);
  out.append(s.substr(copied));
  return ascii ? out : Utf8ToGb18030(out);
}

int RegexService::MatchCount() const {
  return matches_ ? static_cast<int>(matches_->Count()) : 0;
}

namespace {

std::string PieceOf(std::string_view engine_subject, bool ascii, PCRE2_SIZE begin, PCRE2_SIZE end) {
  if (begin == PCRE2_UNSET || end < begin || end > engine_subject.size()) return {};
  std::string_view piece = engine_subject.substr(begin, end - begin);
  return ascii ? std::string(piece) : Utf8ToGb18030(piece);
}

}  // namespace

std::string RegexService::MatchValue(int n) const {
  return Piece(n, 0, nullptr);
}

std::string RegexService::SubMatch(int n, int k) const {
  return k < 1 ? std::string() : Piece(n, k, nullptr);
}

int RegexService::SubMatchCount() const {
  if (!matches_ || matches_->Count() == 0) return 0;
  return static_cast<int>(matches_->pairs - 1);
}

std::string RegexService::MatchValueAt(int n, int* position) const {
  return Piece(n, 0, position);
}

std::string RegexService::SubMatchAt(int n, int k, int* position) const {
  if (k < 1) return {};
  return Piece(n, k, position);
}

std::string RegexService::Piece(int n, int k, int* position) const {
  if (!matches_ || n < 1 || static_cast<size_t>(n) > matches_->Count() || k < 0 ||
      static_cast<uint32_t>(k) >= matches_->pairs)
    return {};
  const MatchSet& set = *matches_;
  size_t index = static_cast<size_t>(n) - 1;
  size_t base = index * 2 * set.pairs;
  if (position) *position = set.positions[index];
  std::string_view engine_subject = set.ascii ? std::string_view(subject_) : set.utf8;
  return PieceOf(engine_subject, set.ascii, set.offsets[base + 2 * k],
                 set.offsets[base + 2 * k + 1]);
}

}  // namespace keelnode
