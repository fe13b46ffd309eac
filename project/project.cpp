#include "project.h"

#include "convert.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <cmath>
#include <set>
#include <stdexcept>

namespace project {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// What a window could never show: a text of more than this many characters.
constexpr qsizetype longestText = 1 << 20;
constexpr std::size_t mostRows = 100000;

const char* kindName(ui::Figure::Kind kind)
{
    switch (kind) {
    case ui::Figure::Kind::Strict: return "strict";
    case ui::Figure::Kind::Lenient: return "lenient";
    case ui::Figure::Kind::Option: return "option";
    case ui::Figure::Kind::Lookup: return "lookup";
    }
    return "strict";
}

// ---- writing

class RecordWriter {
public:
    int id(const ui::RecordPtr& r)
    {
        const auto found = ids_.find(r.get());
        if (found != ids_.end())
            return found->second;
        QJsonArray figures;
        for (const ui::Figure& f : r->figures) {
            QJsonObject o{{"name", qs(f.name)}, {"kind", kindName(f.kind)}, {"value", qs(f.value)}};
            if (f.from)
                o["from"] = id(f.from); // written before the record that reads it
            figures.append(o);
        }
        const int n = static_cast<int>(records_.size());
        records_.append(QJsonObject{{"by", qs(r->by)}, {"step", static_cast<double>(r->step)}, {"figures", figures}});
        ids_[r.get()] = n;
        return n;
    }
    QJsonArray records() const { return records_; }

private:
    std::map<const ui::Record*, int> ids_;
    QJsonArray records_;
};

QJsonObject stateJson(const ui::State& s)
{
    QJsonObject texts, shown, current, captions, results;
    for (const auto& [k, v] : s.texts)
        texts[qs(k)] = qs(v);
    QJsonArray checked;
    for (const std::string& o : s.checked)
        checked.append(qs(o));
    for (const auto& [k, v] : s.shown)
        shown[qs(k)] = v;
    for (const auto& [k, v] : s.current)
        current[qs(k)] = v;
    for (const auto& [k, v] : s.captions)
        captions[qs(k)] = qs(v);
    RecordWriter records;
    for (const auto& [field, r] : s.records)
        if (r)
            results[qs(field)] = records.id(r);
    QJsonArray failures;
    for (const auto& [by, f] : s.failures)
        failures.append(QJsonObject{{"by", qs(f.by)}, {"step", static_cast<double>(f.step)}, {"field", qs(f.field)}, {"why", qs(f.why)}});
    return {{"texts", texts},     {"checked", checked},           {"shown", shown},
            {"current", current}, {"captions", captions},         {"records", records.records()},
            {"results", results}, {"failures", failures},         {"steps", static_cast<double>(s.steps)}};
}

QJsonObject casesObject(const std::map<std::string, std::vector<Case>>& all)
{
    QJsonObject cases;
    for (const auto& [name, list] : all) {
        QJsonArray each;
        for (const Case& c : list)
            each.append(QJsonObject{{"name", qs(c.name)}, {"state", stateJson(c.state)}});
        cases[qs(name)] = each;
    }
    return cases;
}

// The project as one JSON value; its cases as given, when they are.
QJsonObject projectJson(const Project& p, const QJsonObject* cases)
{
    QJsonObject windows;
    for (const auto& [name, state] : p.windows)
        windows[qs(name)] = stateJson(state);
    QJsonObject o = p.parts;
    o["format"] = formatName;
    o["version"] = formatVersion;
    o["header"] = QJsonObject{{"project", p.header.project}, {"part", p.header.part},
                              {"calculatedBy", p.header.calculatedBy}, {"checkedBy", p.header.checkedBy}};
    o["windows"] = windows;
    o["cases"] = cases ? *cases : casesObject(p.cases);
    return o;
}

// ---- reading: every value checked before anything is taken

struct Refused : std::runtime_error {
    explicit Refused(const QString& why) : std::runtime_error(why.toStdString()) {}
};

[[noreturn]] void refuse(const QString& why) { throw Refused(why); }

QJsonObject object(const QJsonValue& v, const QString& what)
{
    if (!v.isObject())
        refuse(QStringLiteral("%1不是一组数据").arg(what));
    return v.toObject();
}

QJsonArray array(const QJsonValue& v, const QString& what)
{
    if (!v.isArray())
        refuse(QStringLiteral("%1不是一列数据").arg(what));
    return v.toArray();
}

std::string text(const QJsonValue& v, const QString& what)
{
    if (!v.isString())
        refuse(QStringLiteral("%1不是文字").arg(what));
    const QString s = v.toString();
    if (s.size() > longestText)
        refuse(QStringLiteral("%1过长").arg(what));
    return s.toStdString();
}

// A whole number from 0 up to 2^53, as JSON holds it.
long long whole(const QJsonValue& v, const QString& what, long long lowest = 0)
{
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < static_cast<double>(lowest) || d > 9007199254740992.0)
        refuse(QStringLiteral("%1不是有效的整数").arg(what));
    return static_cast<long long>(d);
}

