#pragma once
// Drives the program's windows as a user would: through their object names,
// with mouse clicks and typed keys. Every test starts with a fresh program.

#include "shell.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <random>

namespace ui { class Form; }

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh program showing its menu. Its data folder (recovery file,
    // recent projects) and projects folder are the test's own and outlive a
    // restart, as the machine's do.
    void restart();
    QString dataFolder() const { return folders_.path() + "/data"; }
    QString projectsFolder() const { return folders_.path() + "/projects"; }
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
    // The form of the current window.
    ui::Form* form() const;
    // One action an engineer might take in the current calculator: type a
    // figure (or a slip) into a field of its table, or click one of its
    // buttons (not the exit), clickable labels or options.
    void actAtRandom(std::mt19937& random);
    // Names of the controls that Tab reaches one after another, from `first` on.
    QStringList focusOrder(const char* first, int count) const;
    // Makes the current window the active one, as a click on it would.
    void activate();

    std::unique_ptr<Shell> shell_;
    int ended_ = 0;
    QWidget* current_ = nullptr;
    // What the file dialog would answer, and what it was asked.
    QString chosen_;
    QStringList suggested_;
    QTemporaryDir folders_;
};
