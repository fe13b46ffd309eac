// Nothing the engineer types is lost: projects saved and opened again,
// refused whole when they cannot be read, cases kept and brought back, and
// the recovery file that outlives any end of the program.

#include "calculators.h"
#include "form.h"
#include "project.h"
#include "project_sheet.h"
#include "clock.h"
#include "schedule_file.h"
#include "window_test.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QRegularExpression>
#include <QTest>
#include <random>

namespace {

// A sheet as text, without the moment it was made.
QString sheetText(const Calculator& c, const ui::State& state)
{
    return sheet::toPlainText(c.sheet(state)).remove(QRegularExpression(QStringLiteral("日期：[^ ]+ [^ ]+")));
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class Projects : public WindowTest {
protected:
    QString note() const
    {
        ui::Form* f = shell_->visible();
        return f ? f->messageText() : QString();
    }
    void typeHeader(const char* field, const QString& text)
    {
        auto* edit = qobject_cast<QLineEdit*>(shell_->window("gc")->findChild<QWidget*>(field));
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
    }
};

// Random states of every window, cases and header, saved and opened in a
// fresh program: every window as it was, and every sheet the same.
TEST_F(Projects, WhatIsSavedOpensAgainExactly)
{
    std::mt19937 random(1208);
    for (int round = 0; round < 6; ++round) {
        restart();
        for (const Calculator& c : calculators()) {
            open(c.window.c_str());
            for (int i = 0, n = std::uniform_int_distribution<int>(0, 25)(random); i < n; ++i) {
                actAtRandom(random);
                if (std::uniform_int_distribution<int>(0, 9)(random) == 0)
                    shell_->saveCase(c.window);
            }
            exit(win());
        }
        shell_->projectWindow();
        typeHeader("gcmc", QStringLiteral("幸福小区 %1 号楼").arg(round));
        typeHeader("jd", QStringLiteral("李工"));

        const project::Project before = shell_->project();
        chosen_ = folders_.path() + QStringLiteral("/工程 %1.elcarta").arg(round);
        shell_->save(false);
        ASSERT_FALSE(shell_->unsaved()) << note().toStdString();

        restart();
        ASSERT_TRUE(shell_->openProject(chosen_)) << note().toStdString();
        const project::Project after = shell_->project();
        EXPECT_EQ(after.header, before.header);
        EXPECT_TRUE(after.cases == before.cases);
        for (const Calculator& c : calculators()) {
            ASSERT_TRUE(after.windows.count(c.window)) << c.window;
            EXPECT_TRUE(after.windows.at(c.window) == before.windows.at(c.window)) << "round " << round << " " << c.window;
            EXPECT_EQ(sheetText(c, after.windows.at(c.window)), sheetText(c, before.windows.at(c.window))) << c.window;
        }
    }
}

// A file that cannot be read, is not a project, is newer, or holds what a
// window cannot take is refused with a note, and no window changes.
TEST_F(Projects, AFileThatCannotBeOpenedChangesNothing)
{
    open("fhjs");
    type("Pjs", "100");
    click("Command1");
    const project::Project before = shell_->project();

    QByteArray good;
    {
        project::Project p;
        p.windows["fhjs"] = shell_->form("fhjs")->snapshot();
        good = project::write(p);
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    auto with = [&good](const QByteArray& from, const QByteArray& to) { return QByteArray(good).replace(from, to); };
    const Case cases[] = {
        {"broken.elcarta", good.left(good.size() / 2), "内容无法读出"},
        {"other.elcarta", with("elcarta-project", "something-else"), "不是 Elcarta 工程文件"},
        {"newer.elcarta",
         with(QByteArray("\"version\":") + QByteArray::number(project::formatVersion),
              QByteArray("\"version\":") + QByteArray::number(project::formatVersion + 1)),
         "较新版本"},
        {"window.elcarta", with("\"fhjs\"", "\"qqqq\""), "没有名为“qqqq”的窗口"},
        {"field.elcarta", with("\"Pjs\"", "\"Zzz\""), "没有可填写的“Zzz”"},
        {"figure.elcarta", with("\"value\":\"100\"", "\"value\":\"inf\""), "数值无效"},
    };
    for (const Case& c : cases) {
        const QString path = folders_.path() + "/" + c.name;
        writeFile(path, c.bytes);
        EXPECT_FALSE(shell_->openProject(path)) << c.name;
        EXPECT_TRUE(note().contains(c.name)) << note().toStdString();
        EXPECT_TRUE(note().contains(QString::fromUtf8(c.reason))) << c.name << ": " << note().toStdString();
        EXPECT_TRUE(shell_->project() == before) << c.name;
    }
    EXPECT_FALSE(shell_->openProject(folders_.path() + "/none.elcarta"));
    EXPECT_EQ(text("Pjs"), "100");
}

// Typed and never saved, the inputs are in the recovery file within a
// second; the next start shows the menu alone, says so, and Ctrl+Shift+T
// brings every window back — until the engineer changes something.
TEST_F(Projects, TheLastRunsInputsComeBackOnRequest)
{
    open("zdjs");
    type("l", "7");
    type("w", "5");
    click("s");
    const ui::State typed = shell_->form("zdjs")->snapshot();
    ui::clock::advance(700); // no exit: as if the program were killed now
    EXPECT_TRUE(readAll(shell_->recoveryPath()).contains("\"35\""));

    restart();
    EXPECT_EQ(visibleWindows(), QStringList{"dqjs"});
    EXPECT_EQ(shell_->window("zdjs"), nullptr) << "every calculator fresh until asked";
    EXPECT_TRUE(note().contains("Ctrl+Shift+T")) << note().toStdString();
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(shell_->form("zdjs"), nullptr);
    EXPECT_TRUE(shell_->form("zdjs")->snapshot() == typed);
    EXPECT_TRUE(shell_->unsaved());

    // A new run that changes something first has nothing to bring back, and
    // the last run's inputs stay beside the recovery file.
    restart();
    open("fhjs");
    type("Pjs", "1");
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shell_->window("zdjs"), nullptr);
    EXPECT_EQ(note(), "没有可找回的输入");
    EXPECT_TRUE(readAll(shell_->recoveryPath() + ".previous").contains("\"35\""));
}

// The recovery file is written after the window has answered the key that
// changed it, never in between; and within a second all the same, should
// nothing ever be drawn.
TEST_F(Projects, TheRecoveryFileWaitsForTheKeysAnswerOnTheScreen)
{
    open("zdjs");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(win()));
    ui::clock::advance(1000); // the opened window in the file
    auto* length = qobject_cast<QLineEdit*>(win()->findChild<QWidget*>("l"));
    ASSERT_NE(length, nullptr);

    QTest::keyClicks(length, "97");
    ui::clock::advance(500);
    EXPECT_FALSE(readAll(shell_->recoveryPath()).contains("\"97\"")) << "written before the key was drawn";
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(); // the field drawn with its 97
    EXPECT_TRUE(readAll(shell_->recoveryPath()).contains("\"97\""));

    QTest::keyClicks(length, "3");
    ui::clock::advance(500);
    EXPECT_FALSE(readAll(shell_->recoveryPath()).contains("\"973\""));
    ui::clock::advance(150); // never drawn: written all the same
    EXPECT_TRUE(readAll(shell_->recoveryPath()).contains("\"973\""));
}

// The last run's inputs stay in the recovery file while they are offered:
// an engineer who only looks round and ends the program finds them offered
// again at the next start.
TEST_F(Projects, TheLastRunsInputsAreNotWrittenOverWhileOffered)
{
    open("zdjs");
    type("l", "7");
    type("w", "5");
    click("s");
    shell_->writeRecovery(); // as half a second later

    restart();
    ASSERT_TRUE(note().contains("Ctrl+Shift+T")) << note().toStdString();
    open("fljs");
    exit(win());
    shell_->end();
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(readAll(shell_->recoveryPath()).contains("\"35\""));

    restart();
    EXPECT_TRUE(note().contains("Ctrl+Shift+T")) << note().toStdString();
    press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(shell_->form("zdjs"), nullptr);
    EXPECT_EQ(shell_->form("zdjs")->snapshot().text("mj"), "35");
}

// The recovery file is replaced whole, never written over in place: a handle
// held open on the last good file still reads all of it after the next
// write, as the file a crash mid-write would leave would. (Windows replaces
// no file another handle holds open.)
TEST_F(Projects, TheRecoveryFileIsReplacedWholeNeverWrittenInPlace)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows replaces no file another handle holds open";
#endif
    open("fhjs");
    type("Pjs", "100");
    shell_->writeRecovery();
    const QByteArray good = readAll(shell_->recoveryPath());
    ASSERT_TRUE(good.contains("\"100\""));
    QFile held(shell_->recoveryPath());
    ASSERT_TRUE(held.open(QIODevice::ReadOnly | QIODevice::Unbuffered));

