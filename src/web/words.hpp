// SPDX-License-Identifier: MIT
// The web face's words, English and Japanese, from its one word table (page/words.json,
// built into the program as :/trakora-web/words.json): the page reads the table itself,
// and the server words the advice with it.
#pragma once

#include <string>

#include "session/drift_advice.hpp"

namespace trakora::web {

const char* advice_code(AdviceKind kind);          // "wait_for_images", ...
const char* progress_code(ProgressKind progress);  // "measuring", ...

// The word of `key` in `lang` ("en" or "ja"; English for any other), the key itself when
// the table has none.
std::string word(const std::string& lang, const std::string& key);

// The advice's sentence, a turn's amount in arcminutes with one decimal.
std::string advice_text(const DriftAdvice& advice, const std::string& lang);

}  // namespace trakora::web
