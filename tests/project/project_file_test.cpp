// The project file by itself, against a made-up window and a made-up part:
// what is written reads back the same, records shared along their `from`
// chains as they were; a file that cannot be taken whole is refused whole,
// with the reason; a newer format is refused by its version.

#include "project.h"

#include <QJsonArray>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// A window with a control of each kind a state speaks of.
const ui::Table& sample()
{
    static const ui::Table table{
        {"yb", "样板", 4000, 2000, "宋体", 12, 32},
        {
            ui::field("a", "", "", {0, 0, 900, 375}, 0).input("长度", "a", "m"),
            ui::field("b", "", "", {0, 480, 900, 375}, 1).result("面积", "b", "m²"),
            ui::field("sum", "", "", {0, 960, 900, 375}, 2).result("合计", "Σ", "m²"),
            ui::frame("f", "种类", {1200, 0, 1500, 900}, 3),
            ui::option("o1", "甲", {120, 240, 600, 300}, 4).in("f").checked(),
            ui::option("o2", "乙", {720, 240, 600, 300}, 5).in("f"),
            ui::list("lb", {1200, 960, 1500, 600}, 6).withItems({"一", "二"}).startHidden(),
            ui::button("go", "计算&S", "", {2900, 0, 900, 450}, 7).orCaption("再算&S"),
        },
    };
    return table;
}

const ui::Table* tables(const std::string& window) { return window == "yb" ? &sample() : nullptr; }

// What the calculator keeps beyond its window: a list of notes.
project::Part notesPart()
{
    project::Part part;
    part.keys = {QStringLiteral("notes")};
    part.check = [](const QJsonObject& entries) {
        if (!entries.contains("notes"))
            return QString();
        const QJsonValue notes = entries.value("notes");
        bool texts = notes.isArray();
        for (const QJsonValue& v : notes.toArray())
            texts = texts && v.isString();
        return texts ? QString() : QStringLiteral("备注不是一列文字");
    };
    part.holdsInput = [](const QJsonObject& entries) { return !entries.value("notes").toArray().isEmpty(); };
    return part;
}

project::Read readBack(const QByteArray& bytes) { return project::read(bytes, tables, {}, {notesPart()}); }

// A project with all a file holds: header, a window with records made from
// records, a failed step, two cases and the part's entries.
project::Project sampleProject()
{
    auto area = std::make_shared<ui::Record>();
    area->by = "go";
    area->step = 1;
    area->figures = {{"a", ui::Figure::Kind::Strict, "3", nullptr},
                     {"o2", ui::Figure::Kind::Option, "乙", nullptr},
                     {"表1", ui::Figure::Kind::Lookup, "第 2 行", nullptr}};
    auto total = std::make_shared<ui::Record>();
    total->by = "go";
    total->step = 2;
    total->figures = {{"b", ui::Figure::Kind::Lenient, "12", area}, {"a", ui::Figure::Kind::Strict, "3", nullptr}};
    total->depth = 2;

    ui::State s;
    s.texts = {{"a", "3"}, {"b", "12"}, {"sum", "15"}};
    s.checked = {"o2"};
    s.shown = {{"lb", true}};
    s.current = {{"lb", 1}};
    s.captions = {{"go", "再算&S"}};
    s.records = {{"b", area}, {"sum", total}};
    s.failures = {{"go", {"go", 3, "a", "不是一个数"}}};
    s.steps = 3;

    ui::State fresh;
    fresh.texts = {{"a", "7"}};

    project::Project p;
    p.header = {"幸福小区", "3#楼", "王工", "李工"};
    p.windows["yb"] = s;
    p.cases["yb"] = {{"甲 3 m", s}, {"乙", fresh}};
    p.parts["notes"] = QJsonArray{QStringLiteral("一楼"), QStringLiteral("二楼")};
    return p;
}

} // namespace

