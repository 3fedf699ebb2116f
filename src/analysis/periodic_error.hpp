// SPDX-License-Identifier: MIT
// The mount's periodic error from a segment's drift: the sine in the star's RA
// motion about its fitted line, on the RA axis (the star moves by it times cos dec).
//
//   DriftSummary s = drift_summary(fit, geometry);
//   add_periodic_error(s, fit, points);  // s.pe_arcsec, s.pe_period_min when one stands out
#pragma once

#include <span>

#include "analysis/drift_fit.hpp"
#include "analysis/polar_error.hpp"

namespace trakora {

// Sets the summary's peak-to-peak periodic error and its period from the fit's used
// points (those `fit` did not exclude), when the summary knows the orientation, the plate
// scale and a declination short of the pole, and periodic_motion finds a sine.
void add_periodic_error(DriftSummary& s, const DriftFit& fit, std::span<const DriftSample> points);

}  // namespace trakora
