#include "reference.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace trunking;

namespace {

// Characters, not bytes: the texts are counted as the engineer sees them.
std::size_t characters(const std::string& s)
{
    std::size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string firstCharacters(const std::string& s, std::size_t count)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && n++ == count)
            return s.substr(0, i);
    }
    return s;
}

std::vector<std::string> lines(const std::string& s)
{
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = s.find("\r\n", from)) != std::string::npos; from = at + 2)
        out.push_back(s.substr(from, at - from));
    out.push_back(s.substr(from));
    return out;
}

} // namespace

TEST(Reference, TrunkingCatalogueInItsOrder)
{
    const auto& items = trunkingCatalogue();
    ASSERT_EQ(items.size(), 45u);
    struct Item { std::size_t at; const char* text; };
    const Item expected[] = {
        {0, "耐火桥架：FQH（NDQJ）-01"}, {1, "-10-2：200*100=20000"}, {10, "-20-5：500*200=100000"},
        {16, "-20-8：800*200=160000"}, {17, "电线槽："}, {18, "CTC505：50*50=2500"}, {27, "CTC1515：150*150=22500"},
        {28, "平地槽："}, {29, "FF为标准型"}, {30, "FFD为两仓型"}, {31, "FFS为三仓型"},
        {32, "2515：150*25=3300"}, {39, "3830：300*38=10500"}, {40, "金属线槽98D1-113："},
        {41, "45X30=1350"}, {44, "120X65=7800"},
    };
    for (const Item& e : expected)
        EXPECT_EQ(items[e.at], e.text) << "item " << e.at + 1;
    // Designation and size are parted by the full-width colon throughout.
    for (const std::string& item : items)
        EXPECT_EQ(item.find(':'), std::string::npos) << item;
}

TEST(Reference, PipeCatalogueWithItsHeadings)
{
    const std::vector<std::string> expected = {
        "SC/RC:          ", "15_194", "20_355", "25_573", "32_1003", "40_1320", "50_2206",
        "70_3631", "80_5089", "100_8824", "125(RC)_13478", "150(RC)_19113",
        "PC:          ", "16_117", "20_196", "25_333", "32_556", "40_929", "50_1466", "63_2386",
    };
    EXPECT_EQ(pipeCatalogue(), expected);
    EXPECT_EQ(pipeCatalogue()[0], "SC/RC:" + std::string(10, ' '));
    EXPECT_EQ(pipeCatalogue()[12], "PC:" + std::string(10, ' '));
}

TEST(Reference, FillPercentages)
{
    EXPECT_EQ(fillPercentages(), (std::vector<std::string>{"20", "22", "27.5", "33", "40", "50"}));
}

TEST(Reference, FillRulesKeepTheirBeginningAndAreComplete)
{
    const std::string& rules = fillRules();
    const std::string given =
        "一、绝缘导线在线槽内容线面积：\r\n"
        "   作为配电线路在墙上或支架上安装时按不大于线槽有效面积的20%计算；\r\n"
        "   作为配电线路在地面内安装时按不大于线槽有效面积的40%计算；\r\n"
        "   作为控制、信号、弱电线路在墙上、支架上或地面内安装时按不大于线槽有效面积的50%计算；\r\n"
        "   强弱电线路不应同敷设于一根线槽内，一根线槽的载流导体根数一般不应超过30根，控制或信号线路除外。\r\n"
        "二、电线穿保护管管径的选择：\r\n"
        "   1~6mm2时按不大于电线管内孔总面积的33%计算；\r\n"
        "   10~50mm2时按不大于电";
    ASSERT_EQ(characters(given), 255u);
    EXPECT_EQ(firstCharacters(rules, 255), given);

    const auto all = lines(rules);
    ASSERT_EQ(all.size(), 9u);
    EXPECT_EQ(all[7], "   10~50mm2时按不大于电线管内孔总面积的27.5%计算；");
    EXPECT_EQ(all[8], "   70~150mm2时按不大于电线管内孔总面积的22%计算。");
    // Lines break only as CR LF, and none follows the last.
    for (const std::string& line : all)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;

    // Every percentage offered has its rule, and each rule its percentage.
    for (const char* percent : {"20%", "40%", "50%", "33%", "27.5%", "22%"})
        EXPECT_NE(rules.find(percent), std::string::npos) << percent;
}