bool isTextControl(const ui::Control* c)
{
    return c && (c->kind == ui::Kind::Field || c->kind == ui::Kind::MultiField || c->kind == ui::Kind::Combo);
}

ui::Figure::Kind figureKind(const QString& k)
{
    if (k == "strict")
        return ui::Figure::Kind::Strict;
    if (k == "lenient")
        return ui::Figure::Kind::Lenient;
    if (k == "option")
        return ui::Figure::Kind::Option;
    if (k == "lookup")
        return ui::Figure::Kind::Lookup;
    refuse(QStringLiteral("记录中有未知的数值种类“%1”").arg(k));
}

ui::State stateFrom(const QJsonValue& value, const ui::Table& table, const QString& where)
{
    const QJsonObject o = object(value, where);
    ui::State s;
    const QString caption = qs(table.window.caption);

    for (auto it = o.begin(); it != o.end(); ++it) {
        static const std::set<QString> known = {"texts", "checked", "shown", "current", "captions",
                                                "records", "results", "failures", "steps"};
        if (!known.count(it.key()))
            refuse(QStringLiteral("%1中有未知的项“%2”").arg(where, it.key()));
    }

    const QJsonObject texts = object(o.value("texts").isUndefined() ? QJsonObject() : o.value("texts"), where);
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        const std::string name = it.key().toStdString();
        if (!isTextControl(table.find(name)))
            refuse(QStringLiteral("%1没有可填写的“%2”").arg(caption, it.key()));
        s.texts[name] = text(it.value(), QStringLiteral("%1的“%2”").arg(caption, it.key()));
    }

    if (!o.value("checked").isUndefined()) {
        for (const QJsonValue& v : array(o.value("checked"), where)) {
            const std::string name = text(v, where);
            const ui::Control* c = table.find(name);
            if (!c || c->kind != ui::Kind::Option)
                refuse(QStringLiteral("%1没有选项“%2”").arg(caption, qs(name)));
            s.checked.insert(name);
        }
        // An option group has one option selected, always; a state that names
        // none of a group leaves it as the window starts.
        for (const ui::Control& c : table.controls) {
            if (c.kind != ui::Kind::Option || table.group(c.name).front() != &c)
                continue;
            int on = 0;
            for (const ui::Control* member : table.group(c.name))
                on += s.isChecked(member->name) ? 1 : 0;
            if (on > 1)
                refuse(QStringLiteral("%1的一组选项中只能选中一项").arg(caption));
        }
    }

    for (const char* key : {"shown", "current"}) {
        const QJsonValue v = o.value(key);
        if (v.isUndefined())
            continue;
        const QJsonObject lists = object(v, where);
        for (auto it = lists.begin(); it != lists.end(); ++it) {
            const std::string name = it.key().toStdString();
            const ui::Control* c = table.find(name);
            if (!c || c->kind != ui::Kind::List)
                refuse(QStringLiteral("%1没有列表“%2”").arg(caption, it.key()));
            if (std::string(key) == "shown") {
                if (!it.value().isBool())
                    refuse(QStringLiteral("%1的列表“%2”显示与否不明").arg(caption, it.key()));
                s.shown[name] = it.value().toBool();
            } else {
                const long long row = whole(it.value(), QStringLiteral("%1的列表“%2”所选的项").arg(caption, it.key()), -1);
                if (row >= static_cast<long long>(c->items.size()))
                    refuse(QStringLiteral("%1的列表“%2”没有第 %3 项").arg(caption, it.key()).arg(row + 1));
                s.current[name] = static_cast<int>(row);
            }
        }
    }

    if (!o.value("captions").isUndefined()) {
        const QJsonObject captions = object(o.value("captions"), where);
        for (auto it = captions.begin(); it != captions.end(); ++it) {
            const std::string name = it.key().toStdString();
            const ui::Control* c = table.find(name);
            const std::string shown = text(it.value(), where);
            if (!c || c->kind != ui::Kind::Button ||
                (shown != c->caption && std::find(c->alternates.begin(), c->alternates.end(), shown) == c->alternates.end()))
                refuse(QStringLiteral("%1的按钮“%2”不能显示“%3”").arg(caption, it.key(), qs(shown)));
            if (shown != c->caption)
                s.captions[name] = shown;
        }
    }

    s.steps = o.value("steps").isUndefined() ? 0 : whole(o.value("steps"), QStringLiteral("%1的计算次数").arg(caption));

    // Records refer only to records before them, so the history can neither
    // loop nor be deeper than the window keeps it.
    std::vector<ui::RecordPtr> records;
    const QJsonArray recordList = o.value("records").isUndefined() ? QJsonArray() : array(o.value("records"), where);
    if (static_cast<std::size_t>(recordList.size()) > mostRows)
        refuse(QStringLiteral("%1的计算记录过多").arg(caption));
    const QString recordWhat = QStringLiteral("%1的计算记录").arg(caption);
    for (const QJsonValue& rv : recordList) {
        const QJsonObject ro = object(rv, recordWhat);
        auto r = std::make_shared<ui::Record>();
        r->by = text(ro.value("by"), recordWhat);
        if (!table.find(r->by))
            refuse(QStringLiteral("%1没有控件“%2”").arg(caption, qs(r->by)));
        r->step = whole(ro.value("step"), recordWhat);
        if (r->step > s.steps)
            refuse(QStringLiteral("%1不合前后次序").arg(recordWhat));
        for (const QJsonValue& fv : array(ro.value("figures"), recordWhat)) {
            const QJsonObject fo = object(fv, recordWhat);
            ui::Figure f;
            f.name = text(fo.value("name"), recordWhat);
            f.kind = figureKind(fo.value("kind").toString());
            f.value = text(fo.value("value"), recordWhat);
            const ui::Control* c = table.find(f.name);
            switch (f.kind) {
            case ui::Figure::Kind::Strict:
            case ui::Figure::Kind::Lenient:
                if (!isTextControl(c) || !numeric::parseStrict(f.value))
                    refuse(QStringLiteral("%1中“%2”的数值无效").arg(recordWhat, qs(f.name)));
                break;
            case ui::Figure::Kind::Option:
                if (!c || c->kind != ui::Kind::Option)
                    refuse(QStringLiteral("%1没有选项“%2”").arg(caption, qs(f.name)));
                break;
            case ui::Figure::Kind::Lookup: break;
            }
            if (!fo.value("from").isUndefined()) {
                const long long from = whole(fo.value("from"), recordWhat);
                if (from >= static_cast<long long>(records.size()))
                    refuse(QStringLiteral("%1不合前后次序").arg(recordWhat));
                f.from = records[static_cast<std::size_t>(from)];
                r->depth = std::max(r->depth, f.from->depth + 1);
                if (r->depth > ui::maxRecordDepth)
                    refuse(QStringLiteral("%1过深").arg(recordWhat));
            }
            r->figures.push_back(std::move(f));
        }
        records.push_back(std::move(r));
    }
    const QJsonObject results = o.value("results").isUndefined() ? QJsonObject() : object(o.value("results"), where);
    for (auto it = results.begin(); it != results.end(); ++it) {
        const std::string name = it.key().toStdString();
        if (!isTextControl(table.find(name)))
            refuse(QStringLiteral("%1没有可填写的“%2”").arg(caption, it.key()));
        const long long id = whole(it.value(), recordWhat);
        if (id >= static_cast<long long>(records.size()))
            refuse(QStringLiteral("%1中没有第 %2 条").arg(recordWhat).arg(id + 1));
        s.records[name] = records[static_cast<std::size_t>(id)];
    }

    if (!o.value("failures").isUndefined()) {
        for (const QJsonValue& fv : array(o.value("failures"), where)) {
            const QJsonObject fo = object(fv, where);
            ui::Failed f;
            f.by = text(fo.value("by"), where);
            f.field = text(fo.value("field"), where);
            f.why = text(fo.value("why"), where);
            f.step = whole(fo.value("step"), where);
            if (!table.find(f.by) || !table.find(f.field) || f.step > s.steps)
                refuse(QStringLiteral("%1中的失败记录无效").arg(caption));
            s.failures[f.by] = f;
        }
    }
    return s;
}

