// SPDX-License-Identifier: MIT
// The page's address as a QR code: the size its length asks for, the three finder squares
// where a reader looks for them, and nothing for a text too long for any code.
#include "web/qr_code.hpp"

#include <gtest/gtest.h>

#include <string>

namespace trakora::web {

TEST(QrCode, HasTheSizeAndFinderSquaresOfItsText) {
    // 66 bytes at medium correction: version 5, 37 modules; 19: version 2, 25.
    for (const auto& [text, size] :
         {std::pair{std::string("http://192.168.1.20:8080/?token=0123456789abcdef0123456789abcdef"),
                    37},
          std::pair{std::string("http://10.0.0.1:80/"), 25},
          std::pair{std::string(3000, 'a'), 0}}) {
        const std::optional<QrCode> code = qr_code(text);
        ASSERT_EQ(code ? code->size : 0, size) << text;
        const int far = size - 7;
        for (const auto& [left, top] : {std::pair{0, 0}, std::pair{far, 0}, std::pair{0, far}})
            for (int k = 0; code && k < 49; ++k)
                EXPECT_EQ(code->dark(left + k % 7, top + k / 7),
                          std::max(std::abs(k % 7 - 3), std::abs(k / 7 - 3)) != 2)
                    << text << " at " << left + k % 7 << "," << top + k / 7;
    }
}

}  // namespace trakora::web
