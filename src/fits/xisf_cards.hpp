// SPDX-License-Identifier: MIT
// An XISF image's header as FITS cards, so that everything that reads a header (the
// observing keywords, the observation time, the plate reading, the newest-image scan)
// reads an XISF file as it reads a FITS one.
#pragma once

#include <string>

#include "fits/xisf_header.hpp"

namespace trakora {

// The cards, kCardBytes each and ending with END: SIMPLE, BITPIX, NAXIS and the sides as
// the format's FITS twin has them (BZERO 2147483648 for UInt32 samples), then every
// FITSKeyword of a FITS name (bar those), then the properties of known meaning whose
// keyword no FITSKeyword gave (Observation:Time:Start as DATE-OBS, the object's and the
// centre's coordinates, the site, the focal length, the pixel size, ...), and a Bayer
// image's pattern as BAYERPAT. At most kMaxHeaderCards cards.
std::string xisf_cards(const XisfImageHeader& header);

}  // namespace trakora
