// Calculation sheets as the engineer gets them: filled windows, the keys and
// the right-click menu, the clipboard and the saved files.

#include "actions.h"
#include "form.h"
#include "read_back.h"
#include "window_test.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Stands in for the desktop: records what would have been opened.
class Opener : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class Sheets : public WindowTest {
protected:
    // Every test has a fresh home without a documents folder, so that what
    // the windows save lands there (the documents folder follows HOME here).
    void SetUp() override
    {
        WindowTest::SetUp();
        QDesktopServices::setUrlHandler("file", &opener_, "open");
        oldHome_ = qgetenv("HOME");
        oldConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home_.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override
    {
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
        QDesktopServices::unsetUrlHandler("file");
        qputenv("HOME", oldHome_);
        if (!oldConfig_.isEmpty())
            qputenv("XDG_CONFIG_HOME", oldConfig_);
        WindowTest::TearDown();
    }

    // The sheet as Ctrl+Shift+C puts it on the clipboard, in plain text.
    QString copied()
    {
        QGuiApplication::clipboard()->clear();
        press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        EXPECT_TRUE(data && data->hasHtml());
        return data ? data->text() : QString();
    }

    // A right-click on the control, as the window system reports it.
    void rightClick(const char* name)
    {
        QWidget* w = find(name);
        ASSERT_NE(w, nullptr);
        const QPoint middle(w->width() / 2, w->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, middle, w->mapToGlobal(middle));
        QApplication::sendEvent(w, &event);
    }

    // The line of the plain text that starts with `start` (after its indent).
    static QString line(const QString& text, const QString& start)
    {
        for (const QString& l : text.split('\n'))
            if (l.trimmed().startsWith(start))
                return l.trimmed();
        return {};
    }

    Opener opener_;
    QTemporaryDir home_;
    QByteArray oldHome_, oldConfig_;
};

TEST_F(Sheets, LoadSheetCarriesTheWindowsFigures)
{
    open("fhjs");
    type("Pjs", "100");
    click("Command1");
    click("Command4");
    click("Command5");
    const QString sheet = copied();
    EXPECT_TRUE(sheet.startsWith("负荷计算书\n")) << sheet.toStdString();
    EXPECT_EQ(line(sheet, "Q ="), "Q = P × √(1 − cos²φ) / cosφ = 100 × √(1 − 0.8²) / 0.8 = 75 kvar");
    EXPECT_EQ(line(sheet, "S ="), "S = P / cosφ = 100 / 0.8 = 125 kVA");
    EXPECT_EQ(line(sheet, "I ="), "I = S / 0.659 = 125 / 0.659 = 189.681335356601 A");
    EXPECT_EQ(line(sheet, "计算电流").simplified(), "计算电流 I 189.681335356601 A");
    EXPECT_EQ(form()->messageText(), "计算书已复制到剪贴板");
}

TEST_F(Sheets, AnEmptyResultIsNotCalculated)
{
    open("fhjs");
    type("Pjs", "100");
    click("Command1");
    const QString sheet = copied();
    EXPECT_EQ(line(sheet, "无功功率").simplified(), "无功功率 Q 75 kvar");
    EXPECT_EQ(line(sheet, "视在功率").simplified(), "视在功率 S 未计算 kVA");
    EXPECT_EQ(line(sheet, "I ="), "I = S / 0.659 = 未计算");
}

TEST_F(Sheets, LightningSheetChecksThe2010Edition)
{
    open("fljs");
    EXPECT_TRUE(copied().contains("窗口尚未计算雷击次数，未复核。"));
    type("l", "100");
    type("w", "50");
    type("H", "100");
    click("sj");
    click("j2");
    click("js");
    ASSERT_EQ(text("n"), "0.21");
    const QString sheet = copied();
    EXPECT_TRUE(sheet.contains(text("dj"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("GB 50057-94"));
    EXPECT_EQ(line(sheet, "Ae ="), "Ae = [L × W + (W + L) × 2 × H + H² × π] × 10⁻⁶ = "
                                  "[100 × 50 + (50 + 100) × 2 × 100 + 100² × 3.1416] × 10⁻⁶ = 0.066416 km²");
    EXPECT_EQ(line(sheet, "N ="), "N = k × Ng × Ae = 1.5 × " + text("Ng") + " × 0.066416 = 0.212021028409907 次/a");
    EXPECT_EQ(line(sheet, "N 四舍五入"), "N 四舍五入至两位小数：N = 0.21 次/a");

    const QString check = sheet.mid(sheet.indexOf("按 GB 50057-2010 复核"));
    ASSERT_NE(sheet.indexOf("按 GB 50057-2010 复核"), -1);
    EXPECT_EQ(line(check, "Ng ="), "Ng = 0.1 × Td = 0.1 × 31.5 = 3.15 次/(km²·a)");
    EXPECT_EQ(line(check, "N ="), "N = k × Ng × Ae = 1.5 × 3.15 × 0.066416 = 0.3138156 次/a（四舍五入至两位小数为 0.31；分类按未取舍的 N）");
    EXPECT_EQ(line(check, "复核结论"), "复核结论：N = 0.3138156 > 0.25：第二类防雷建筑物");
    EXPECT_EQ(text("n"), "0.21") << "the window itself does not change";
}

TEST_F(Sheets, LightingSheetNamesTheBandOfTheUnitPower)
{
    open("zdjs");
    type("l", "5");
    type("w", "4");
    click("s");
    click("Label3");
    click("Command1");
    click("Command2");
    click("Command3");
    const QString sheet = copied();
    EXPECT_TRUE(sheet.contains("单位功率 U（每100lx）：按房间高度代号 23、A = 20 m² 查表16-35，h=2~3 m 一列，15 < A ≤ 25 m² 一档，U = 8.9 W/m²")) << sheet.toStdString();
    EXPECT_EQ(line(sheet, "P ="), "P = U × A × E / 100 = 8.9 × 20 × 300 / 100 = 534 W");
    EXPECT_EQ(line(sheet, "n ="), "n = P / Pd = 534 / 40 = 13.35 支");
    EXPECT_EQ(line(sheet, "Pkt ="), "Pkt = p × A = 0.05 × 20 = 1 kW");
    EXPECT_TRUE(sheet.contains("建筑电气设计手册 表16-35"));
}

TEST_F(Sheets, TrunkingSheetPicksFromBothCatalogues)
{
    open("XCJS");
    type("VV1", "4");
    type("VV3", "2");
    type("s", "214");
    click("Label8", 0);
    click("xcmj");
    ASSERT_EQ(text("xczmj"), "1436.36363636364");
    const QString sheet = copied();
    EXPECT_EQ(line(sheet, "VV ").simplified(), "VV 4 130 2 260");
    EXPECT_EQ(line(sheet, "S ="), "S = ΣA / 百分数 × 100 = 474 / 33 × 100 = 1436.36363636364 mm²");
    for (const char* item : {"-10-2：200*100=20000", "CTC505：50*50=2500", "2515：150*25=3300", "45X45=2025", "50_2206", "50_1466"})
        EXPECT_TRUE(sheet.contains(QString::fromUtf8(item))) << item;
    EXPECT_TRUE(sheet.contains("一、绝缘导线在线槽内容线面积："));
}

TEST_F(Sheets, RightClickOffersTheEntriesAfterAFieldsOwn)
{
    open("fhjs");
    const QStringList entries = {"复制计算书(&J)", "保存计算书(PDF)(&F)", "保存计算书(ODT)(&D)", "打开计算书文件夹(&W)", "",
                                 "存为算例(&K)", "负荷计算表(&B)", "", "保存工程(&S)", "工程另存为(&A)…",
                                 "打开工程(&O)…", "工程窗口(&G)", "找回上次未保存的输入(&H)"};
    auto shownEntries = [] {
        QStringList texts;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu)
            for (QAction* a : menu->actions())
                texts << a->text();
        return texts;
    };
    rightClick("Label1");
    ASSERT_EQ(shownEntries(), entries);
    QApplication::activePopupWidget()->close();

    rightClick("Pjs");
    const QStringList inField = shownEntries();
    ASSERT_GT(inField.size(), 5);
    EXPECT_EQ(inField.mid(inField.size() - entries.size()), entries);
    const auto actions = qobject_cast<QMenu*>(QApplication::activePopupWidget())->actions();
    EXPECT_TRUE(actions.at(inField.size() - entries.size() - 1)->isSeparator());

    // 打开计算书文件夹 opens the folder on the desktop, made if missing.
    actions.at(inField.size() - entries.size() + 3)->trigger();
    ASSERT_EQ(opener_.opened.size(), 1);
    EXPECT_EQ(opener_.opened[0].toLocalFile(), sheet::defaultFolder());
    EXPECT_TRUE(QFileInfo(sheet::defaultFolder()).isDir());
}

// Qt's own edit entries of a field read Chinese as the window's do, and the
// whole menu, theirs and the window's, is drawn in the window's face.
TEST_F(Sheets, RightClickMenusAreChineseInTheWindowsFace)
{
    open("fhjs");
    for (const std::string control : {"Pjs", "Label1"}) {
        SCOPED_TRACE(control);
        rightClick(control.c_str());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        if (!menu)
            continue;
        EXPECT_EQ(QFontInfo(menu->font()).family(), QFontInfo(win()->font()).family()) << control;
        QString entries;
        for (QAction* a : menu->actions()) {
            entries += a->text() + ' ';
            EXPECT_EQ(a->font().resolve(menu->font()), menu->font()) << a->text().toStdString();
        }
        for (const char* edit : {"撤消(&U)", "复制(&C)", "粘贴(&P)", "全选"})
            EXPECT_EQ(entries.contains(edit), control == "Pjs") << edit << " in " << entries.toStdString();
        menu->close();
    }
}

// A desktop with nothing to open a folder or a file with (the offscreen
// platform opens nothing): the window names what it could not open.
TEST_F(Sheets, WhatTheDesktopCannotOpenIsNamedInTheWindow)
{
    QDesktopServices::unsetUrlHandler("file");
    open("fhjs");
    const QString folder = home_.filePath("Elcarta计算书");
    sheet::openFolder(*form(), folder);
    EXPECT_EQ(form()->messageText(), "无法打开文件夹：" + QDir::toNativeSeparators(folder));
    sheet::Sheet s;
    s.title = "负荷计算书";
    sheet::saveAndTell(*form(), s, sheet::Format::Odt, folder);
    QTest::mouseClick(form()->messageNote(), Qt::LeftButton);
    const QString file = QDir(folder).filePath(QDir(folder).entryList({"*.odt"}).value(0));
    EXPECT_EQ(form()->messageText(), "无法打开文件：" + QDir::toNativeSeparators(file));
    expectOdtReadsAgain(file);
}

TEST_F(Sheets, ASecondSaveInTheSameSecondWritesANewFile)
{
    QTemporaryDir dir;
    sheet::Sheet s;
    s.title = "负荷计算书";
    s.made = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5));
    const sheet::Saved first = sheet::save(s, sheet::Format::Pdf, dir.path() + "/Elcarta计算书");
    const sheet::Saved second = sheet::save(s, sheet::Format::Pdf, dir.path() + "/Elcarta计算书");
    ASSERT_TRUE(first.ok() && second.ok()) << first.error.toStdString() << second.error.toStdString();
    EXPECT_TRUE(first.path.endsWith("/Elcarta计算书/负荷计算书-20261208-093005.pdf"));
    EXPECT_TRUE(second.path.endsWith("/Elcarta计算书/负荷计算书-20261208-093005-2.pdf"));
    const sheet::Saved odt = sheet::save(s, sheet::Format::Odt, dir.path() + "/Elcarta计算书");
    EXPECT_EQ(odt.path.section('/', -1), "负荷计算书-20261208-093005.odt");
    expectOdtReadsAgain(odt.path);
}