TEST(ProjectFile, WhatIsWrittenReadsBackTheSame)
{
    const project::Project p = sampleProject();
    const QByteArray bytes = project::write(p);
    const project::Read read = readBack(bytes);
    ASSERT_TRUE(read.project) << read.error.toStdString();
    EXPECT_TRUE(*read.project == p);
    EXPECT_EQ(project::write(*read.project), bytes);

    // A record another reads is one record again, not a copy of it.
    const ui::State& s = read.project->windows.at("yb");
    EXPECT_EQ(s.records.at("sum")->figures.at(0).from, s.records.at("b"));
    EXPECT_EQ(s.records.at("sum")->depth, 2);

    // The cases as given to casesJson(), as recovery writes them.
    const QJsonObject cases = project::casesJson(p.cases);
    EXPECT_EQ(project::write(p, &cases), bytes);
}

TEST(ProjectFile, RecoveryKeepsItsFileAndWhetherItWasSaved)
{
    const project::Recovery r{sampleProject(), QStringLiteral("/工程/幸福小区.elcarta"), true};
    const std::optional<project::Recovery> back =
        project::readRecovery(project::writeRecovery(r), tables, {}, {notesPart()});
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->project == r.project);
    EXPECT_EQ(back->file, r.file);
    EXPECT_TRUE(back->unsaved);
    // A project file is no recovery file.
    EXPECT_FALSE(project::readRecovery(project::write(r.project), tables, {}, {notesPart()}));
}

// A file the sample's differs from in one place, and why it is refused.
struct BadFile {
    const char* name;
    const char* from; // in the sample's file
    const char* to;
    const char* reason;
};

void PrintTo(const BadFile& f, std::ostream* os) { *os << f.name; }

class RefusedFile : public ::testing::TestWithParam<BadFile> {};

// Refused whole: no project at all, however much of the file could be read.
TEST_P(RefusedFile, IsRefusedWholeWithTheReason)
{
    const QByteArray good = project::write(sampleProject());
    ASSERT_TRUE(good.contains(GetParam().from)) << "the sample's file has no " << GetParam().from;
    const project::Read read = readBack(QByteArray(good).replace(GetParam().from, GetParam().to));
    EXPECT_FALSE(read.project);
    EXPECT_TRUE(read.error.contains(QString::fromUtf8(GetParam().reason))) << read.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, RefusedFile,
    ::testing::Values(BadFile{"CaseWithoutName", "\"name\":\"乙\"", "\"name\":\" \"", "有算例没有名称"},
                      BadFile{"TwoOptionsOfOneGroup", "\"checked\":[\"o2\"]", "\"checked\":[\"o1\",\"o2\"]",
                              "一组选项中只能选中一项"},
                      BadFile{"ListRowPastItsItems", "\"current\":{\"lb\":1}", "\"current\":{\"lb\":2}", "没有第 3 项"},
                      BadFile{"RecordFromALaterRecord", "\"from\":0", "\"from\":1", "不合前后次序"},
                      BadFile{"OptionTheWindowHasNot", "\"name\":\"o2\"", "\"name\":\"o9\"", "没有选项“o9”"},
                      BadFile{"CaptionTheButtonNeverShows", "再算&S", "乱算&S", "不能显示“乱算&S”"},
                      BadFile{"StepsNotWhole", "\"steps\":3", "\"steps\":3.5", "计算次数不是有效的整数"},
                      BadFile{"PartRefusesItsEntries", "\"notes\":[\"一楼\"", "\"notes\":[1", "备注不是一列文字"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

// A newer format is refused by its version, before anything it may hold
// that this version does not know.
TEST(ProjectFile, ANewerFormatIsRefusedByItsVersion)
{
    const QByteArray current = QByteArray("\"version\":") + QByteArray::number(project::formatVersion);
    const QByteArray good = project::write(sampleProject());
    ASSERT_TRUE(good.contains(current));
    const int newer = project::formatVersion + 1;
    const QByteArray bytes = QByteArray(good)
                                 .replace(current, QByteArray("\"version\":") + QByteArray::number(newer))
                                 .replace("\"yb\"", "\"xinchuangkou\"");
    const project::Read read = readBack(bytes);
    EXPECT_FALSE(read.project);
    EXPECT_TRUE(read.error.contains(QStringLiteral("格式版本 %1").arg(newer))) << read.error.toStdString();
    EXPECT_TRUE(read.error.contains(QStringLiteral("格式版本 %1 及以前").arg(project::formatVersion)))
        << read.error.toStdString();
    EXPECT_FALSE(read.error.contains(QStringLiteral("xinchuangkou"))) << read.error.toStdString();
}
