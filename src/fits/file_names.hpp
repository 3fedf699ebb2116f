// SPDX-License-Identifier: MIT
// The names under which the program looks for images.
#pragma once

#include <string>
#include <string_view>

namespace trakora {

// Whether a name ends like a FITS image: "Fit", "FIT", "FTS" or "Fts", case included, no
// dot needed. Names shorter than three characters never do.
bool has_fits_ending(const std::string& name);

// Whether a name ends in ".fit", ".fits" or ".fts" in any case, as the images of most
// capture programs are named ("Light_0001.fits", "frame.fit").
bool has_fits_extension(std::string_view name);

// Whether a name ends in ".fz" in any case ("Light_0001.fits.fz", "frame.fit.fz"): a
// tile-compressed FITS file, whose image is its first compressed extension.
bool has_compressed_fits_extension(std::string_view name);

// Whether a name ends in ".xisf" in any case.
bool has_xisf_extension(std::string_view name);

// How a file under a name is read: a name's extension says it, so that a file that
// merely looks like another format is read, and rejected, as the program always did.
enum class ImageFormat {
    fits,             // everything else: the program's own FITS reader
    compressed_fits,  // .fz
    xisf,             // .xisf
};
ImageFormat image_format_of(std::string_view name);

// Whether a name is a candidate for the newest image: one with a FITS ending, and with
// `any_case_extension` also one with a FITS extension in any case, a tile-compressed FITS
// name (.fz) or an XISF name (.xisf). Hidden names and the kind of file are not looked at
// here.
bool is_image_name(const std::string& name, bool any_case_extension);

}  // namespace trakora
