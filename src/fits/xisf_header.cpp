// SPDX-License-Identifier: MIT
#include "fits/xisf_header.hpp"

#include <array>
#include <charconv>

#include "fits/xml_reader.hpp"

namespace trakora {
namespace {

// Each side is at most this many pixels; what the image buffer holds is checked later,
// with the FITS reader's messages.
constexpr std::uint64_t kMaxSide = 1u << 20;

std::optional<std::uint64_t> whole_number(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return {};
    return value;
}

// "a:b:c" split at its colons.
std::vector<std::string_view> fields(std::string_view text) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t colon = text.find(':');
        out.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos) return out;
        text.remove_prefix(colon + 1);
    }
}

std::optional<XisfSampleFormat> sample_format(std::string_view name) {
    constexpr std::array<std::pair<std::string_view, XisfSampleFormat>, 5> kFormats = {{
        {"UInt8", XisfSampleFormat::UInt8},
        {"UInt16", XisfSampleFormat::UInt16},
        {"UInt32", XisfSampleFormat::UInt32},
        {"Float32", XisfSampleFormat::Float32},
        {"Float64", XisfSampleFormat::Float64},
    }};
    for (const auto& [n, f] : kFormats)
        if (n == name) return f;
    return {};
}

std::optional<XisfLocation> location(std::string_view text) {
    const std::vector<std::string_view> f = fields(text);
    XisfLocation l;
    if (f[0] == "attachment" && f.size() == 3) {
        const auto position = whole_number(f[1]);
        const auto size = whole_number(f[2]);
        if (!position || !size) return {};
        l.position = *position;
        l.size = *size;
        return l;
    }
    if ((f[0] == "inline" || f[0] == "embedded") && f.size() <= 2) {
        l.kind = f[0] == "inline" ? XisfLocation::Kind::inline_text : XisfLocation::Kind::embedded;
        l.encoding = f.size() == 2 ? std::string(f[1]) : std::string("base64");
        return l;
    }
    return {};
}

class HeaderVisitor final : public XmlVisitor {
  public:
    XisfImageHeader header;
    std::string error;
    bool found = false;

    void start(const XmlElement& e) override {
        if (!error.empty()) return;
        if (!in_image_) {
            // The first Image that is a child of the root; thumbnails and later images
            // are passed over.
            if (!found && e.depth == 1 && e.name == "Image") {
                found = true;
                in_image_ = true;
                image_depth_ = e.depth;
                read_image(e);
            }
            return;
        }
        if (e.depth != image_depth_ + 1) return;
        if (e.name == "FITSKeyword") {
            XisfKeyword k;
            if (const auto* v = e.attribute("name")) k.name = *v;
            if (const auto* v = e.attribute("value")) k.value = *v;
            if (const auto* v = e.attribute("comment")) k.comment = *v;
            header.keywords.push_back(std::move(k));
        } else if (e.name == "Property") {
            XisfProperty p;
            if (const auto* v = e.attribute("id")) p.id = *v;
            if (const auto* v = e.attribute("type")) p.type = *v;
            if (const auto* v = e.attribute("value")) {
                p.value = *v;
            } else {
                property_text_ = true;
            }
            header.properties.push_back(std::move(p));
        } else if (e.name == "ColorFilterArray") {
            if (const auto* v = e.attribute("pattern")) header.cfa_pattern = *v;
        } else if (e.name == "Data" && header.location.kind == XisfLocation::Kind::embedded) {
            if (const auto* v = e.attribute("encoding")) header.location.encoding = *v;
            data_text_ = true;
        }
    }

    void text(std::string_view t, std::size_t depth) override {
        if (!in_image_) return;
        if (depth == image_depth_ && header.location.kind == XisfLocation::Kind::inline_text) {
            header.location.text += t;
        } else if (depth == image_depth_ + 1 && property_text_) {
            header.properties.back().value += t;
        } else if (depth == image_depth_ + 1 && data_text_) {
            header.location.text += t;
        }
    }

