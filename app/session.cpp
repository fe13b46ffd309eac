#include "session.h"

#include "calculators.h"
#include "convert.h"
#include "drawn.h"
#include "facts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A window's state as it starts: what a file may leave out.
bool isFresh(const ui::Table& table, const ui::State& s)
{
    for (const ui::Control& c : table.controls) {
        switch (c.kind) {
        case ui::Kind::Field:
        case ui::Kind::MultiField:
        case ui::Kind::Combo:
            if (s.text(c.name) != c.caption)
                return false;
            break;
        case ui::Kind::Option:
            if (s.isChecked(c.name) != c.selected)
                return false;
            break;
        case ui::Kind::List:
            if (s.shown.count(c.name) && s.shown.at(c.name) == c.hidden)
                return false;
            break;
        default: break;
        }
    }
    return s.captions.empty();
}

std::string checkState(const std::string& window, const ui::State& state)
{
    const Calculator* c = calculator(window);
    return c && c->check ? c->check(state) : std::string();
}

// The inputs by which `state` differs from `other`, as a case's name gives
// them: "k 1.5，省部级办公楼". Fields by their symbol, value and unit; an option
// group by its symbol and the option's value, or else the option's caption.
std::string difference(const ui::Table& table, const ui::State& state, const ui::State& other)
{
    std::vector<std::string> parts;
    for (const ui::Control& c : table.controls) {
        if (c.quantity.role != ui::Role::Input)
            continue;
        const std::string& symbol = c.quantity.symbol.empty() ? c.quantity.term : c.quantity.symbol;
        if (c.kind == ui::Kind::Field || c.kind == ui::Kind::Combo) {
            const std::string value = sheet::asRead(state, c.name);
            if (value != sheet::asRead(other, c.name))
                parts.push_back(symbol + " " + value + (c.quantity.unit.empty() ? "" : " " + c.quantity.unit));
            continue;
        }
        // An option group, by its frame or its first option.
        const ui::Control* option = nullptr;
        const ui::Control* otherOption = nullptr;
        for (const ui::Control& o : table.controls)
            if (o.kind == ui::Kind::Option && (o.parent == c.name || o.name == c.name)) {
                if (state.isChecked(o.name))
                    option = &o;
                if (other.isChecked(o.name))
                    otherOption = &o;
            }
        if (!option || option == otherOption)
            continue;
        parts.push_back(option->value && !c.quantity.symbol.empty()
                            ? c.quantity.symbol + " " + numeric::formatNumber(*option->value)
                            : option->caption);
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "，") + p;
    return out;
}

// Half a second after a change the recovery file holds it.
constexpr qint64 recoveryDelayMs = 500;
// After a change of window, as soon as the new window is drawn.
constexpr qint64 afterWindowMs = 100;
// The file is written once the windows have answered what the engineer
// pressed last, so that it never delays that answer, and this much later at
// the latest: within a second of the change all the same.
constexpr qint64 answeredWithinMs = 150;

} // namespace

Session::Session(Windows windows, ChooseFile chooseFile, QString dataFolder, QString projectsFolder)
    : windows_(std::move(windows)), chooseFile_(std::move(chooseFile)), dataFolder_(std::move(dataFolder)),
      projectsFolder_(std::move(projectsFolder))
{
    QObject::connect(&recoveryTimer_, &ui::clock::Timer::timeout, [this] {
        writeWaiting_ = true;
        ui::drawn::afterInput(&recoveryTimer_, answeredWithinMs, [this] {
            if (writeWaiting_)
                writeRecovery();
        });
    });
}

project::Project Session::project() const
{
    project::Project p = project_;
    p.windows = windows_.states();
    p.parts = load::entries(schedule_);
    return p;
}

