// SPDX-License-Identifier: MIT
#include "web/words.hpp"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace trakora::web {
namespace {

// The table, read once: it is built into the program and never changes.
const QJsonObject& table() {
    static const QJsonObject words = [] {
        QFile file(QStringLiteral(":/trakora-web/words.json"));
        if (!file.open(QIODevice::ReadOnly)) return QJsonObject();
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return words;
}

}  // namespace

const char* advice_code(AdviceKind kind) {
    switch (kind) {
        case AdviceKind::wait_for_images:
            return "wait_for_images";
        case AdviceKind::needs_scale:
            return "needs_scale";
        case AdviceKind::needs_hour_angle:
            return "needs_hour_angle";
        case AdviceKind::mixed_star:
            return "mixed_star";
        case AdviceKind::direction_unknown:
            return "direction_unknown";
        case AdviceKind::within_noise:
            return "within_noise";
        case AdviceKind::turn:
            break;
    }
    return "turn";
}

const char* progress_code(ProgressKind progress) {
    switch (progress) {
        case ProgressKind::measuring:
            return "measuring";
        case ProgressKind::minutes_left:
            return "minutes_left";
        case ProgressKind::enough:
            return "enough";
        case ProgressKind::orientation_needed:
            break;
    }
    return "orientation_needed";
}

std::string word(const std::string& lang, const std::string& key) {
    const QJsonObject words =
        table().value(QString::fromStdString(lang == "ja" ? lang : "en")).toObject();
    const QJsonValue value = words.value(QString::fromStdString(key));
    return value.isString() ? value.toString().toStdString() : key;
}

std::string advice_text(const DriftAdvice& advice, const std::string& lang) {
    if (advice.kind != AdviceKind::turn || !advice.direction)
        return word(lang, std::string("advice_") + advice_code(advice.kind == AdviceKind::turn
                                                                   ? AdviceKind::wait_for_images
                                                                   : advice.kind));
    static constexpr const char* kWays[] = {"east", "west", "high", "low"};
    std::string sentence =
        word(lang, std::string("advice_turn_") + kWays[static_cast<int>(*advice.direction)]);
    char amount[32];
    std::snprintf(amount, sizeof amount, "%.1f′", advice.turn_arcmin);
    if (const auto at = sentence.find("%1"); at != std::string::npos)
        sentence.replace(at, 2, amount);
    return sentence;
}

}  // namespace trakora::web
