// SPDX-License-Identifier: MIT
#include "fits/plate_solution.hpp"

#include <wcshdr.h>
#include <wcslib.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "fits/header_cards.hpp"

namespace trakora {
namespace {

constexpr double kDegPerRad = 180 / std::numbers::pi;
// A step of 1" along the sky, far above wcslib's rounding and far below the plate's
// curvature.
constexpr double kStepDeg = 1.0 / 3600;

// wcspih's array of solutions, freed on every way out.
class Solutions {
  public:
    explicit Solutions(std::string cards) : header_(std::move(cards)) {
        int rejected = 0;
        const int keys = static_cast<int>(header_.size() / kCardBytes);
        status_ = wcspih(header_.data(), keys, WCSHDR_all, 0, &rejected, &count_, &wcs_);
    }
    ~Solutions() {
        if (wcs_ != nullptr) wcsvfree(&count_, &wcs_);
    }
    Solutions(const Solutions&) = delete;
    Solutions& operator=(const Solutions&) = delete;

    // The primary solution (alternate ' '), or null.
    wcsprm* primary() {
        if (status_ != 0 || wcs_ == nullptr) return nullptr;
        for (int i = 0; i < count_; ++i)
            if (wcs_[i].alt[0] == ' ' || wcs_[i].alt[0] == '\0') return &wcs_[i];
        return nullptr;
    }

