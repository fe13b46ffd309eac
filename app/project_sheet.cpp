#include "project_sheet.h"

#include "calculators.h"
#include "facts.h"
#include "lightning_sheet.h"
#include "schedule_file.h"
#include "circuit_sheet.h"

#include <algorithm>

namespace project {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A column's caption: the term with its symbol and unit.
QString caption(const QStringList& row)
{
    QString c = row[0];
    if (!row[1].isEmpty())
        c += " " + row[1];
    if (!row[3].isEmpty())
        c += "(" + row[3] + ")";
    return c;
}

} // namespace

sheet::Sheet projectSheet(const Project& p)
{
    sheet::Sheet s;
    s.title = QStringLiteral("工程计算书");
    const std::vector<load::Board> boards = load::scheduleFrom(p.parts).boards;
    QStringList contents;
    int number = 0;
    for (const Calculator& c : calculators())
        if (const auto it = p.cases.find(c.window); it != p.cases.end() && !it->second.empty())
            contents << QStringLiteral("%1 %2 例").arg(qs(c.table().window.caption)).arg(it->second.size());
    const auto filled = std::count_if(boards.begin(), boards.end(), [](const load::Board& b) { return !b.rows.empty(); });
    if (filled > 0)
        contents << QStringLiteral("负荷计算表 %1 个配电箱").arg(filled);
    sheet::Section& intro = s.section(QStringLiteral("一、计算内容"));
    intro.text(contents.isEmpty() ? QStringLiteral("本工程尚无算例。在各计算窗口中按 Ctrl+D 存为算例。")
                                  : QStringLiteral("本计算书包括：") + contents.join("，") + QStringLiteral("。各算例与配电箱的计算书附后。"));

    const QString numbers[] = {"二", "三", "四", "五", "六", "七"};
    for (const Calculator& c : calculators()) {
        const auto it = p.cases.find(c.window);
        if (it == p.cases.end() || it->second.empty())
            continue;
        const std::vector<std::string> skip = c.ownTables();
        QStringList header{QStringLiteral("算例")};
        std::vector<QStringList> rows;
        for (const Case& one : it->second) {
            const sheet::Facts facts(c.table(), one.state);
            const std::vector<QStringList> given = facts.conditions(skip), found = facts.results(skip);
            if (header.size() == 1)
                for (const auto* part : {&given, &found})
                    for (const QStringList& r : *part)
                        header << caption(r);
            QStringList row{qs(one.name)};
            for (const auto* part : {&given, &found})
                for (const QStringList& r : *part)
                    row << r[2];
            // The verdict is a text of its own: the summary names its class.
            if (c.window == "fljs") {
                if (rows.empty())
                    header << QStringLiteral("防雷类别");
                row << lightning::protectionClass(one.state);
            }
            rows.push_back(row);
        }
        if (header.size() > 8)
            s.landscape = true;
        s.section(numbers[std::min<std::size_t>(number++, std::size(numbers) - 1)] + QStringLiteral("、") +
                  qs(c.table().window.caption) + QStringLiteral("算例汇总"))
            .table(header, rows);
    }

    for (const Calculator& c : calculators()) {
        const auto it = p.cases.find(c.window);
        if (it == p.cases.end())
            continue;
        for (const Case& one : it->second) {
            const sheet::Sheet own = c.sheet(one.state);
            sheet::Section& opening = s.section(QStringLiteral("算例“%1” %2").arg(qs(one.name), own.title));
            opening.opensSheet = true;
            for (const sheet::Section& part : own.sections)
                s.sections.push_back(part);
        }
    }
    // Every board's load schedule, each a sheet of its own.
    for (std::size_t b = 0; b < boards.size(); ++b) {
        if (boards[b].rows.empty())
            continue;
        const sheet::Sheet own = load::boardSheets(boards, b);
        s.landscape = true;
        sheet::Section& opening = s.section(QStringLiteral("配电箱“%1” %2").arg(qs(boards[b].name), own.title));
        opening.opensSheet = true;
        for (const sheet::Section& part : own.sections)
            s.sections.push_back(part);
    }
    return s;
}

} // namespace project
