#include "MarkupProperties.h"

#include "news/MarkupBounds.h"

#include <gumbo.h>

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace tw::test {
namespace {

std::string NameOf(const GumboElement& e) {
  if (e.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e.tag);
  GumboStringPiece tag = e.original_tag;
  gumbo_tag_from_original_text(&tag);
  std::string name(tag.data ? tag.data : "", tag.length);
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return name;
}

bool IsForbidden(std::string_view name) {
  for (const std::string_view forbidden :
       {"iframe", "frame", "frameset", "object", "embed", "applet", "script", "portal", "fencedframe"}) {
    if (name == forbidden) return true;
  }
  return false;
}

using ParsedPage = std::unique_ptr<GumboOutput, void (*)(GumboOutput*)>;

ParsedPage Parse(const QByteArray& utf8) {
  return {gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), static_cast<size_t>(utf8.size())),
          [](GumboOutput* output) { gumbo_destroy_output(&kGumboDefaultOptions, output); }};
}

// The first element of the parsed page that may not be there.
std::string FindForbidden(const GumboNode* document) {
  std::vector<std::pair<const GumboNode*, int>> nodes{{document, 0}};
  while (!nodes.empty()) {
    const auto [node, depth] = nodes.back();
    nodes.pop_back();
    const GumboVector* children = &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
      const std::string name = NameOf(node->v.element);
      if (IsForbidden(name)) return "a <" + name + "> element";
      if (depth > kMaxMarkupDepth) return "<" + name + "> nested " + std::to_string(depth) + " deep";
      children = &node->v.element.children;
    } else if (node->type != GUMBO_NODE_DOCUMENT) {
      continue;
    }
    for (unsigned i = 0; i < children->length; ++i) {
      nodes.emplace_back(static_cast<const GumboNode*>(children->data[i]), depth + 1);
    }
  }
  return {};
}

}  // namespace

std::string CheckMarkupBounds(QStringView markup) {
  const QString bounded = BoundMarkup(markup);
  const QByteArray utf8 = bounded.toUtf8();
  const ParsedPage parsed = Parse(utf8);
  if (const std::string found = FindForbidden(parsed->document); !found.empty()) {
    return "the bounded page parses with " + found;
  }
  if (BoundMarkup(bounded) != bounded) return "bounding the bounded page changes it";
  return {};
}

std::string ParsedTree(QStringView markup) {
  const ParsedPage parsed = Parse(markup.toUtf8());
  std::string tree;
  std::vector<std::pair<const GumboNode*, int>> nodes{{parsed->document, 0}};
  while (!nodes.empty()) {
    const auto [node, depth] = nodes.back();
    nodes.pop_back();
    tree.append(static_cast<size_t>(depth), ' ');
    const GumboVector* children = nullptr;
    switch (node->type) {
      case GUMBO_NODE_DOCUMENT:
        tree += std::string("#document ") + (node->v.document.has_doctype ? node->v.document.name : "");
        children = &node->v.document.children;
        break;
      case GUMBO_NODE_ELEMENT:
      case GUMBO_NODE_TEMPLATE: {
        const GumboElement& e = node->v.element;
        tree += std::to_string(e.tag_namespace) + ':' + NameOf(e);
        for (unsigned i = 0; i < e.attributes.length; ++i) {
          const auto* a = static_cast<const GumboAttribute*>(e.attributes.data[i]);
          tree += ' ' + std::to_string(a->attr_namespace) + ':' + a->name + "=\"" + a->value + '"';
        }
        children = &e.children;
        break;
      }
      case GUMBO_NODE_COMMENT: tree += std::string("<!--") + node->v.text.text + "-->"; break;
      default: tree += '"' + std::string(node->v.text.text) + '"';
    }
    tree += '\n';
    for (unsigned i = children ? children->length : 0; i-- > 0;) {
      nodes.emplace_back(static_cast<const GumboNode*>(children->data[i]), depth + 1);
    }
  }
  return tree;
}

}  // namespace tw::test
