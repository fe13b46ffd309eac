#include "pick.h"
#include "reference.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace trunking;

namespace {

std::vector<std::string> chosen(const std::vector<Pick>& picks)
{
    std::vector<std::string> items;
    for (const Pick& p : picks)
        items.push_back(p.item.value_or("无合适规格"));
    return items;
}

} // namespace

TEST(CataloguePick, SmallestFittingItemOfEachGroup)
{
    // 474 mm² of cable at 33 %.
    const double required = 1436.36363636364;
    const std::vector<Pick> trunkings = smallestFitting(trunkingCatalogue(), required);
    ASSERT_EQ(trunkings.size(), 4u);
    EXPECT_EQ(trunkings[0].heading, "耐火桥架：FQH（NDQJ）-01");
    EXPECT_EQ(trunkings[2].heading, "平地槽：");
    EXPECT_EQ(chosen(trunkings),
              (std::vector<std::string>{"-10-2：200*100=20000", "CTC505：50*50=2500", "2515：150*25=3300", "45X45=2025"}));

    const std::vector<Pick> pipes = smallestFitting(pipeCatalogue(), required);
    ASSERT_EQ(pipes.size(), 2u);
    EXPECT_EQ(pipes[0].heading, "SC/RC:");
    EXPECT_EQ(chosen(pipes), (std::vector<std::string>{"50_2206", "50_1466"}));
}

TEST(CataloguePick, NothingFitsASectionLargerThanEveryItem)
{
    EXPECT_EQ(chosen(smallestFitting(trunkingCatalogue(), 160000.5)),
              (std::vector<std::string>(4, "无合适规格")));
    EXPECT_EQ(chosen(smallestFitting(pipeCatalogue(), 19113)), (std::vector<std::string>{"150(RC)_19113", "无合适规格"}));
}

TEST(CataloguePick, AreasAreReadFromThePrintedTexts)
{
    EXPECT_EQ(printedArea("125(RC)_13478"), 13478);
    EXPECT_EQ(printedArea("-20-8：800*200=160000"), 160000);
    EXPECT_FALSE(printedArea("FFD为两仓型"));
    EXPECT_FALSE(printedArea("耐火桥架：FQH（NDQJ）-01"));
}

// Items of one group with the same printed section: the first listed is
// taken, wherever the catalogue lists them.
TEST(CataloguePick, OfEqualSectionsTheFirstListedIsTaken)
{
    int pairs = 0;
    for (const std::vector<std::string>* list : {&trunkingCatalogue(), &pipeCatalogue()}) {
        // The items of each group, split at the headings as pick.h words them.
        std::vector<std::vector<std::string>> groups;
        for (const std::string& item : *list) {
            if (!printedArea(item)) {
                if (item.find(':') != std::string::npos || item.find("：") != std::string::npos)
                    groups.emplace_back();
                continue;
            }
            if (groups.empty())
                groups.emplace_back();
            groups.back().push_back(item);
        }
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const std::vector<std::string>& items = groups[g];
            for (auto i = items.begin(); i != items.end(); ++i) {
                const double area = *printedArea(*i);
                auto same = [area](const std::string& item) { return printedArea(item) == area; };
                if (std::any_of(items.begin(), i, same) || std::none_of(i + 1, items.end(), same))
                    continue; // not the first of two or more of this section
                ++pairs;
                const std::vector<Pick> picks = smallestFitting(*list, area);
                ASSERT_EQ(picks.size(), groups.size());
                EXPECT_EQ(picks[g].item.value_or("无合适规格"), *i);
            }
        }
    }
    EXPECT_GT(pairs, 0) << "the catalogues list no two items of one section";

    // Equal sections listed after a larger one, and at a section between sizes.
    const std::vector<std::string> small = {"槽：", "A=200", "B=100", "C=100", "D=150"};
    EXPECT_EQ(chosen(smallestFitting(small, 90)), std::vector<std::string>{"B=100"});
    EXPECT_EQ(chosen(smallestFitting(small, 100)), std::vector<std::string>{"B=100"});
}