  private:
    std::string header_;
    int status_ = 0;
    int count_ = 0;
    wcsprm* wcs_ = nullptr;
};

// Whether `keyword` (blanks trimmed) is `stem` then a number, or with `pair`, a number, an
// underscore and a number; the first number from 1 to `most` (an axis, or an old-form pair),
// the second below 100.
bool indexed(std::string_view keyword, std::string_view stem, bool pair, int most = 3) {
    if (!keyword.starts_with(stem) || keyword.size() == stem.size()) return false;
    const std::string_view rest = keyword.substr(stem.size());
    const std::size_t bar = rest.find('_');
    if (pair != (bar != std::string_view::npos)) return false;
    const std::string_view first = rest.substr(0, bar);
    const std::string_view second = pair ? rest.substr(bar + 1) : std::string_view("0");
    int a = 0, b = 0;
    const auto whole = [](std::string_view digits, int& n) {
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        return !digits.empty() && ec == std::errc{} && end == digits.data() + digits.size();
    };
    return whole(first, a) && whole(second, b) && a >= 1 && a <= most && b >= 0 && b < 100;
}

// The keywords of a celestial plate solution, its primary one only and on the image's
// own axes: wcspih sees these alone. Its parser copies every keyword it knows (dates,
// observatory, spectral and time axes, alternate solutions) into fixed buffers, and a
// damaged card among them has made it write past one; and it sizes its arrays by the
// largest axis named, so CTYPE9999 or NAXIS = 40000 would have it ask for gigabytes. A
// SIP distortion is left out too (its keywords, and "-SIP" after the type): incomplete,
// it crashes the parser, and the plate's north and scale are read at the reference
// pixel, where the distortion is nil.
bool is_plate_keyword(std::string_view keyword) {
    for (std::string_view plain :
         {"SIMPLE", "BITPIX", "LONPOLE", "LATPOLE", "EQUINOX", "EPOCH", "RADESYS", "RADECSYS",
          "A_ORDER", "B_ORDER", "AP_ORDER", "BP_ORDER"})
        if (keyword == plain) return true;
    for (std::string_view stem : {"NAXIS", "CTYPE", "CUNIT", "CRPIX", "CRVAL", "CDELT", "CROTA"})
        if (indexed(keyword, stem, false)) return true;
    for (std::string_view stem : {"PC", "CD", "PV", "PS"})
        if (indexed(keyword, stem, true)) return true;
    // The old form of the matrix, PC001002.
    const auto axis = [](char c) { return c >= '1' && c <= '3'; };
    return keyword.size() == 8 && (keyword.starts_with("PC") || keyword.starts_with("CD")) &&
           keyword.substr(2, 2) == "00" && axis(keyword[4]) && keyword.substr(5, 2) == "00" &&
           axis(keyword[7]);
}

// The number of axes, NAXIS or WCSAXES, as an image has them: 2 or 3 (a colour image).
bool is_axis_count(std::string_view keyword, std::string_view card) {
    if (keyword != "NAXIS" && keyword != "WCSAXES") return false;
    std::string value = card_string_value(card);
    int n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    return ec == std::errc{} && end == value.data() + value.size() && n >= 2 && n <= 3;
}

// A string value as a plate solution's are: one quoted word of at most 18 characters
// ('RA---TAN', 'deg', 'FK5').
bool is_short_string(std::string_view card) {
    const std::string_view value = card.substr(10);
    const std::size_t open = value.find_first_not_of(' ');
    if (open == std::string_view::npos || value[open] != '\'') return true;  // not a string
    const std::size_t close = value.find('\'', open + 1);
    if (close == std::string_view::npos || close - open - 1 > 18) return false;
    return close + 1 == value.size() || value[close + 1] != '\'';
}

// The plate solution's cards (see is_plate_keyword) up to END, whole cards only. A header
// holds printable ASCII alone; any other byte (a file that is no FITS file, a damaged
// card) is read as a blank. A card of those keywords that is no value card, or whose
// string is no short word, is left out as a damaged one.
std::string header_cards(std::string_view cards) {
    std::string kept;
    for (std::size_t at = 0; at + kCardBytes <= cards.size(); at += kCardBytes) {
        std::string card(cards.substr(at, kCardBytes));
        for (char& c : card)
            if (c < ' ' || c > '~') c = ' ';
        if (is_end_card(card)) {
            kept += card;
            break;
        }
        std::string_view keyword = std::string_view(card).substr(0, 8);
        while (!keyword.empty() && keyword.back() == ' ') keyword.remove_suffix(1);
        const bool counts = keyword == "NAXIS" || keyword == "WCSAXES";
        if (keyword.starts_with("CTYPE"))
            if (const std::size_t sip = card.find("-SIP'"); sip != std::string::npos)
                card.replace(sip, 5, "'    ");
        if ((counts ? is_axis_count(keyword, card) : is_plate_keyword(keyword)) &&
            card.compare(8, 2, "= ") == 0 && is_short_string(card))
            kept += card;
    }
    return kept;
}

bool all_finite(const double* values, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

PlateReading failed(PlateFailure failure) { return {std::nullopt, failure}; }

// Whether `card` is one of the primary solution's numbers: CRPIXi, CRVALi, CDELTi,
// CROTAi, PCi_j or CDi_j.
bool is_solution_number(std::string_view card) {
    std::string_view keyword = card.substr(0, 8);
    while (!keyword.empty() && keyword.back() == ' ') keyword.remove_suffix(1);
    for (std::string_view stem : {"CRPIX", "CRVAL", "CDELT", "CROTA"})
        if (indexed(keyword, stem, false)) return true;
    return indexed(keyword, "PC", true) || indexed(keyword, "CD", true);
}

// A value that is no finite number ("NAN", "1E999") would be dropped by wcspih, and the
// matrix filled with its default in its place.
bool has_unreadable_number(std::string_view cards) {
    for (std::size_t at = 0; at + kCardBytes <= cards.size(); at += kCardBytes) {
        const std::string_view card = cards.substr(at, kCardBytes);
        if (!is_solution_number(card) || card.substr(8, 2) != "= ") continue;
        std::string value = card_string_value(card);
        for (char& c : value)
            if (c == 'D' || c == 'd') c = 'E';
        double v = 0;
        const char* begin = value.data() + (value.starts_with('+') ? 1 : 0);
        const auto [end, ec] = std::from_chars(begin, value.data() + value.size(), v);
        if (ec != std::errc{} || end != value.data() + value.size() || !std::isfinite(v))
            return true;
    }
    return false;
}

bool has_sky_axes(const wcsprm& wcs) {
    for (int i = 0; i < wcs.naxis; ++i)
        if (wcs.ctype[i][0] != '\0' && wcs.ctype[i][0] != ' ') return true;
    return false;
}

}  // namespace

std::string_view plate_failure_name(PlateFailure failure) {
    switch (failure) {
        case PlateFailure::absent:
            return "absent";
        case PlateFailure::not_celestial:
            return "not celestial";
        case PlateFailure::singular:
            return "singular";
        case PlateFailure::not_finite:
            return "not finite";
    }
    return "absent";
}

PlateReading plate_solution(std::string_view cards) {
    std::string kept = header_cards(cards);
    if (has_unreadable_number(kept)) return failed(PlateFailure::not_finite);
    Solutions solutions(std::move(kept));
    wcsprm* wcs = solutions.primary();
    if (wcs == nullptr) return failed(PlateFailure::absent);
    const int n = wcs->naxis;
    // wcspih makes a solution of defaults from any header; one without a CTYPE is no
    // plate solution.
    if (n < 2 || !has_sky_axes(*wcs)) return failed(PlateFailure::absent);
    if (!all_finite(wcs->crpix, n) || !all_finite(wcs->crval, n) || !all_finite(wcs->cdelt, n) ||
        !all_finite(wcs->pc, n * n) || !all_finite(wcs->cd, n * n) || !all_finite(wcs->crota, n))
        return failed(PlateFailure::not_finite);
    const int set = wcsset(wcs);
    if (set == WCSERR_SINGULAR_MTX) return failed(PlateFailure::singular);
    if (set != 0) return failed(PlateFailure::absent);
    if (wcs->lng < 0 || wcs->lat < 0) return failed(PlateFailure::not_celestial);
    // Both sky axes must be pixel axes 1 and 2, the image's own.
    const int lng = wcs->lng, lat = wcs->lat;
    if (!((lng == 0 && lat == 1) || (lng == 1 && lat == 0)))
        return failed(PlateFailure::not_celestial);

    // After wcsset the matrix is CDELT times PC in every form (a CD matrix in PC with CDELT
    // 1, CROTA2 turned into PC).
    const double* pc = wcs->lin.pc;
    const double* cdelt = wcs->lin.cdelt;
    const double m00 = cdelt[0] * pc[0], m01 = cdelt[0] * pc[1], m10 = cdelt[1] * pc[n],
                 m11 = cdelt[1] * pc[n + 1];
    // A matrix that maps the plate onto a line or a point solves nothing; wcsset does not
    // always say so.
    const double det = m00 * m11 - m01 * m10;
    const double size = std::abs(m00 * m11) + std::abs(m01 * m10);
    if (!std::isfinite(det)) return failed(PlateFailure::not_finite);
    if (!(std::abs(det) > 1e-9 * size)) return failed(PlateFailure::singular);

    // The sky at the reference pixel, then the pixels one step north and one step east.
    std::vector<double> pixel(wcs->crpix, wcs->crpix + n), image(static_cast<std::size_t>(n)),
        world(static_cast<std::size_t>(n));
    double phi = 0, theta = 0;
    int stat = 0;
    if (wcsp2s(wcs, 1, n, pixel.data(), image.data(), &phi, &theta, world.data(), &stat) != 0)
        return failed(PlateFailure::singular);
    const double ra = world[static_cast<std::size_t>(lng)],
                 dec = world[static_cast<std::size_t>(lat)];
    if (!std::isfinite(ra) || !std::isfinite(dec)) return failed(PlateFailure::not_finite);
    // Near the pole a step north would pass it: step south and turn the result round.
    const double north_sign = dec + kStepDeg > 90 ? -1 : 1;
    const double cos_dec = std::max(std::cos(dec / kDegPerRad), 1e-9);
    const auto pixel_of = [&](double d_ra, double d_dec, double& x, double& y) {
        std::vector<double> w = world, p(static_cast<std::size_t>(n)),
                            img(static_cast<std::size_t>(n));
        w[static_cast<std::size_t>(lng)] = ra + d_ra;
        w[static_cast<std::size_t>(lat)] = dec + d_dec;
        double ph = 0, th = 0;
        int st = 0;
        if (wcss2p(wcs, 1, n, w.data(), &ph, &th, img.data(), p.data(), &st) != 0) return false;
        x = p[0] - pixel[0];
        y = p[1] - pixel[1];
        return std::isfinite(x) && std::isfinite(y);
    };
    double nx = 0, ny = 0, ex = 0, ey = 0;
    if (!pixel_of(0, north_sign * kStepDeg, nx, ny) || !pixel_of(kStepDeg / cos_dec, 0, ex, ey))
        return failed(PlateFailure::not_finite);
    nx *= north_sign;
    ny *= north_sign;
    const double north_px = std::hypot(nx, ny), east_px = std::hypot(ex, ey);
    if (north_px == 0 || east_px == 0) return failed(PlateFailure::singular);

    PlateSolution solution;
    // Screen y runs downward: up is (0, -1), right (1, 0).
    double angle = std::atan2(nx, -ny) * kDegPerRad;
    if (angle < 0) angle += 360;
    if (angle >= 360) angle -= 360;
    solution.north_deg = angle;
    // Unmirrored, east is north turned a quarter counterclockwise on the screen:
    // (ny, -nx), which makes nx ey - ny ex negative.
    solution.mirror = nx * ey - ny * ex > 0;
    solution.scale_arcsec_per_px = 2 * kStepDeg * 3600 / (north_px + east_px);
    solution.ra_deg = ra;
    solution.dec_deg = dec;
    return {solution, PlateFailure::absent};
}

}  // namespace trakora