    type("Pjs", "2000");
    shell_->writeRecovery();
    EXPECT_TRUE(readAll(shell_->recoveryPath()).contains("\"2000\""));
    EXPECT_TRUE(held.readAll() == good) << "the last good recovery file was written over in place";
}

// The board the schedule window shows is one of the file's boards (or the
// first of none): one past the last is refused.
TEST(ScheduleInAProject, TheSelectedBoardIsOneOfTheBoards)
{
    auto readWith = [](const load::Schedule& s) {
        project::Project p;
        p.parts = load::entries(s);
        return project::read(project::write(p), [](const std::string&) -> const ui::Table* { return nullptr; }, {},
                             {load::schedulePart()});
    };
    load::Schedule s;
    EXPECT_TRUE(readWith(s).project) << "no board at all, the first selected";
    s.boards = {load::Board::named("AL1"), load::Board::named("AL2")};
    for (const std::size_t current : {0u, 1u}) {
        s.current = current;
        const project::Read read = readWith(s);
        EXPECT_TRUE(read.project) << "board " << current << ": " << read.error.toStdString();
    }
    s.current = s.boards.size();
    const project::Read past = readWith(s);
    EXPECT_FALSE(past.project);
    EXPECT_EQ(past.error, "所选配电箱不存在");
}