    void end(std::string_view, std::size_t depth) override {
        if (!in_image_) return;
        if (depth == image_depth_ + 1) {
            property_text_ = false;
            data_text_ = false;
        }
        if (depth == image_depth_) in_image_ = false;
    }

  private:
    void read_image(const XmlElement& e) {
        const auto* geometry = e.attribute("geometry");
        const auto* format = e.attribute("sampleFormat");
        const auto* where = e.attribute("location");
        if (geometry == nullptr || format == nullptr || where == nullptr) {
            error = "Image without geometry, sampleFormat or location";
            return;
        }
        const std::vector<std::string_view> sides = fields(*geometry);
        if (sides.size() != 3) {
            error = "geometry is not width:height:channels";
            return;
        }
        const auto w = whole_number(sides[0]);
        const auto h = whole_number(sides[1]);
        const auto c = whole_number(sides[2]);
        if (!w || !h || !c || *w == 0 || *h == 0 || *w > kMaxSide || *h > kMaxSide) {
            error = "bad geometry";
            return;
        }
        if (*c != 1 && *c != 3) {
            error = "only images of 1 or 3 channels are read";
            return;
        }
        header.width = *w;
        header.height = *h;
        header.channels = *c;
        const auto f = sample_format(*format);
        if (!f) {
            error = "sampleFormat " + *format + " is not read";
            return;
        }
        header.format = *f;
        if (const auto* space = e.attribute("colorSpace")) {
            if (*space != "Gray" && *space != "RGB") {
                error = "colorSpace " + *space + " is not read";
                return;
            }
            header.rgb = *space == "RGB";
        }
        if (const auto* storage = e.attribute("pixelStorage")) {
            if (*storage != "Planar" && *storage != "Normal") {
                error = "bad pixelStorage";
                return;
            }
            header.interleaved = *storage == "Normal";
        }
        if (const auto* order = e.attribute("byteOrder"); order != nullptr && *order != "little") {
            error = "only little-endian samples are read";
            return;
        }
        const auto l = location(*where);
        if (!l) {
            error = "bad location";
            return;
        }
        header.location = *l;
        if (const auto* c2 = e.attribute("compression")) {
            header.compression = block_compression(*c2);
            if (!header.compression) {
                error = "compression " + *c2 + " is not read";
                return;
            }
        }
        if (e.attribute("subblocks") != nullptr) {
            error = "compressed sub-blocks are not read";
            return;
        }
        if (const auto* sum = e.attribute("checksum")) {
            const std::size_t colon = sum->find(':');
            if (colon == std::string::npos) {
                error = "bad checksum";
                return;
            }
            header.checksum_algorithm = sum->substr(0, colon);
            header.checksum = sum->substr(colon + 1);
            for (char& ch : header.checksum)
                if (ch >= 'A' && ch <= 'F') ch = static_cast<char>(ch - 'A' + 'a');
            for (char& ch : header.checksum_algorithm)
                if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        }
    }

    bool in_image_ = false;
    std::size_t image_depth_ = 0;
    bool property_text_ = false;
    bool data_text_ = false;
};

}  // namespace

int xisf_sample_bytes(XisfSampleFormat format) {
    switch (format) {
        case XisfSampleFormat::UInt8:
            return 1;
        case XisfSampleFormat::UInt16:
            return 2;
        case XisfSampleFormat::UInt32:
        case XisfSampleFormat::Float32:
            return 4;
        case XisfSampleFormat::Float64:
            return 8;
    }
    return 8;
}

std::variant<XisfImageHeader, std::string> read_xisf_header(std::string_view xml) {
    HeaderVisitor visitor;
    if (const auto error = read_xml(xml, visitor)) return "header XML: " + *error;
    if (!visitor.error.empty()) return visitor.error;
    if (!visitor.found) return std::string("no image");
    return std::move(visitor.header);
}

}  // namespace trakora
