#include "MarkupTree.h"

#include <gumbo.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tw {
namespace {

// Every block the parser asks for, so that the whole tree goes at once:
// the parser's own clean-up walks the tree recursively, one stack frame per
// level of nesting.
class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena() {
    while (head_.next != &head_) Release(head_.next);
  }

  static void* Allocate(void* arena, size_t size) {
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (!block) std::abort();  // the parser has no way to go on without it
    Block& head = static_cast<Arena*>(arena)->head_;
    block->prev = &head;
    block->next = head.next;
    head.next->prev = block;
    head.next = block;
    return block + 1;
  }
  static void Deallocate(void*, void* memory) {
    if (memory) Release(static_cast<Block*>(memory) - 1);
  }

 private:
  // Two pointers: what follows keeps malloc's alignment.
  struct Block {
    Block* prev;
    Block* next;
  };
  static void Release(Block* block) {
    block->prev->next = block->next;
    block->next->prev = block->prev;
    std::free(block);
  }
  Block head_{&head_, &head_};
};

bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsNameChar(char c) {
  return IsAsciiLower(c) || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}
// Names that need no care to write and read back the same.
bool IsPlainName(std::string_view name) {
  if (name.empty() || !(IsAsciiLower(name[0]) || (name[0] >= 'A' && name[0] <= 'Z'))) return false;
  for (const char c : name) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}
bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (const std::string_view n : names) {
    if (name == n) return true;
  }
  return false;
}
// What lays out another document or runs code; in any namespace.
bool IsFrame(std::string_view name) {
  return IsOneOf(name, {"iframe", "frame", "frameset", "object", "embed", "applet", "portal", "fencedframe"});
}

std::string ElementName(const GumboElement& e) {
  std::string name;
  if (e.tag != GUMBO_TAG_UNKNOWN) {
    name = gumbo_normalized_tagname(e.tag);
  } else if (e.original_tag.data && e.original_tag.length > 1) {
    // "<name ...": the name ends where the tokenizer ends it.
    const std::string_view tag(e.original_tag.data + 1, e.original_tag.length - 1);
    name = std::string(tag.substr(0, tag.find_first_of(" \t\n\f\r/>")));
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  if (e.tag_namespace == GUMBO_NAMESPACE_SVG) {
    const GumboStringPiece piece{name.data(), name.size()};
    if (const char* svg = gumbo_normalize_svg_tagname(&piece)) name = svg;
  }
  return name;
}

std::string AttributeName(const GumboAttribute& a) {
  const std::string name = a.name;
  switch (a.attr_namespace) {
    case GUMBO_ATTR_NAMESPACE_XLINK: return "xlink:" + name;
    case GUMBO_ATTR_NAMESPACE_XML: return "xml:" + name;
    case GUMBO_ATTR_NAMESPACE_XMLNS: return name == "xmlns" ? name : "xmlns:" + name;
    case GUMBO_ATTR_NAMESPACE_NONE: break;
  }
  return name;
}

// Text and attribute values, written so that they read back the same and
// hold no "<" at all.
void Escape(std::string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "&#13;"; break;
      case '\0': break;
      default:
        if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
          out += "&nbsp;";
          ++i;
        } else {
          out += c;
        }
    }
  }
}

qsizetype Utf16Length(std::string_view utf8) {
  qsizetype n = 0;
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++n;
    if (b >= 0xF0) ++n;  // a surrogate pair
  }
  return n;
}

