#include "json/item_display.h"

#include "json/path_forms.h"

namespace keelnode {

std::string PathBoxText(const JsonDocument& doc, int node, PathSpelling spelling) {
  std::string path = doc.pathOfNode(node);
  return spelling == PathSpelling::kCompact ? CompactPath(path) : path;
}

int NodeOfPathBoxText(const JsonDocument& doc, std::string_view text, PathSpelling spelling) {
  if (spelling == PathSpelling::kArrayNodes) return doc.nodeAtPath(text, 0);
  return doc.nodeAtPath(ExpandCompactPath(text), 0);
}

std::string ValueBoxText(const JsonDocument& doc, int node) {
  if (node == -1) return {};
  return WholeValue(doc.store().valueView(node), ValueFormOf(node));
}

ItemTexts ItemTextsOf(const JsonDocument& doc, int node, PathSpelling spelling) {
  ItemTexts texts;
  texts.path = PathBoxText(doc, node, spelling);
  texts.value = ValueBoxText(doc, NodeOfPathBoxText(doc, texts.path, spelling));
  texts.decoded = DecodeValue(texts.value);
  return texts;
}

}  // namespace keelnode
