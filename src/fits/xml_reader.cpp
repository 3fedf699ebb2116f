// SPDX-License-Identifier: MIT
#include "fits/xml_reader.hpp"

#include <cstdint>

namespace trakora {
namespace {

bool is_name_start(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool is_name_char(char c) {
    return is_name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void append_utf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// `raw` with its entity and character references replaced; false for a bad one.
bool read_references(std::string_view raw, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '<') return false;
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const std::size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12) return false;
        const std::string_view ref = raw.substr(i + 1, semi - i - 1);
        if (ref == "lt") {
            out += '<';
        } else if (ref == "gt") {
            out += '>';
        } else if (ref == "amp") {
            out += '&';
        } else if (ref == "quot") {
            out += '"';
        } else if (ref == "apos") {
            out += '\'';
        } else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            if (digits.empty()) return false;
            std::uint32_t code = 0;
            for (const char c : digits) {
                int d = -1;
                if (c >= '0' && c <= '9') d = c - '0';
                if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
                if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
                if (d < 0) return false;
                code = code * (hex ? 16u : 10u) + static_cast<std::uint32_t>(d);
                if (code > 0x10FFFF) return false;
            }
            if (code == 0) return false;
            append_utf8(out, code);
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

class Reader {
  public:
    Reader(std::string_view doc, XmlVisitor& v) : doc_(doc), visitor_(v) {}

    std::optional<std::string> run() {
        bool root_done = false;
        while (pos_ < doc_.size()) {
            if (doc_[pos_] != '<') {
                const std::size_t next = doc_.find('<', pos_);
                const std::string_view raw = doc_.substr(pos_, next - pos_);
                pos_ = next == std::string_view::npos ? doc_.size() : next;
                if (open_.empty()) {
                    for (const char c : raw)
                        if (!is_space(c)) return "text outside the root element";
                    continue;
                }
                if (!read_references(raw, scratch_)) return "bad reference in text";
                visitor_.text(scratch_, open_.size() - 1);
                continue;
            }
            const std::string_view rest = doc_.substr(pos_);
            if (rest.starts_with("<?")) {
                if (!skip_past("?>")) return "unterminated processing instruction";
            } else if (rest.starts_with("<!--")) {
                if (!skip_past("-->")) return "unterminated comment";
            } else if (rest.starts_with("<![CDATA[")) {
                if (open_.empty()) return "CDATA outside the root element";
                const std::size_t end = doc_.find("]]>", pos_ + 9);
                if (end == std::string_view::npos) return "unterminated CDATA";
                visitor_.text(doc_.substr(pos_ + 9, end - pos_ - 9), open_.size() - 1);
                pos_ = end + 3;
            } else if (rest.starts_with("<!")) {
                return "document type declarations are not read";
            } else if (rest.starts_with("</")) {
                if (auto error = end_tag()) return error;
                if (open_.empty()) root_done = true;
            } else {
                if (root_done) return "a second root element";
                if (auto error = start_tag()) return error;
                if (open_.empty()) root_done = true;
            }
        }
        if (!open_.empty()) return "element <" + open_.back() + "> is not closed";
        if (!root_done) return "no root element";
        return std::nullopt;
    }

  private:
    bool skip_past(std::string_view end) {
        const std::size_t at = doc_.find(end, pos_ + 2);
        if (at == std::string_view::npos) return false;
        pos_ = at + end.size();
        return true;
    }

    std::string_view name() {
        const std::size_t start = pos_;
        if (pos_ >= doc_.size() || !is_name_start(doc_[pos_])) return {};
        while (pos_ < doc_.size() && is_name_char(doc_[pos_])) ++pos_;
        return doc_.substr(start, pos_ - start);
    }

    void spaces() {
        while (pos_ < doc_.size() && is_space(doc_[pos_])) ++pos_;
    }

    std::optional<std::string> end_tag() {
        pos_ += 2;
        const std::string_view n = name();
        spaces();
        if (pos_ >= doc_.size() || doc_[pos_] != '>') return "bad end tag";
        ++pos_;
        if (open_.empty() || open_.back() != n)
            return "end tag </" + std::string(n) + "> unmatched";
        open_.pop_back();
        visitor_.end(n, open_.size());
        return std::nullopt;
    }

    std::optional<std::string> start_tag() {
        ++pos_;
        XmlElement element;
        element.name = name();
        if (element.name.empty()) return "bad start tag";
        element.depth = open_.size();
        if (element.depth >= kMaxXmlDepth) return "elements nested too deep";
        for (;;) {
            const std::size_t before = pos_;
            spaces();
            if (pos_ >= doc_.size()) return "unterminated start tag";
            if (doc_[pos_] == '>' || doc_.substr(pos_).starts_with("/>")) break;
            if (pos_ == before) return "attributes need blanks between them";
            const std::string_view key = name();
            if (key.empty()) return "bad attribute name";
            spaces();
            if (pos_ >= doc_.size() || doc_[pos_] != '=') return "attribute without a value";
            ++pos_;
            spaces();
            if (pos_ >= doc_.size() || (doc_[pos_] != '"' && doc_[pos_] != '\'')) {
                return "attribute value without quotes";
            }
            const char quote = doc_[pos_++];
            const std::size_t close = doc_.find(quote, pos_);
            if (close == std::string_view::npos) return "unterminated attribute value";
            if (!read_references(doc_.substr(pos_, close - pos_), scratch_)) {
                return "bad reference in an attribute";
            }
            pos_ = close + 1;
            if (element.attribute(key) != nullptr) return "attribute given twice";
            element.attributes.emplace_back(std::string(key), scratch_);
        }
        const bool empty = doc_[pos_] == '/';
        pos_ += empty ? 2 : 1;
        visitor_.start(element);
        if (empty) {
            visitor_.end(element.name, element.depth);
        } else {
            open_.push_back(element.name);
        }
        return std::nullopt;
    }

    std::string_view doc_;
    XmlVisitor& visitor_;
    std::size_t pos_ = 0;
    std::vector<std::string> open_;
    std::string scratch_;
};

}  // namespace

const std::string* XmlElement::attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes)
        if (k == key) return &v;
    return nullptr;
}

std::optional<std::string> read_xml(std::string_view document, XmlVisitor& visitor) {
    return Reader(document, visitor).run();
}

}  // namespace trakora