std::string_view Text(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// How the text of an element is written.
enum class TextKind { Escaped, Raw };

class TreeWriter {
 public:
  TreeWriter(const TreeLimits& limits, TreeCuts& cuts) : limits_(limits), cuts_(cuts) {}

  std::string Write(const GumboNode* document) {
    const GumboDocument& doc = document->v.document;
    if (doc.has_doctype) WriteDoctype(doc);
    Walk(document);
    return std::move(out_);
  }

 private:
  struct Open {
    const GumboVector* children;
    unsigned next;
    int depth;
    TextKind text;
    std::string endTag;  // empty when the element's tags were left out
  };

  bool Put(std::string_view piece, qsizetype keep = 0) {
    const qsizetype n = Utf16Length(piece);
    if (out16_ + n + keep + reserve16_ > limits_.maxChars) {
      cuts_.cut = true;
      return false;
    }
    out_ += piece;
    out16_ += n;
    return true;
  }

  void WriteDoctype(const GumboDocument& doc) {
    const std::string_view name = Text(doc.name);
    // Any other name than "html" keeps the page in quirks mode, as its own did.
    std::string tag = "<!DOCTYPE " + std::string(name.empty() || IsPlainName(name) ? name : "unknown");
    const auto id = [&](const char* keyword, std::string_view value) {
      if (value.find_first_of("<>\0", 0, 3) != std::string_view::npos) return;
      const char quote = value.find('"') == std::string_view::npos ? '"' : '\'';
      if (keyword) tag += keyword;
      tag += ' ';
      tag += quote;
      tag += value;
      tag += quote;
    };
    const std::string_view publicId = Text(doc.public_identifier);
    const std::string_view systemId = Text(doc.system_identifier);
    if (!publicId.empty()) {
      id(" PUBLIC", publicId);
      if (!systemId.empty()) id(nullptr, systemId);
    } else if (!systemId.empty()) {
      id(" SYSTEM", systemId);
    }
    Put(tag + '>');
  }

  void Walk(const GumboNode* document) {
    std::vector<Open> open;
    open.push_back({&document->v.document.children, 0, 0, TextKind::Escaped, {}});
    bool full = false;
    while (!open.empty()) {
      Open& top = open.back();
      if (full || top.next >= top.children->length) {
        if (!top.endTag.empty()) {
          reserve16_ -= Utf16Length(top.endTag);
          Put(top.endTag);
        }
        open.pop_back();
        continue;
      }
      const auto* node = static_cast<const GumboNode*>(top.children->data[top.next++]);
      const TextKind text = top.text;
      const int depth = top.depth;
      switch (node->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA: full = !WriteText(Text(node->v.text.text), text); break;
        case GUMBO_NODE_COMMENT: full = !WriteComment(Text(node->v.text.text)); break;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: full = !OpenElement(node->v.element, depth + 1, text, open); break;
        case GUMBO_NODE_DOCUMENT: break;
      }
    }
  }

  bool WriteText(std::string_view text, TextKind kind) {
    if (kind == TextKind::Raw) {
      // Raw text ends at its element's end tag, which only a "<" can start.
      // Style sheets wrapped in "<!--" keep it: read as anything but raw
      // text, that starts a comment, which hides and never makes a tag.
      for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.substr(at, 4) != "<!--") return true;
      }
      return Put(text);
    }
    std::string escaped;
    Escape(text, escaped);
    if (Put(escaped)) return true;
    // As much as fits, never half a character or half an escape.
    const qsizetype room = limits_.maxChars - out16_ - reserve16_;
    qsizetype used = 0;
    std::string fits;
    std::string one;
    for (size_t i = 0; i < text.size();) {
      size_t next = i + 1;
      while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
      one.clear();
      Escape(text.substr(i, next - i), one);
      used += Utf16Length(one);
      if (used > room) break;
      fits += one;
      i = next;
    }
    Put(fits);
    return false;
  }

  bool WriteComment(std::string_view data) {
    // Data that could end the comment early, or read back as something else.
    if (data.find_first_of("<>\0", 0, 3) != std::string_view::npos || data.find("--") != std::string_view::npos ||
        data.starts_with('-') || data.ends_with('-')) {
      return true;
    }
    return Put("<!--" + std::string(data) + "-->");
  }

  bool OpenElement(const GumboElement& e, int depth, TextKind parentText, std::vector<Open>& open) {
    const std::string name = ElementName(e);
    if (IsFrame(name)) {
      ++cuts_.framesDropped;
      return true;
    }
    if (name == "script") return true;
    const bool html = e.tag_namespace == GUMBO_NAMESPACE_HTML;
    // The element goes, what it holds stays: too deep; noscript, whose
    // content shows in these pages and would not in a parser that runs
    // scripts; plaintext, after which nothing could close anything; a name
    // that may not read back the same.
    const bool tooDeep = depth > limits_.maxDepth;
    if (tooDeep) ++cuts_.tagsTooDeep;
    if (tooDeep || (html && (name == "noscript" || name == "plaintext")) || !IsPlainName(name)) {
      open.push_back({&e.children, 0, depth, parentText, {}});
      return true;
    }
    if (elements_ >= limits_.maxElements) {
      cuts_.cut = true;
      return false;
    }
    std::string start = '<' + name;
    for (unsigned i = 0; i < e.attributes.length; ++i) {
      const auto* a = static_cast<const GumboAttribute*>(e.attributes.data[i]);
      const std::string attribute = AttributeName(*a);
      if (!IsPlainName(attribute)) continue;
      start += ' ' + attribute + "=\"";
      Escape(Text(a->value), start);
      start += '"';
    }
    start += '>';
    const bool isVoid = html && IsOneOf(name, {"area", "base", "basefont", "bgsound", "br", "col", "embed", "hr",
                                               "img", "input", "keygen", "link", "meta", "param", "source",
                                               "track", "wbr"});
    // The parser drops a line break just after these start tags.
    if (html && IsOneOf(name, {"pre", "textarea", "listing"})) start += '\n';
    const std::string end = isVoid ? std::string() : "</" + name + '>';
    if (!Put(start, Utf16Length(end))) return false;
    ++elements_;
    if (isVoid) return true;
    reserve16_ += Utf16Length(end);
    const bool raw = html && IsOneOf(name, {"style", "xmp", "noembed", "noframes"});
    open.push_back({&e.children, 0, depth, raw ? TextKind::Raw : TextKind::Escaped, end});
    return true;
  }

  const TreeLimits& limits_;
  TreeCuts& cuts_;
  std::string out_;
  qsizetype out16_ = 0;
  // Room kept for the end tags of the elements open.
  qsizetype reserve16_ = 0;
  int elements_ = 0;
};

}  // namespace

QString WriteMarkupTree(QStringView markup, const TreeLimits& limits, TreeCuts* cuts) {
  *cuts = {};
  const QByteArray utf8 = markup.toUtf8();
  Arena arena;
  GumboOptions options = kGumboDefaultOptions;
  options.allocator = &Arena::Allocate;
  options.deallocator = &Arena::Deallocate;
  options.userdata = &arena;
  // Each error the parser keeps copies its stack of open elements.
  options.max_errors = 0;
  const GumboOutput* output = gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
  const std::string written = TreeWriter(limits, *cuts).Write(output->document);
  return QString::fromUtf8(written.data(), static_cast<qsizetype>(written.size()));
}

}  // namespace tw
