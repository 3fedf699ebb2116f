// SPDX-License-Identifier: MIT
#include "fits/xisf_cards.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string_view>
#include <vector>

#include "base/number_text.hpp"
#include "fits/fits_writer.hpp"
#include "fits/header_cards.hpp"

namespace trakora {
namespace {

bool is_fits_name(std::string_view name) {
    if (name.empty() || name.size() > 8) return false;
    for (const char c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            return false;
    }
    return true;
}

// Cards the format itself gives; a FITSKeyword of one of these names is left out.
bool is_format_keyword(std::string_view name) {
    return name == "SIMPLE" || name == "BITPIX" || name.starts_with("NAXIS") || name == "BZERO" ||
           name == "BSCALE" || name == "END" || name == "EXTEND" || name == "XTENSION";
}

// Printable ASCII only, in a card of exactly kCardBytes.
std::string card_of(std::string text) {
    for (char& c : text)
        if (c < ' ' || c > '~') c = '?';
    text.resize(kCardBytes, ' ');
    return text;
}

std::string keyword_card(const XisfKeyword& k) {
    std::string name = k.name;
    name.resize(8, ' ');
    if ((k.name == "COMMENT" || k.name == "HISTORY") && k.value.empty()) {
        return card_of(name + k.comment);
    }
    std::string value = k.value;
    // Numbers and logicals stand right-justified to column 30, where the card's number is
    // read; strings start at column 11.
    if (!value.starts_with('\'') && value.size() < 20) value.insert(0, 20 - value.size(), ' ');
    std::string text = name + "= " + value;
    if (!k.comment.empty()) text += " / " + k.comment;
    return card_of(text);
}

std::optional<double> number_of(const std::string& text) {
    const double v = read_number(text);
    if (!std::isfinite(v)) return {};
    // read_number gives 0 for text that is no number; only "0..." may mean 0.
    if (v == 0 && text.find_first_of("0") == std::string::npos) return {};
    return v;
}

// Degrees as sexagesimal text, "HH MM SS.ss" for hours (divided by 15), "+DD MM SS.s".
std::string sexagesimal(double value, bool hours) {
    const bool negative = value < 0;
    double v = std::fabs(value) / (hours ? 15.0 : 1.0);
    const int decimals = hours ? 2 : 1;
    const double unit = std::pow(10.0, decimals);
    double seconds_total = std::round(v * 3600.0 * unit) / unit;
    const int whole = static_cast<int>(seconds_total / 3600.0);
    seconds_total -= whole * 3600.0;
    const int minutes = static_cast<int>(seconds_total / 60.0);
    const double seconds = seconds_total - minutes * 60.0;
    char text[40];
    if (hours) {
        std::snprintf(text, sizeof text, "%02d %02d %05.2f", whole, minutes, seconds);
    } else {
        std::snprintf(text, sizeof text, "%c%02d %02d %04.1f", negative ? '-' : '+', whole, minutes,
                      seconds);
    }
    return text;
}

// The time without a zone: FITS times are UTC and carry none.
std::string fits_time(std::string t) {
    if (t.ends_with('Z')) t.pop_back();
    if (t.ends_with("+00:00")) t.resize(t.size() - 6);
    return t;
}

struct PropertyCard {
    std::string_view id;
    std::string_view keyword;
    std::function<std::optional<std::string>(const std::string& keyword, const std::string&)> make;
};

std::optional<std::string> text_card(const std::string& keyword, const std::string& value) {
    return string_card(keyword, value);
}

std::function<std::optional<std::string>(const std::string&, const std::string&)> real_in(
    double factor) {
    return [factor](const std::string& keyword, const std::string& value) {
        const auto v = number_of(value);
        if (!v || !std::isfinite(*v * factor)) return std::optional<std::string>{};
        return std::optional<std::string>(real_card(keyword, *v * factor));
    };
}

std::function<std::optional<std::string>(const std::string&, const std::string&)> sexagesimal_of(
    bool hours) {
    return [hours](const std::string& keyword, const std::string& value) {
        const auto v = number_of(value);
        if (!v || std::fabs(*v) > 360) return std::optional<std::string>{};
        return std::optional<std::string>(string_card(keyword, sexagesimal(*v, hours)));
    };
}

const std::vector<PropertyCard>& property_cards() {
    static const std::vector<PropertyCard> kCards = {
        {"Observation:Time:Start", "DATE-OBS",
         [](const std::string& keyword, const std::string& value) {
             return std::optional<std::string>(string_card(keyword, fits_time(value)));
         }},
        {"Observation:Object:Name", "OBJECT", text_card},
        {"Observation:Object:RA", "OBJCTRA", sexagesimal_of(true)},
        {"Observation:Object:Dec", "OBJCTDEC", sexagesimal_of(false)},
        {"Observation:Center:RA", "RA", real_in(1)},
        {"Observation:Center:Dec", "DEC", real_in(1)},
        {"Observation:Location:Latitude", "SITELAT", real_in(1)},
        {"Observation:Location:Longitude", "SITELONG", real_in(1)},
        {"Observation:Location:Elevation", "SITEELEV", real_in(1)},
        {"Observation:Meteorology:AmbientTemperature", "AMBTEMP", real_in(1)},
        {"Observation:Meteorology:AtmosphericPressure", "PRESSURE", real_in(1)},
        {"Instrument:Telescope:FocalLength", "FOCALLEN", real_in(1000)},  // metres to mm
        {"Instrument:Sensor:XPixelSize", "XPIXSZ", real_in(1)},           // micrometres
        {"Instrument:Sensor:YPixelSize", "YPIXSZ", real_in(1)},
        {"Instrument:Sensor:Temperature", "CCD-TEMP", real_in(1)},
        {"Instrument:ExposureTime", "EXPTIME", real_in(1)},
    };
    return kCards;
}

int fits_bitpix(XisfSampleFormat f) {
    switch (f) {
        case XisfSampleFormat::UInt8:
            return 8;
        case XisfSampleFormat::UInt16:
            return 16;
        case XisfSampleFormat::UInt32:
            return 32;
        case XisfSampleFormat::Float32:
        case XisfSampleFormat::Float64:
            return -32;
    }
    return -32;
}

}  // namespace

std::string xisf_cards(const XisfImageHeader& h) {
    std::vector<std::string> cards = {
        logical_card("SIMPLE", true),
        integer_card("BITPIX", fits_bitpix(h.format)),
        integer_card("NAXIS", h.channels == 3 ? 3 : 2),
        integer_card("NAXIS1", static_cast<long long>(h.width)),
        integer_card("NAXIS2", static_cast<long long>(h.height)),
    };
    if (h.channels == 3) cards.push_back(integer_card("NAXIS3", 3));
    if (h.format == XisfSampleFormat::UInt32) cards.push_back(real_card("BZERO", 2147483648.0));
    std::vector<std::string> names;
    for (const XisfKeyword& k : h.keywords) {
        if (!is_fits_name(k.name) || is_format_keyword(k.name)) continue;
        cards.push_back(keyword_card(k));
        names.push_back(k.name);
    }
    const auto named = [&names](std::string_view keyword) {
        for (const std::string& n : names)
            if (n == keyword) return true;
        return false;
    };
    for (const PropertyCard& p : property_cards()) {
        if (named(p.keyword)) continue;
        for (const XisfProperty& property : h.properties) {
            if (property.id != p.id) continue;
            if (auto card = p.make(std::string(p.keyword), property.value)) {
                cards.push_back(card_of(*card));
                names.emplace_back(p.keyword);
            }
            break;
        }
    }
    if (!h.cfa_pattern.empty() && !named("BAYERPAT") && h.cfa_pattern.size() <= 16) {
        bool plain = true;
        for (const char c : h.cfa_pattern) plain = plain && c >= 'A' && c <= 'Z';
        if (plain) cards.push_back(string_card("BAYERPAT", h.cfa_pattern));
    }
    if (cards.size() > kMaxHeaderCards - 1) cards.resize(kMaxHeaderCards - 1);
    std::string text;
    for (const std::string& c : cards) text += c;
    text += card_of("END");
    return text;
}

}  // namespace trakora
