// SPDX-License-Identifier: MIT
#include "ui/language.hpp"

#include <QString>

namespace trakora::ui {

std::optional<Language> language_named(std::string_view name) {
    if (name == "ja") return Language::japanese;
    if (name == "en") return Language::english;
    return std::nullopt;
}

std::unique_ptr<QTranslator> translator_for(Language language) {
    if (language == Language::japanese) return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/trakora_en.qm"))) return nullptr;
    return translator;
}

}  // namespace trakora::ui
