// Temporary stubs so the skeleton links.
#include "json/json_document.h"
#include "json/json_parser.h"
#include "json/node_store.h"
#include "json/tree_item_list.h"

namespace keelnode {
class ChildNameIndex {};
NodeStore::NodeStore(const NodeStore&) {}
NodeStore& NodeStore::operator=(const NodeStore&) { return *this; }
int NodeStore::insert(int, std::string_view, int, std::string_view) { return -1; }
int NodeStore::insertShared(int, std::string_view, int, std::string_view) { return -1; }
std::string_view NodeStore::Adopt(std::string) { return {}; }
int NodeStore::nextAfterSubtree(int) const { return -1; }
int NodeStore::parent(int) const { return -1; }
int NodeStore::findChild(int, std::string_view, int) const { return -1; }
bool NodeStore::setName(int, std::string_view) { return false; }
bool NodeStore::setValue(int, std::string_view) { return false; }
bool NodeStore::setKind(int, int) { return false; }
bool NodeStore::setTag(int, int, bool) { return false; }
void NodeStore::clear() {}
int NodeStore::copyAll(std::vector<NodeRecord>&) const { return 0; }
int NodeStore::firstChildNamed(int, std::string_view) const { return -1; }
size_t NodeStore::memoryBytes() const { return 0; }

JsonParser::JsonParser() {}
void JsonParser::reset() {}
std::string JsonParser::convertSingleQuotes(std::string_view t) const { return std::string(t); }
std::string JsonParser::cleanName(std::string_view t) const { return std::string(t); }
std::string JsonParser::trimValue(std::string_view t) const { return std::string(t); }
int JsonParser::parseLevel(std::string_view, std::vector<Member>*, std::vector<std::string>*, int*) { return 0; }
int JsonParser::splitMembers(std::string_view, bool, std::vector<Member>*) { return 0; }
int JsonParser::splitItems(std::string_view, bool, std::vector<std::string>*) { return 0; }
int JsonParser::valueKind(std::string_view) { return 0; }
int JsonParser::splitPath(std::string_view) { return 0; }
std::string JsonParser::normalisePath(std::string_view p, int) const { return std::string(p); }
std::string JsonParser::compactWhitespace(std::string_view t) const { return std::string(t); }
void JsonParser::protectEscapedQuotes(std::string&) const {}
std::string JsonParser::restoreEscapedQuotes(std::string_view t) { return std::string(t); }
void JsonParser::load(std::string_view) {}
bool JsonParser::isBalanced(int, int) const { return false; }
std::string JsonParser::scanMemberName(int, int*) const { return {}; }
std::string JsonParser::scanMemberValue(int, int*) const { return {}; }
std::string JsonParser::extract(int, int, bool) const { return {}; }

JsonDocument::JsonDocument() {}
void JsonDocument::load(std::string&, bool, bool) {}
TreeItemList JsonDocument::buildTreeItems() const { return {}; }
std::string JsonDocument::valueAtRelativePath(std::string_view) const { return {}; }
std::string JsonDocument::valueAtPath(std::string_view, int) const { return {}; }
int JsonDocument::nodeAtPath(std::string_view, int) const { return -1; }
std::string JsonDocument::displayValue(std::string_view t) const { return std::string(t); }
std::string JsonDocument::pathOfNode(int) const { return {}; }

void TreeItemList::Clear() {}
void TreeItemList::Load(std::string) {}
int TreeItemList::FindForward(std::optional<int>, std::string_view, bool, bool, bool, bool, std::string*, const int*) const { return -1; }
int TreeItemList::FindBackward(std::optional<int>, std::string_view, bool, bool, bool, bool, std::string*, const int*) const { return -1; }
int TreeItemList::AddItem(std::string_view, int, int, int, int, int, int) { return 0; }
std::string TreeItemList::TakeBytes() { return {}; }
}  // namespace keelnode
