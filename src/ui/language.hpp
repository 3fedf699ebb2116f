// SPDX-License-Identifier: MIT
// The language the desktop program shows: Japanese, as its texts are written, or English
// from the translation built into the program.
//
// Usage:
//   const std::unique_ptr<QTranslator> english = translator_for(Language::english);
//   if (english) QCoreApplication::installTranslator(english.get());  // before any window
#pragma once

#include <QTranslator>
#include <memory>
#include <optional>
#include <string_view>

namespace trakora::ui {

enum class Language { japanese, english };

// "ja" or "en"; nothing for any other name.
std::optional<Language> language_named(std::string_view name);

// The translator that shows the texts in `language`; nullptr for Japanese, which needs
// none, and when the built-in translation cannot be loaded.
std::unique_ptr<QTranslator> translator_for(Language language);

}  // namespace trakora::ui
