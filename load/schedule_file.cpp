#include "schedule_file.h"

#include <QJsonArray>
#include <QJsonValue>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace load {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr qsizetype longestText = 1 << 20;
constexpr std::size_t mostRows = 100000;

struct Refused : std::runtime_error {
    explicit Refused(const QString& why) : std::runtime_error(why.toStdString()) {}
};

// "负荷计算表中配电箱“AL1”": where in the file a value is, for the reason.
QString boardPlace(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("负荷计算表中的配电箱") : QStringLiteral("负荷计算表中配电箱“%1”").arg(name);
}

std::string text(const QJsonValue& v, const QString& what)
{
    if (!v.isString())
        throw Refused(QStringLiteral("%1不是文字").arg(what));
    const QString s = v.toString();
    if (s.size() > longestText)
        throw Refused(QStringLiteral("%1过长").arg(what));
    return s.toStdString();
}

QJsonArray array(const QJsonValue& v, const QString& what)
{
    if (!v.isArray())
        throw Refused(QStringLiteral("%1不是一列数据").arg(what));
    return v.toArray();
}

// The row's cells as the file names them, with the window's headings. The
// circuit's came with format version 2: a file of version 1 has none, and
// its rows keep their defaults.
struct RowCell {
    const char* key;
    const char* heading;
    std::string ScheduleRow::*cell;
    bool sinceVersion2 = false;
};
const RowCell rowCells[] = {
    {"name", "用电设备组", &ScheduleRow::name},           {"pe", "设备容量Pe(kW)", &ScheduleRow::pe},
    {"kx", "需要系数Kx", &ScheduleRow::kx},               {"cos", "功率因数cosφ", &ScheduleRow::cos},
    {"phases", "相数", &ScheduleRow::phases},             {"board", "子配电箱", &ScheduleRow::board},
    {"number", "回路编号", &ScheduleRow::number, true},   {"cable", "线缆", &ScheduleRow::cable, true},
    {"method", "敷设方式", &ScheduleRow::method, true},   {"length", "长度(m)", &ScheduleRow::length, true},
    {"ambient", "环境温度(℃)", &ScheduleRow::ambient, true}, {"circuits", "并列回路数", &ScheduleRow::circuits, true},
    {"breaker", "指定In(A)", &ScheduleRow::breaker, true},
};

struct BoardCell {
    const char* key;
    const char* caption;
    std::string Board::*cell;
    bool sinceVersion2 = false;
};
const BoardCell boardCells[] = {
    {"kp", "有功同时系数", &Board::kp},
    {"kq", "无功同时系数", &Board::kq},
    {"cosTarget", "目标功率因数", &Board::cosTarget},
    {"installedQc", "实装补偿容量", &Board::installedQc},
    {"betaMax", "负荷率上限", &Board::betaMax},
    {"transformers", "变压器台数", &Board::transformers},
    {"reactance", "电缆电抗X′", &Board::reactance, true},
    {"dropLimit", "末端ΔU限值", &Board::dropLimit, true},
    {"networkMva", "系统短路容量S″kQ", &Board::networkMva, true},
    {"uk", "阻抗电压uk", &Board::uk, true},
    {"loadLoss", "负载损耗Pk", &Board::loadLoss, true},
    {"withstandTime", "短路时间t", &Board::withstandTime, true},
};

// A text the file must hold, or one it may lack (then the default stays).
void take(const QJsonObject& o, const char* key, bool mayLack, const QString& what, std::string& into)
{
    if (mayLack && !o.contains(key))
        return;
    into = text(o.value(key), what);
}

// A series of positive numbers.
std::vector<double> seriesFrom(const QJsonValue& value, const QString& what)
{
    std::vector<double> series;
    for (const QJsonValue& v : array(value, what)) {
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || !std::isfinite(d) || d <= 0)
            throw Refused(what + QStringLiteral("中有无效的数"));
        series.push_back(d);
    }
    return series;
}

QJsonArray seriesJson(const std::vector<double>& series)
{
    QJsonArray out;
    for (const double v : series)
        out.append(v);
    return out;
}

