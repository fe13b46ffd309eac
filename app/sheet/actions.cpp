#include "actions.h"

#include "app/ui/form.h"
#include "app/ui/widgets.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShortcut>
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

Sheet make(const ui::Form& form, const Maker& maker)
{
    Sheet s = maker(form);
    s.made = QDateTime::currentDateTime();
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
        form.showMessage(QStringLiteral("计算书未能保存：") + saved.error);
        return;
    }
    const QString path = saved.path;
    const QString name = QFileInfo(path).fileName();
    form.showMessage(QStringLiteral("计算书已保存为 %1，点击此处打开").arg(name),
                     [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
}

void openFolder(ui::Form& form, const QString& folder)
{
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        form.showMessage(QStringLiteral("无法建立文件夹“%1”").arg(QFileInfo(folder).fileName()));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void attach(ui::Form& form, Maker maker, std::function<QString()> folder)
{
    ui::Form* f = &form;
    QWidget* window = form.window();
    const QKeySequence copyKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_C), saveKeys(Qt::CTRL | Qt::Key_S);

    auto copyNow = [f, maker] {
        copy(make(*f, maker));
        f->showMessage(QStringLiteral("计算书已复制到剪贴板"));
    };
    auto saveNow = [f, maker, folder](Format format) { saveAndTell(*f, make(*f, maker), format, folder()); };

    auto addEntries = [=](QMenu* menu) {
        menu->addAction(QStringLiteral("复制计算书"), copyNow)->setShortcut(copyKeys);
        menu->addAction(QStringLiteral("保存计算书(PDF)"), [saveNow] { saveNow(Format::Pdf); })->setShortcut(saveKeys);
        menu->addAction(QStringLiteral("保存计算书(ODT)"), [saveNow] { saveNow(Format::Odt); });
        menu->addAction(QStringLiteral("打开计算书文件夹"), [f, folder] { openFolder(*f, folder()); });
    };
    // A popup, never a blocking menu loop; it goes when it closes.
    auto popup = [](QMenu* menu, QEvent* event) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        event->accept();
        return true;
    };
    // A text field keeps its own edit actions, the sheet's entries follow.
    auto afterEditActions = [=](QObject* watched, auto standardMenu) {
        new ui::EventHook(watched, QEvent::ContextMenu, [=](QEvent* event) {
            QMenu* menu = standardMenu();
            menu->addSeparator();
            addEntries(menu);
            return popup(menu, event);
        });
    };
    for (QLineEdit* edit : window->findChildren<QLineEdit*>())
        afterEditActions(edit, [edit] { return edit->createStandardContextMenu(); });
    for (QPlainTextEdit* edit : window->findChildren<QPlainTextEdit*>()) {
        afterEditActions(edit, [edit] { return edit->createStandardContextMenu(); });             // the menu key
        afterEditActions(edit->viewport(), [edit] { return edit->createStandardContextMenu(); }); // the mouse
    }
    // A drop-down list hands a right-click on its arrow, and the menu key, to
    // its text part's menu without passing that part's hook.
    for (QComboBox* box : window->findChildren<QComboBox*>())
        if (QLineEdit* edit = box->lineEdit())
            afterEditActions(box, [edit] { return edit->createStandardContextMenu(); });
    // Everything else passes the right-click on to the window: its background,
    // labels, buttons, frames and lists.
    new ui::EventHook(window, QEvent::ContextMenu, [=](QEvent* event) {
        auto* menu = new QMenu(window);
        menu->setObjectName(QStringLiteral("sheetMenu"));
        addEntries(menu);
        return popup(menu, event);
    });

    auto* copyKey = new QShortcut(copyKeys, window);
    auto* saveKey = new QShortcut(saveKeys, window);
    for (QShortcut* key : {copyKey, saveKey}) {
        key->setContext(Qt::WindowShortcut);
        key->setAutoRepeat(false);
    }
    QObject::connect(copyKey, &QShortcut::activated, &form, copyNow);
    QObject::connect(saveKey, &QShortcut::activated, &form, [saveNow] { saveNow(Format::Pdf); });
}

} // namespace sheet