TEST_F(Sheets, AnUnwritableFolderGivesTheNoteAndNoFile)
{
    open("fhjs");
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/Elcarta计算书"); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    type("Pjs", "100");
    sheet::saveAndTell(*form(), sheet::make(*form(), [](const ui::State&) { sheet::Sheet s; s.title = "负荷计算书"; return s; }),
                       sheet::Format::Pdf, blocker.fileName());
    EXPECT_EQ(form()->messageText(), "计算书未能保存：无法建立文件夹“Elcarta计算书”");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Elcarta计算书"});
    EXPECT_EQ(text("Pjs"), "100");
    EXPECT_EQ(notice(), "");
}

// Ctrl+P in a filled window, and the PDF read back as text.
TEST_F(Sheets, CtrlPSavesAPdfWhoseTextReadsBack)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    const QString pdffonts = QStandardPaths::findExecutable("pdffonts");
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the documents folder does not follow HOME here";
#endif
    if (pdftotext.isEmpty() || pdffonts.isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    open("fhjs");
    type("Pjs", "100");
    click("Command1");
    click("Command4");
    click("Command5");
    press(Qt::Key_P, Qt::ControlModifier);

    const QDir folder(home_.path() + "/Documents/Elcarta计算书");
    const QStringList files = folder.entryList({"*.pdf"});
    ASSERT_EQ(files.size(), 1) << folder.path().toStdString();
    EXPECT_TRUE(files[0].startsWith("负荷计算书-"));
    EXPECT_EQ(form()->messageText(), "计算书已保存为 " + files[0] + "，点击此处打开");

    QProcess reader;
    reader.start(pdftotext, {folder.filePath(files[0]), "-"});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QString pdfText = QString::fromUtf8(reader.readAllStandardOutput());
    for (const char* expected : {"负荷计算书", "工程名称", "Elcarta 1.0", "75", "125", "189.681335356601", "功率三角形"})
        EXPECT_TRUE(pdfText.contains(QString::fromUtf8(expected))) << expected << "\n" << pdfText.toStdString();

    reader.start(pdffonts, {folder.filePath(files[0])});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QStringList fonts = QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts)
        EXPECT_EQ(font.simplified().section(' ', -5, -5), "yes") << font.toStdString(); // the "emb" column

    // A click on the note opens the file; the next edit takes the note away.
    QTest::mouseClick(form()->messageNote(), Qt::LeftButton);
    ASSERT_EQ(opener_.opened.size(), 1);
    EXPECT_EQ(opener_.opened[0].toLocalFile(), folder.filePath(files[0]));
    type("Pjs", "200");
    EXPECT_EQ(form()->messageText(), "");
}

#include "sheet_test.moc"
