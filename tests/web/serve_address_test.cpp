// SPDX-License-Identifier: MIT
// Where the page is served: this machine only unless an address is given; anything else
// than [IPv4 ADDRESS:]PORT is refused.
#include "web/serve_address.hpp"

#include <gtest/gtest.h>

namespace trakora::web {
namespace {

TEST(ServeAddress, ReadsAddressAndPort) {
    struct Row {
        const char* text;
        const char* host;  // nullptr: refused
        int port;
    };
    for (const Row& row : std::initializer_list<Row>{{"8080", "127.0.0.1", 8080},
                                                     {"0.0.0.0:8080", "0.0.0.0", 8080},
                                                     {"192.168.1.20:80", "192.168.1.20", 80},
                                                     {"localhost:0", "127.0.0.1", 0},
                                                     {"65536", nullptr, 0},
                                                     {"80x", nullptr, 0},
                                                     {"-1", nullptr, 0},
                                                     {"", nullptr, 0},
                                                     {"0.0.0.0:", nullptr, 0},
                                                     {"1.2.3:80", nullptr, 0},
                                                     {"example.org:80", nullptr, 0}}) {
        const auto at = serve_address_from_text(row.text);
        ASSERT_EQ(at.has_value(), row.host != nullptr) << row.text;
        if (!at) continue;
        EXPECT_EQ(at->host, row.host) << row.text;
        EXPECT_EQ(at->port, row.port) << row.text;
    }
    EXPECT_EQ(random_token().size(), 32u);
    EXPECT_NE(random_token(), random_token());
}

}  // namespace
}  // namespace trakora::web