bool Session::holdsInput(const project::Project& p) const
{
    if (!(p.header == project::Header{}) || !p.cases.empty())
        return true;
    for (const project::Part& part : projectParts())
        if (part.holdsInput && part.holdsInput(p.parts))
            return true;
    for (const auto& [window, state] : p.windows)
        if (const ui::Table* t = tableOf(window); t && !isFresh(*t, state))
            return true;
    return false;
}

bool Session::offerLastRun()
{
    QFile file(recoveryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    std::optional<project::Recovery> last =
        project::readRecovery(file.readAll(), tableOf, checkState, projectParts());
    if (!last || !last->unsaved || !holdsInput(last->project))
        return false;
    offer_ = std::move(last);
    return true;
}

void Session::changed()
{
    if (applying_)
        return;
    unsaved_ = true;
    // The last run's inputs are no longer offered once this run has its own;
    // they stay beside the recovery file.
    if (offer_) {
        offer_.reset();
        QFile::remove(recoveryPath() + QStringLiteral(".previous"));
        QFile::copy(recoveryPath(), recoveryPath() + QStringLiteral(".previous"));
    }
    // A write already waiting takes this change with it.
    if (!recoveryTimer_.isActive() && !writeWaiting_)
        recoveryTimer_.start(recoveryDelayMs);
    windows_.refresh();
}

void Session::windowChanged()
{
    if (writeWaiting_)
        return;
    if (!recoveryTimer_.isActive() || recoveryTimer_.remaining() > afterWindowMs)
        recoveryTimer_.start(afterWindowMs);
}

void Session::casesEdited()
{
    casesChanged_ = true;
    changed();
}

const QJsonObject& Session::casesJson() const
{
    if (casesChanged_) {
        casesJson_ = project::casesJson(project_.cases);
        casesChanged_ = false;
    }
    return casesJson_;
}

QString Session::recoveryPath() const { return dataFolder_ + QStringLiteral("/recovery.json"); }

void Session::writeRecovery()
{
    recoveryTimer_.stop();
    writeWaiting_ = false;
    if (offer_)
        return; // what Ctrl+Shift+T would bring back is not written over
    if (!QDir().mkpath(dataFolder_))
        return;
    // The last good file stays whole until the new one is complete.
    QSaveFile out(recoveryPath());
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(project::writeRecovery({project(), file_, unsaved_}, &casesJson()));
    out.commit();
}

void Session::apply(const project::Project& p)
{
    casesChanged_ = true;
    applying_ = true;
    project_.header = p.header;
    project_.cases = p.cases;
    schedule_ = load::scheduleFrom(p.parts);
    windows_.apply(p);
    applying_ = false;
    windows_.refresh();
}

bool Session::writeProject(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    if (!info.absoluteDir().exists()) {
        windows_.tell(QStringLiteral("工程未能保存：文件夹“%1”不存在").arg(folder), true);
        return false;
    }
    // The previous file stays whole until the new one is complete.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        windows_.tell(QStringLiteral("工程未能保存：无法在文件夹“%1”中写入“%2”").arg(folder, info.fileName()), true);
        return false;
    }
    const QByteArray bytes = project::write(project(), &casesJson());
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        windows_.tell(QStringLiteral("工程未能保存：写入“%1”时出错，磁盘可能已满；输入仍保留在恢复文件中")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())),
                      true);
        return false;
    }
    return true;
}

void Session::save(bool choosing)
{
    QString path = file_;
    if (choosing || path.isEmpty()) {
        QDir().mkpath(projectsFolder_);
        const QString base = project_.header.project.isEmpty() ? QStringLiteral("未命名工程") : project_.header.project;
        const QString suggested = path.isEmpty() ? projectsFolder_ + "/" + base + QStringLiteral(".elcarta") : path;
        path = chooseFile_(Choice::Save, windows_.parent(), suggested);
        if (path.isEmpty())
            return;
        if (!path.endsWith(QStringLiteral(".elcarta"), Qt::CaseInsensitive))
            path += QStringLiteral(".elcarta");
    }
    if (!writeProject(path)) {
        writeRecovery();
        return;
    }
    file_ = path;
    unsaved_ = false;
    remember(path);
    writeRecovery();
    windows_.refresh();
    windows_.tell(QStringLiteral("工程已保存为 %1").arg(QFileInfo(path).fileName()), false);
}

