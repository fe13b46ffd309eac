#pragma once
// Drives the program's windows as a user would: through their object names,
// with mouse clicks and typed keys. Every test starts with a fresh program.

#include "app/shell.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh program showing its menu.
    void restart();
    // Clicks the menu button for `window` and returns the opened window.
    QWidget* open(const char* window);
    // Clicks the calculator's exit button (or the menu's END).
    void exit(QWidget* window);

    // The window being driven: the last one opened.
    QWidget* win() const { return current_; }
    QWidget* find(const char* name, int index = -1) const { return find(current_, name, index); }
    static QWidget* find(QWidget* window, const char* name, int index = -1);
    template <class T> T* get(const char* name, int index = -1) const
    {
        auto* w = qobject_cast<T*>(find(name, index));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void click(const char* name, int index = -1);
    void doubleClick(const char* name);
    // Replaces the field's text by typing, key by key.
    void type(const char* name, const QString& text);
    // Empties the field as a user does: select all, delete.
    void erase(const char* name);
    // A key press on the current window, as from the keyboard (access keys, Enter).
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString text(const char* name) const;
    bool checked(const char* name) const;
    // The failure notice shown in the current window, or empty.
    QString notice() const;
    QString failedField() const;

    QStringList visibleWindows() const;
    // Names of the controls that Tab reaches one after another, from `first` on.
    QStringList focusOrder(const char* first, int count) const;
    // Makes the current window the active one, as a click on it would.
    void activate();

    std::unique_ptr<Shell> shell_;
    int ended_ = 0;
    QWidget* current_ = nullptr;
};