Project projectFrom(const QJsonObject& o, const Tables& tables, const Check& check, const Parts& parts)
{
    if (o.value("format").toString() != formatName)
        refuse(QStringLiteral("不是 Elcarta 工程文件"));
    const long long version = whole(o.value("version"), QStringLiteral("格式版本"));
    if (version > formatVersion)
        refuse(QStringLiteral("由较新版本的 Elcarta 保存（格式版本 %1），本程序只能打开格式版本 %2 及以前的工程")
                   .arg(version)
                   .arg(formatVersion));
    if (version < 1)
        refuse(QStringLiteral("格式版本无效"));

    Project p;
    const QJsonObject header = object(o.value("header").isUndefined() ? QJsonObject() : o.value("header"), "工程信息");
    for (const auto& [key, into] : {std::pair{"project", &p.header.project}, std::pair{"part", &p.header.part},
                                    std::pair{"calculatedBy", &p.header.calculatedBy},
                                    std::pair{"checkedBy", &p.header.checkedBy}})
        if (!header.value(key).isUndefined())
            *into = QString::fromStdString(text(header.value(key), QStringLiteral("工程信息")));

    auto tableOf = [&tables](const QString& name) {
        const ui::Table* t = tables(name.toStdString());
        if (!t)
            refuse(QStringLiteral("没有名为“%1”的窗口").arg(name));
        return t;
    };
    auto checked = [&check](const std::string& window, ui::State state) {
        if (check)
            if (const std::string why = check(window, state); !why.empty())
                refuse(qs(why));
        return state;
    };
    const QJsonObject windows = object(o.value("windows").isUndefined() ? QJsonObject() : o.value("windows"), "窗口");
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        const ui::Table* t = tableOf(it.key());
        p.windows[it.key().toStdString()] = checked(it.key().toStdString(), stateFrom(it.value(), *t, qs(t->window.caption)));
    }
    const QJsonObject cases = object(o.value("cases").isUndefined() ? QJsonObject() : o.value("cases"), "算例");
    for (auto it = cases.begin(); it != cases.end(); ++it) {
        const ui::Table* t = tableOf(it.key());
        std::vector<Case>& list = p.cases[it.key().toStdString()];
        for (const QJsonValue& cv : array(it.value(), QStringLiteral("算例"))) {
            const QJsonObject co = object(cv, QStringLiteral("算例"));
            Case c;
            c.name = text(co.value("name"), QStringLiteral("算例名称"));
            if (QString::fromStdString(c.name).trimmed().isEmpty())
                refuse(QStringLiteral("有算例没有名称"));
            c.state = checked(it.key().toStdString(), stateFrom(co.value("state"), *t, QStringLiteral("算例“%1”").arg(qs(c.name))));
            list.push_back(std::move(c));
        }
    }
    // Each part takes its own entries, and says what it cannot take.
    for (const Part& part : parts) {
        QJsonObject entries;
        for (const QString& key : part.keys)
            if (o.contains(key))
                entries[key] = o.value(key);
        if (part.check)
            if (const QString why = part.check(entries); !why.isEmpty())
                refuse(why);
        for (auto it = entries.begin(); it != entries.end(); ++it)
            p.parts[it.key()] = it.value();
    }
    return p;
}