// A project file dropped on any window opens it.
TEST_F(Projects, ADroppedProjectOpens)
{
    open("fljs");
    type("l", "60");
    chosen_ = folders_.path() + "/dropped.elcarta";
    press(Qt::Key_S, Qt::ControlModifier);
    restart();
    open("zdjs");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(chosen_)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(win(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(win(), &drop);
    EXPECT_EQ(shell_->file(), chosen_);
    EXPECT_EQ(QString::fromStdString(shell_->project().windows.at("fljs").text("l")), "60");
}

// Ctrl+S asks for a file once, then saves there; saving where it cannot
// write gives a note and keeps everything in recovery.
TEST_F(Projects, SavingAsksOnceAndSaysWhereItWent)
{
    shell_->projectWindow();
    typeHeader("gcmc", QStringLiteral("图书馆"));
    shell_->open("fhjs");
    current_ = shell_->window("fhjs");
    activate();
    type("Pjs", "100");
    chosen_ = folders_.path() + "/lib"; // the suffix is added
    press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(suggested_, QStringList{projectsFolder() + QStringLiteral("/图书馆.elcarta")});
    EXPECT_EQ(shell_->file(), folders_.path() + "/lib.elcarta");
    EXPECT_EQ(note(), "工程已保存为 lib.elcarta");
    type("Pjs", "200");
    EXPECT_TRUE(shell_->unsaved());
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(suggested_.size(), 1) << "a second save asks nothing";
    EXPECT_FALSE(shell_->unsaved());

    chosen_ = folders_.path() + "/lib.elcarta/inside.elcarta"; // a file where the folder would be
    type("Pjs", "300");
    press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(note().startsWith("工程未能保存")) << note().toStdString();
    EXPECT_TRUE(shell_->unsaved());
    EXPECT_EQ(shell_->file(), folders_.path() + "/lib.elcarta");
    EXPECT_TRUE(readAll(shell_->recoveryPath()).contains("\"300\""));
}

// A case keeps a window's state under a name made from its inputs, and
// comes back into its window exactly; every sheet carries the header.
TEST_F(Projects, CasesComeBackExactlyAndSheetsCarryTheHeader)
{
    open("zdjs");
    type("l", "7");
    type("w", "5");
    click("s");
    click("zd500");
    const ui::State kept = shell_->form("zdjs")->snapshot();
    press(Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(note().contains("7×5 m 500 lx")) << note().toStdString();
    type("l", "9");

    press(Qt::Key_G, Qt::ControlModifier);
    current_ = shell_->window("gc");
    activate();
    auto* cases = qobject_cast<QListWidget*>(find("sl"));
    ASSERT_EQ(cases->count(), 1);
    EXPECT_EQ(cases->item(0)->text(), "照度计算：7×5 m 500 lx");
    cases->setCurrentRow(0);
    qobject_cast<QLineEdit*>(find("slmc"))->setText(QStringLiteral("客厅"));
    click("gm");
    EXPECT_EQ(cases->item(0)->text(), "照度计算：客厅");
    typeHeader("gcmc", QStringLiteral("幸福小区"));
    typeHeader("js", QStringLiteral("王工"));
    cases->setCurrentRow(0);
    click("zr");
    EXPECT_EQ(visibleWindows(), QStringList{"zdjs"});
    EXPECT_TRUE(shell_->form("zdjs")->snapshot().texts == kept.texts);
    EXPECT_TRUE(shell_->form("zdjs")->snapshot().checked == kept.checked);

    current_ = shell_->window("zdjs");
    activate();
    QGuiApplication::clipboard()->clear();
    press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString sheet = QGuiApplication::clipboard()->mimeData()->text();
    EXPECT_TRUE(sheet.contains("工程名称：幸福小区")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("计算：王工"));
    EXPECT_TRUE(sheet.contains("校对：____")) << "an empty line stays to be filled in by hand";

    // The project sheet: a summary row per case, then the case's own sheet.
    const QString all = sheet::toPlainText(project::projectSheet(shell_->project()));
    EXPECT_TRUE(all.contains("照度计算算例汇总")) << all.toStdString();
    EXPECT_TRUE(all.contains("算例“客厅” 照度计算书"));
    EXPECT_TRUE(all.contains("A = L × W = 7 × 5 = 35 m²")) << all.toStdString();
}

// Cases of one building that differ in what was chosen are named by what
// sets them apart; the very same inputs again are numbered.
TEST_F(Projects, CasesOfOneBuildingAreNamedByWhatDiffers)
{
    open("fljs");
    type("l", "60");
    type("w", "18");
    type("H", "21");
    click("js");
    shell_->saveCase("fljs");
    click("j2");
    click("jz2");
    click("js");
    shell_->saveCase("fljs");
    shell_->saveCase("fljs");
    const std::vector<project::Case> cases = shell_->project().cases.at("fljs");
    ASSERT_EQ(cases.size(), 3u);
    EXPECT_EQ(cases[0].name, "60×18×21 m 邢台市");
    EXPECT_EQ(cases[1].name, "60×18×21 m 邢台市 k 1.5，省部级办公楼");
    EXPECT_EQ(cases[2].name, "60×18×21 m 邢台市 k 1.5，省部级办公楼 (2)");
}

// A project saved before the schedule's rows were circuits opens with every
// circuit cell at its default, and its rows are sized as circuits.
TEST_F(Projects, AProjectOfTheFormerVersionOpensWithTheCircuitsDefaults)
{
    const QString path = folders_.path() + "/former.elcarta";
    writeFile(path, R"({"format":"elcarta-project","version":1,"header":{"project":"幸福小区"},
        "boards":[{"name":"AL1","rows":[{"name":"照明","pe":"12","kx":"0.8","cos":"0.9","phases":"单相","board":""}],
                   "kp":"0.9","kq":"0.95","cosTarget":"0.90","installedQc":"","betaMax":"0.85","transformers":"1",
                   "series":[30,50,80]}],
        "currentBoard":0})");
    ASSERT_TRUE(shell_->openProject(path)) << note().toStdString();
    const load::Schedule s = load::scheduleFrom(shell_->project().parts);
    ASSERT_EQ(s.boards.size(), 1u);
    const load::Board& b = s.boards[0];
    EXPECT_EQ(b.rows[0].cable, "");
    EXPECT_EQ(b.rows[0].length, "");
    EXPECT_EQ(b.breakers, load::Board{}.breakers);
    EXPECT_EQ(b.reactance, load::Board{}.reactance);
    EXPECT_EQ(b.withstandTime, load::Board{}.withstandTime);
    const load::BoardResult r = load::evaluate(s.boards, 0);
    ASSERT_TRUE(r.rows[0].circuit) << r.rows[0].circuitNote;
    EXPECT_EQ(r.rows[0].circuit->cable.designation, "YJV-3×6"); // 9.6 kW single-phase: 48.5 A, In 50 A
}

// What a refused file or a failed save says: the place of the value that
// could not be taken, the whole folder that does not exist, as a failure.
TEST_F(Projects, MessagesSayWhereAndWhy)
{
    const QString path = folders_.path() + "/number.elcarta";
    writeFile(path, R"({"format":"elcarta-project","version":2,
        "boards":[{"name":"AL1","rows":[{"name":"照明","pe":12,"kx":"0.8","cos":"0.9","phases":"","board":""}],
                   "kp":"0.9","kq":"0.95","cosTarget":"0.90","installedQc":"","betaMax":"0.85","transformers":"1",
                   "series":[30]}]})");
    EXPECT_FALSE(shell_->openProject(path));
    EXPECT_TRUE(note().contains(QStringLiteral("配电箱“AL1”第 1 行的“设备容量Pe(kW)”不是文字"))) << note().toStdString();

    const QString missing = QDir::toNativeSeparators(folders_.path() + "/sub");
    chosen_ = folders_.path() + "/sub/x.elcarta";
    press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(note().contains(QStringLiteral("文件夹“%1”不存在").arg(missing))) << note().toStdString();
    EXPECT_TRUE(form()->messageNote()->styleSheet().contains("#a00000")) << "drawn as a failure";
}
