#include "actions.h"

#include "form.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

namespace sheet {

QString defaultFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents + QStringLiteral("/Elcarta计算书");
}

namespace {

// A desktop may have nothing to open a folder or a file with; then the window
// says so, naming what it could not open.
void openOnDesktop(ui::Form& form, const QString& path, const QString& failure)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        form.showProblem(failure.arg(QDir::toNativeSeparators(path)));
}

} // namespace

Sheet make(const ui::Form& form, const Maker& maker, const Header& header)
{
    Sheet s = maker(form.snapshot());
    s.made = QDateTime::currentDateTime();
    s.header = header;
    return s;
}

void copy(const Sheet& sheet)
{
    // HTML pastes as tables into a word processor, the plain text as aligned
    // columns into a plain editor.
    auto* data = new QMimeData;
    data->setHtml(toHtml(sheet));
    data->setText(toPlainText(sheet));
    QGuiApplication::clipboard()->setMimeData(data);
}

void saveAndTell(ui::Form& form, const Sheet& sheet, Format format, const QString& folder)
{
    const Saved saved = save(sheet, format, folder);
    if (!saved.ok()) {
        form.showProblem(QStringLiteral("计算书未能保存：") + saved.error);
        return;
    }
    const QString path = saved.path;
    const QString name = QFileInfo(path).fileName();
    ui::Form* f = &form;
    form.showMessage(QStringLiteral("计算书已保存为 %1，点击此处打开").arg(name),
                     [f, path] { openOnDesktop(*f, path, QStringLiteral("无法打开文件：%1")); });
}

void openFolder(ui::Form& form, const QString& folder)
{
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        form.showProblem(QStringLiteral("无法建立文件夹“%1”").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    openOnDesktop(form, folder, QStringLiteral("无法打开文件夹：%1"));
}

std::vector<ui::Command> commands(ui::Form& form, Maker maker, std::function<Header()> header,
                                  std::function<QString()> folder)
{
    ui::Form* f = &form;
    return sheetCommands(form, [f, maker, header] { return make(*f, maker, header()); }, std::move(folder));
}

std::vector<ui::Command> sheetCommands(ui::Form& form, std::function<Sheet()> make, std::function<QString()> folder)
{
    ui::Form* f = &form;
    auto copyNow = [f, make] {
        copy(make());
        f->showMessage(QStringLiteral("计算书已复制到剪贴板"));
    };
    auto saveNow = [f, make, folder](Format format) { saveAndTell(*f, make(), format, folder()); };
    return {
        // Access letters clear of those of a field's own entries (撤消 U, 重做 R,
        // 剪切 T, 复制 C, 粘贴 P) that come before them.
        {QStringLiteral("复制计算书(&J)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), copyNow},
        {QStringLiteral("保存计算书(PDF)(&F)"), QKeySequence(Qt::CTRL | Qt::Key_P), [saveNow] { saveNow(Format::Pdf); }},
        {QStringLiteral("保存计算书(ODT)(&D)"), {}, [saveNow] { saveNow(Format::Odt); }},
        {QStringLiteral("打开计算书文件夹(&W)"), {}, [f, folder] { openFolder(*f, folder()); }},
    };
}

} // namespace sheet
