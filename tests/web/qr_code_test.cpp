// SPDX-License-Identifier: MIT
// The page's address as a QR code: the size a phone's reader expects for its length, the
// three finder squares where a reader looks for them, and nothing for a text too long.
#include "web/qr_code.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trakora::web {
namespace {

struct QrRow {
    const char* name;
    std::string text;
    int size;  // 0: no code
};

TEST(QrCode, HasTheSizeAndFinderSquaresOfItsText) {
    const std::vector<QrRow> rows = {
        // 66 bytes at medium correction: version 5, 37 modules.
        {"address", "http://192.168.1.20:8080/?token=0123456789abcdef0123456789abcdef", 37},
        {"short", "http://10.0.0.1:80/", 25},
        {"too_long", std::string(3000, 'a'), 0},
    };
    for (const QrRow& row : rows) {
        const std::optional<QrCode> code = qr_code(row.text);
        ASSERT_EQ(code ? code->size : 0, row.size) << row.name;
        if (!code) continue;
        const int far = code->size - 7;
        for (const auto& [left, top] : {std::pair{0, 0}, std::pair{far, 0}, std::pair{0, far}})
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 7; ++x)
                    EXPECT_EQ(code->dark(left + x, top + y),
                              std::max(std::abs(x - 3), std::abs(y - 3)) != 2)
                        << row.name << " at " << left + x << "," << top + y;
    }
}

}  // namespace
}  // namespace trakora::web
