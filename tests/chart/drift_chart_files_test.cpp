// SPDX-License-Identifier: MIT
// The drift chart written as PNG and SVG: by extension, through a temporary file, and
// nothing left behind when refused.
#include "chart/drift_chart_files.hpp"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/fits_files.hpp"

namespace trakora::chart {
namespace {

namespace fs = std::filesystem;

DriftChart series() {
    DriftChart chart;
    chart.title = "極軸のずれ 3.1′ ± 0.4′ 西 (方位)";
    chart.subtitle = "ドリフト 0.81″/分";
    chart.y_label = "北へのドリフト (″)";
    for (int i = 0; i < 30; ++i)
        chart.points.push_back({i / 3.0, 0.8 * i / 3.0 + (i % 3 - 1) * 1.5, i == 17, 0});
    chart.fit = FitLine{0, 9.67, 4.83, 3.87, 0.8, 0.27, 0.1, 0};
    return chart;
}

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

class DriftChartFiles : public ::testing::Test {
  protected:
    testing::TempDir dir_;
};

TEST_F(DriftChartFiles, WritesByExtensionInAnyCase) {
    struct Case {
        const char* name;
        bool png;
    } const cases[] = {
        {"drift.png", true}, {"DRIFT.PNG", true}, {"drift.svg", false}, {"Drift.Svg", false}};
    for (const Case& c : cases) {
        const fs::path path = dir_.file(c.name);
        std::string error;
        ASSERT_TRUE(write_drift_chart(path.string(), series(), QSize(640, 400), &error))
            << c.name << ": " << error;
        if (c.png) {
            const QImage image(QString::fromStdString(path.string()), "PNG");
            EXPECT_EQ(image.size(), QSize(640, 400)) << c.name;
        } else {
            const std::string svg = read_text(path);
            EXPECT_NE(svg.find("<svg"), std::string::npos) << c.name;
            EXPECT_NE(svg.find("極軸のずれ 3.1′ ± 0.4′ 西 (方位)"), std::string::npos) << c.name;
            EXPECT_NE(svg.find("<path"), std::string::npos) << c.name;
        }
        fs::remove(path);
    }
    EXPECT_TRUE(names_in(dir_.path()).empty());  // no temporary file stays
}

TEST_F(DriftChartFiles, ReplacesAnOlderFileWhole) {
    const fs::path path = dir_.file("drift.svg");
    std::ofstream(path) << std::string(1 << 20, 'x');
    ASSERT_TRUE(write_drift_chart(path.string(), series(), kDefaultChartSize, nullptr));
    EXPECT_EQ(read_text(path).find('x' + std::string(100, 'x')), std::string::npos);
    EXPECT_EQ(names_in(dir_.path()), std::vector<std::string>{"drift.svg"});
}

TEST_F(DriftChartFiles, RefusesWithAMessageAndLeavesNothing) {
    struct Case {
        const char* name;
        std::string path;
        QSize size;
        const char* said;  // part of the message
    } const cases[] = {
        {"unknown extension", "drift.jpg", kDefaultChartSize, "'.jpg'"},
        {"no extension", "drift", kDefaultChartSize, "no extension"},
        {"missing folder", "missing/drift.png", kDefaultChartSize, "missing/drift.png"},
        {"no pixels", "drift.png", QSize(0, 400), "0 x 400"},
        {"too many pixels", "drift.svg", QSize(100000, 400), "100000 x 400"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(write_drift_chart((dir_.path() / c.path).string(), series(), c.size, &error))
            << c.name;
        EXPECT_NE(error.find(c.said), std::string::npos) << c.name << ": " << error;
        EXPECT_TRUE(names_in(dir_.path()).empty()) << c.name;
    }
}

}  // namespace
}  // namespace trakora::chart