// What was typed and not saved is kept as recovery first, and Ctrl+Shift+T
// brings it back until something is changed.
void Session::keepForBringingBack()
{
    const project::Project now = project();
    if (unsaved_ && holdsInput(now)) {
        writeRecovery();
        offer_ = project::Recovery{now, file_, true};
    }
}

bool Session::openProject(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        windows_.tell(QStringLiteral("无法打开工程“%1”：文件无法读取").arg(name), true);
        return false;
    }
    const project::Read read = project::read(in.readAll(), tableOf, checkState, projectParts());
    if (!read.project) {
        windows_.tell(QStringLiteral("无法打开工程“%1”：%2").arg(name, read.error), true);
        return false;
    }
    keepForBringingBack();
    apply(*read.project);
    file_ = QFileInfo(path).absoluteFilePath();
    unsaved_ = false;
    remember(file_);
    windows_.refresh();
    windows_.tell(QStringLiteral("已打开工程 %1").arg(name), false);
    return true;
}

void Session::chooseAndOpen()
{
    const QString start = file_.isEmpty() ? projectsFolder_ : QFileInfo(file_).absolutePath();
    const QString path = chooseFile_(Choice::Open, windows_.parent(), start);
    if (!path.isEmpty())
        openProject(path);
}

void Session::newProject()
{
    keepForBringingBack();
    apply({});
    file_.clear();
    unsaved_ = false;
    windows_.refresh();
    windows_.tell(offer_ ? QStringLiteral("已新建工程；原来未保存的输入可按 Ctrl+Shift+T 找回")
                         : QStringLiteral("已新建工程"),
                  false);
}

void Session::bringBack()
{
    if (!offer_) {
        windows_.tell(QStringLiteral("没有可找回的输入"), false);
        return;
    }
    const project::Recovery r = *offer_;
    offer_.reset();
    apply(r.project);
    file_ = r.file;
    unsaved_ = true;
    windows_.refresh();
    writeRecovery();
    windows_.tell(QStringLiteral("已找回上次未保存的输入"), false);
}

QString Session::saveCase(const std::string& window, const ui::State& state, const std::string& base)
{
    std::vector<project::Case>& list = project_.cases[window];
    const auto taken = [&list](const std::string& name) {
        return std::any_of(list.begin(), list.end(), [&name](const project::Case& c) { return c.name == name; });
    };
    std::string name = base;
    // A case named like another is named by what sets it apart.
    if (const ui::Table* table = tableOf(window); table && taken(name))
        for (const project::Case& c : list)
            if (c.name == base)
                if (const std::string apart = difference(*table, state, c.state); !apart.empty()) {
                    name = base + " " + apart;
                    break;
                }
    const std::string named = name;
    for (int n = 2; taken(name); ++n)
        name = named + " (" + std::to_string(n) + ")";
    list.push_back({name, state});
    casesEdited();
    return qs(name);
}

QStringList Session::recent() const
{
    QFile in(dataFolder_ + QStringLiteral("/recent.json"));
    QStringList files;
    if (in.open(QIODevice::ReadOnly))
        for (const QJsonValue& v : QJsonDocument::fromJson(in.readAll()).array())
            if (v.isString())
                files << v.toString();
    return files;
}

void Session::remember(const QString& path)
{
    QStringList files = recent();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > 10)
        files.removeLast();
    QDir().mkpath(dataFolder_);
    QSaveFile out(dataFolder_ + QStringLiteral("/recent.json"));
    if (out.open(QIODevice::WriteOnly)) {
        out.write(QJsonDocument(QJsonArray::fromStringList(files)).toJson());
        out.commit();
    }
}
