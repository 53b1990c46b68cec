#include "services/regex_service.h"

// Placeholder until the engine lands.
namespace keelnode {
struct RegexService::Expression {};
struct RegexService::MatchSet {};
RegexService::RegexService() = default;
RegexService::~RegexService() = default;
RegexService::RegexService(const RegexService&) = default;
RegexService& RegexService::operator=(const RegexService&) = default;
RegexService::RegexService(RegexService&&) noexcept = default;
RegexService& RegexService::operator=(RegexService&&) noexcept = default;
std::string RegexService::WildcardToPattern(std::string_view text) { return std::string(text); }
std::string RegexService::EscapeAll(std::string_view text) { return std::string(text); }
std::string RegexService::EscapeKeepBar(std::string_view text) { return std::string(text); }
std::string RegexService::EscapeKeepGroups(std::string_view text) { return std::string(text); }
bool RegexService::Compile(std::string_view, bool, bool, bool) { return false; }
int RegexService::Execute(std::string_view) { return 0; }
bool RegexService::Matches(std::string_view) const { return false; }
std::string RegexService::Pattern() const { return {}; }
std::string RegexService::Replace(std::string_view s, std::string_view) const { return std::string(s); }
int RegexService::MatchCount() const { return 0; }
std::string RegexService::MatchValue(int) const { return {}; }
std::string RegexService::SubMatch(int, int) const { return {}; }
int RegexService::SubMatchCount() const { return 0; }
std::string RegexService::MatchValueAt(int, int*) const { return {}; }
std::string RegexService::SubMatchAt(int, int, int*) const { return {}; }
}  // namespace keelnode
