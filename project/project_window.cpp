#include "project_window.h"

#include "builder.h"
#include "form.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

using namespace ui;

namespace project {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QListWidget* listOf(Form& f, const char* name) { return qobject_cast<QListWidget*>(f.control(name)); }

} // namespace

std::vector<CaseRef> listed(const Project& project, const std::vector<std::string>& windows)
{
    std::vector<CaseRef> refs;
    for (const std::string& w : windows)
        if (const auto it = project.cases.find(w); it != project.cases.end())
            for (std::size_t i = 0; i < it->second.size(); ++i)
                refs.push_back({w, i});
    return refs;
}

ui::Form* buildWindow(WindowHooks hooks)
{
    Form* form = build(window());
    Form& f = *form;
    auto h = std::make_shared<WindowHooks>(std::move(hooks));

    // The header goes into the project at every keystroke, as the engineer types it.
    for (const char* field : {"gcmc", "zx", "js", "jd"})
        f.onChange(field, [&f, h] {
            h->headerEdited({f.text("gcmc"), f.text("zx"), f.text("js"), f.text("jd")});
        });

    // The selected case, by the references the window keeps beside its list.
    auto selected = [&f]() -> std::optional<CaseRef> {
        QListWidget* list = listOf(f, "sl");
        QListWidgetItem* item = list ? list->currentItem() : nullptr;
        if (!item)
            return std::nullopt;
        return CaseRef{item->data(Qt::UserRole).toString().toStdString(),
                       static_cast<std::size_t>(item->data(Qt::UserRole + 1).toULongLong())};
    };
    auto needCase = [&f](const char* field) {
        f.showFailure(field, QStringLiteral("请先在算例列表中选一个算例"));
    };
    QObject::connect(listOf(f, "sl"), &QListWidget::currentItemChanged, &f, [&f](QListWidgetItem* item) {
        QSignalBlocker quiet(f.control("slmc"));
        qobject_cast<QLineEdit*>(f.control("slmc"))->setText(item ? item->data(Qt::UserRole + 2).toString() : QString());
    });
    f.onClick("zr", [h, selected, needCase] {
        if (const auto c = selected())
            h->loadCase(*c);
        else
            needCase("sl");
    });
    QObject::connect(listOf(f, "sl"), &QListWidget::itemActivated, &f, [h, selected] {
        if (const auto c = selected())
            h->loadCase(*c);
    });
    f.onClick("gm", [&f, h, selected, needCase] {
        const auto c = selected();
        if (!c)
            return needCase("sl");
        const QString name = f.text("slmc").trimmed();
        if (name.isEmpty())
            return f.showFailure("slmc", QStringLiteral("算例名称不能为空"));
        h->renameCase(*c, name.toStdString());
    });
    f.onClick("sc", [h, selected, needCase] {
        if (const auto c = selected())
            h->deleteCase(*c);
        else
            needCase("sl");
    });

    auto openBoard = [&f, h] {
        QListWidget* boards = listOf(f, "pdx");
        h->openBoard(boards && boards->currentRow() >= 0 ? static_cast<std::size_t>(boards->currentRow()) : 0);
    };
    f.onClick("jsb", openBoard);
    QObject::connect(listOf(f, "pdx"), &QListWidget::itemActivated, &f, openBoard);

    auto openRecent = [&f, h] {
        QListWidget* recent = listOf(f, "zj");
        if (QListWidgetItem* item = recent ? recent->currentItem() : nullptr)
            h->openRecent(item->data(Qt::UserRole).toString());
        else
            f.showFailure("zj", QStringLiteral("请先在列表中选一个最近的工程"));
    };
    f.onClick("dk", openRecent);
    QObject::connect(listOf(f, "zj"), &QListWidget::itemActivated, &f, openRecent);

    f.onClick("xj", [h] { h->newProject(); });
    f.onClick("dkgc", [h] { h->openProject(); });
    f.onClick("bc", [h] { h->saveProject(); });
    f.onClick("lc", [h] { h->saveAs(); });
    f.onClick("jss", [h] { h->sheet(); });
    f.onClick("fh", [h] { h->back(); });
    return form;
}

void show(ui::Form& f, const Shown& s)
{
    const Project& p = *s.project;
    const std::pair<const char*, const QString*> header[] = {
        {"gcmc", &p.header.project}, {"zx", &p.header.part}, {"js", &p.header.calculatedBy}, {"jd", &p.header.checkedBy}};
    for (const auto& [field, value] : header) {
        auto* edit = qobject_cast<QLineEdit*>(f.control(field));
        if (edit->text() != *value) {
            QSignalBlocker quiet(edit); // what the project holds is no edit of it
            edit->setText(*value);
        }
    }
    const QString name = s.file.isEmpty() ? QStringLiteral("尚未保存") : QFileInfo(s.file).fileName();
    f.setCaption("wj", s.file.isEmpty() ? (s.unsaved ? QStringLiteral("尚未保存（有未保存的内容）") : name)
                                        : name + (s.unsaved ? QStringLiteral("（有未保存的改动）") : QStringLiteral("（已保存）")));

    // Cases, each under its calculator's caption; the selection stays where it was.
    QListWidget* cases = listOf(f, "sl");
    const int row = cases->currentRow();
    {
        QSignalBlocker quiet(cases);
        cases->clear();
        std::vector<std::string> windows;
        for (const auto& [window, list] : p.cases)
            windows.push_back(window);
        for (const CaseRef& c : listed(p, windows)) {
            const Case& one = p.cases.at(c.window)[c.index];
            auto* item = new QListWidgetItem(s.captionOf(c.window) + QStringLiteral("：") + qs(one.name), cases);
            item->setData(Qt::UserRole, qs(c.window));
            item->setData(Qt::UserRole + 1, static_cast<qulonglong>(c.index));
            item->setData(Qt::UserRole + 2, qs(one.name));
        }
        cases->setCurrentRow(std::min(row, cases->count() - 1));
    }
    {
        QSignalBlocker quiet(f.control("slmc"));
        QListWidgetItem* item = cases->currentItem();
        qobject_cast<QLineEdit*>(f.control("slmc"))->setText(item ? item->data(Qt::UserRole + 2).toString() : QString());
    }

    QListWidget* boards = listOf(f, "pdx");
    const int board = boards->currentRow();
    {
        QSignalBlocker quiet(boards);
        boards->clear();
        for (const QString& name : s.boards)
            boards->addItem(name.isEmpty() ? QStringLiteral("（未命名）") : name);
        boards->setCurrentRow(board >= 0 && board < boards->count() ? board : (boards->count() ? 0 : -1));
    }

    QListWidget* recent = listOf(f, "zj");
    {
        QSignalBlocker quiet(recent);
        recent->clear();
        for (const QString& file : s.recent) {
            auto* item = new QListWidgetItem(QFileInfo(file).fileName(), recent);
            item->setData(Qt::UserRole, file);
            item->setToolTip(file);
        }
    }
}

} // namespace project