QJsonObject parse(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (doc.isNull() || !doc.isObject())
        refuse(QStringLiteral("不是 Elcarta 工程文件（内容无法读出）"));
    return doc.object();
}

} // namespace

QByteArray write(const Project& p, const QJsonObject* cases)
{
    return QJsonDocument(projectJson(p, cases)).toJson(QJsonDocument::Compact);
}

QJsonObject casesJson(const std::map<std::string, std::vector<Case>>& cases) { return casesObject(cases); }


Read read(const QByteArray& bytes, const Tables& tables, const Check& check, const Parts& parts)
{
    try {
        return {projectFrom(parse(bytes), tables, check, parts), {}};
    } catch (const Refused& r) {
        return {std::nullopt, QString::fromStdString(r.what())};
    }
}

QByteArray writeRecovery(const Recovery& r, const QJsonObject* cases)
{
    const QJsonObject o{{"format", "elcarta-recovery"},
                        {"version", formatVersion},
                        {"file", r.file},
                        {"unsaved", r.unsaved},
                        {"project", projectJson(r.project, cases)}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<Recovery> readRecovery(const QByteArray& bytes, const Tables& tables, const Check& check,
                                     const Parts& parts)
{
    try {
        const QJsonObject o = parse(bytes);
        if (o.value("format").toString() != "elcarta-recovery" || whole(o.value("version"), "") > formatVersion)
            return std::nullopt;
        Recovery r;
        r.file = o.value("file").toString();
        r.unsaved = o.value("unsaved").toBool();
        r.project = projectFrom(object(o.value("project"), ""), tables, check, parts);
        return r;
    } catch (const Refused&) {
        return std::nullopt;
    }
}

} // namespace project
