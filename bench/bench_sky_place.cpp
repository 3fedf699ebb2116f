// SPDX-License-Identifier: MIT
// What a plate-solved, refracted image costs the drift assistant once per image: reading
// north from the header's plate solution, and the star's place and refraction drift.
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/refraction.hpp"
#include "fits/fits_writer.hpp"
#include "fits/plate_solution.hpp"

namespace {

using namespace trakora;

// A capture program's header of some 40 cards with a TAN solution at 37 degrees.
std::string solved_header() {
    std::vector<std::string> cards = {logical_card("SIMPLE", true), integer_card("BITPIX", 16),
                                      integer_card("NAXIS", 2), integer_card("NAXIS1", 3008),
                                      integer_card("NAXIS2", 3008)};
    for (int i = 0; i < 28; ++i)
        cards.push_back(real_card("HISTX" + std::to_string(i), i * 1.5, "filler"));
    cards.push_back(string_card("CTYPE1", "RA---TAN"));
    cards.push_back(string_card("CTYPE2", "DEC--TAN"));
    cards.push_back(real_card("CRPIX1", 1504.5));
    cards.push_back(real_card("CRPIX2", 1504.5));
    cards.push_back(real_card("CRVAL1", 83.82));
    cards.push_back(real_card("CRVAL2", -5.39));
    cards.push_back(real_card("CD1_1", -3.3276e-4));
    cards.push_back(real_card("CD1_2", -2.5076e-4));
    cards.push_back(real_card("CD2_1", 2.5076e-4));
    cards.push_back(real_card("CD2_2", -3.3276e-4));
    std::string header;
    for (const std::string& card : cards) header += card;
    header += std::string("END").append(77, ' ');
    return header;
}

void BM_PlateSolution(benchmark::State& state) {
    const std::string header = solved_header();
    for (auto _ : state) benchmark::DoNotOptimize(plate_solution(header));
}
BENCHMARK(BM_PlateSolution);

void BM_RefractionDrift(benchmark::State& state) {
    double ha = -3.9;
    for (auto _ : state) {
        benchmark::DoNotOptimize(refraction_north_drift_arcsec_per_min(ha, 10, 50, {}));
        benchmark::DoNotOptimize(star_place(ha, 10, 50));
        ha += 1e-6;
    }
}
BENCHMARK(BM_RefractionDrift);

}  // namespace

BENCHMARK_MAIN();