QJsonObject boardJson(const Board& b)
{
    QJsonArray rows;
    for (const ScheduleRow& r : b.rows) {
        QJsonObject row;
        for (const RowCell& c : rowCells)
            row[c.key] = qs(r.*c.cell);
        rows.append(row);
    }
    QJsonObject o{{"name", qs(b.name)}, {"rows", rows}, {"series", seriesJson(b.series)},
                  {"breakers", seriesJson(b.breakers)}};
    for (const BoardCell& c : boardCells)
        o[c.key] = qs(b.*c.cell);
    return o;
}

Board boardFrom(const QJsonValue& value, std::size_t index)
{
    if (!value.isObject())
        throw Refused(QStringLiteral("负荷计算表中第 %1 个配电箱不是一组数据").arg(index + 1));
    const QJsonObject o = value.toObject();
    Board b;
    b.name = text(o.value("name"), QStringLiteral("负荷计算表中第 %1 个配电箱的名称").arg(index + 1));
    const QString place = boardPlace(qs(b.name));
    const QJsonArray rows = array(o.value("rows"), place + QStringLiteral("的各行"));
    if (static_cast<std::size_t>(rows.size()) > mostRows)
        throw Refused(place + QStringLiteral("的行数过多"));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString row = place + QStringLiteral("第 %1 行").arg(i + 1);
        if (!rows[i].isObject())
            throw Refused(row + QStringLiteral("不是一组数据"));
        const QJsonObject r = rows[i].toObject();
        ScheduleRow read;
        for (const RowCell& c : rowCells)
            take(r, c.key, c.sinceVersion2, row + QStringLiteral("的“%1”").arg(QString::fromUtf8(c.heading)),
                 read.*c.cell);
        b.rows.push_back(std::move(read));
    }
    for (const BoardCell& c : boardCells)
        take(o, c.key, c.sinceVersion2, place + QStringLiteral("的%1").arg(QString::fromUtf8(c.caption)), b.*c.cell);
    b.series = seriesFrom(o.value("series"), place + QStringLiteral("的变压器容量系列"));
    if (o.contains("breakers"))
        b.breakers = seriesFrom(o.value("breakers"), place + QStringLiteral("的断路器系列"));
    return b;
}

Schedule read(const QJsonObject& entries)
{
    Schedule s;
    if (entries.contains("boards")) {
        const QJsonArray boards = array(entries.value("boards"), QStringLiteral("负荷计算表"));
        for (qsizetype b = 0; b < boards.size(); ++b)
            s.boards.push_back(boardFrom(boards[b], static_cast<std::size_t>(b)));
    }
    if (entries.contains("currentBoard")) {
        const QJsonValue v = entries.value("currentBoard");
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < 0 || d > 9007199254740992.0)
            throw Refused(QStringLiteral("所选配电箱不是有效的整数"));
        s.current = static_cast<std::size_t>(d);
        if (s.current > 0 && s.current >= s.boards.size())
            throw Refused(QStringLiteral("所选配电箱不存在"));
    }
    return s;
}

} // namespace

project::Part schedulePart()
{
    project::Part part;
    part.keys = {QStringLiteral("boards"), QStringLiteral("currentBoard")};
    part.check = [](const QJsonObject& entries) {
        try {
            read(entries);
            return QString();
        } catch (const Refused& r) {
            return QString::fromStdString(r.what());
        }
    };
    part.holdsInput = [](const QJsonObject& entries) {
        for (const Board& b : scheduleFrom(entries).boards)
            if (!(b == Board::named(b.name)))
                return true;
        return false;
    };
    return part;
}

QJsonObject entries(const Schedule& schedule)
{
    QJsonArray boards;
    for (const Board& b : schedule.boards)
        boards.append(boardJson(b));
    return {{"boards", boards}, {"currentBoard", static_cast<double>(schedule.current)}};
}

Schedule scheduleFrom(const QJsonObject& entries)
{
    try {
        return read(entries);
    } catch (const Refused&) {
        return {};
    }
}

} // namespace load
