// SPDX-License-Identifier: MIT
// How the program reads a number from text and writes one back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trakora {

// The number-reading rule, used for FITS value fields and for the text boxes alike:
// blanks (spaces and tabs) are skipped wherever they stand, also between digits; then an
// optional sign, digits with an optional "." and an optional exponent (E or D, optional
// sign, digits). Reading stops at the first character that cannot continue the number
// ("/", a quote, a letter); a text without a number gives 0. A magnitude too large for a
// double gives an infinity of its sign. Independent of the process locale.
// That rule is the one the reader and the text boxes are pinned to; keep it as it is.
double read_number(std::string_view text);

// A strict reading for values that name one number and nothing else (command-line
// options, script words, header values of the observing keywords after their own
// dialect is taken off): the whole text is an optional sign, digits with an optional "."
// and an optional exponent (E, optional sign, digits), and the value is finite. No
// blanks, no second sign ("+-5"), no "inf" or "nan"; independent of the process locale.
std::optional<double> exact_number(std::string_view text);

// Plain decimal text: "-" for negative numbers, no decimal point for whole numbers, the
// shortest digits that read back as the same double otherwise ("-5", "16.5", "0").
std::string plain_number_text(double value);

// Fixed-point text with `decimals` digits after the point, rounded as printf does
// ("1.200", "2.5", "-0.0").
std::string fixed_text(double value, int decimals);

// The number text with a sign position: a blank or "-", then the magnitude as plain
// decimal text (" 64", "-3", " 16.5").
std::string signed_number_text(double value);

}  // namespace trakora
