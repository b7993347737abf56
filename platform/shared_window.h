// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <concepts>
#include <functional>
#include <utility>

// One window of the program, reached through its instance for the whole run. The first touch
// creates and loads the window without showing it; closing (by its close box or by unload())
// destroys it, and the next touch creates it again from its design.
//
// released() tells that the window was unloaded (closed) or terminated (destroyed); the instance
// emits it for every window it holds, so no window has to announce it itself, and it outlives
// the window.
class SharedWindowBase : public QObject
{
    Q_OBJECT

public:
    bool isLoaded() const { return m_window != nullptr; }
    // The window if it exists, without creating it.
    QWidget *loadedWidget() const { return m_window; }

    // Creates the window if needed and shows it modeless, without an owner.
    void show();
    // Shows the window in front of the others and gives it the keyboard.
    void showInFront();
    // Hides the window if it exists; it keeps its contents.
    void hide();
    // Closes the window if it exists: its unload step runs and it is destroyed at once.
    void unload();

signals:
    // A new window was made for this instance (at a first touch, or after a close).
    void created(QWidget *window);
    void released();


protected:
    void adopt(QWidget *window);
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual QWidget &touch() = 0;

    QPointer<QWidget> m_window;

private:
    // Whether the current window was shown or hidden on purpose: until then it opens at its
    // design position, after that it stays wherever the user has put it.
    bool m_placed = false;
};

template <class Window>
class SharedWindow final : public SharedWindowBase
{
public:
    using Factory = std::function<Window *()>;

    // `create` makes a window with its collaborators; it runs at every first touch.
    explicit SharedWindow(Factory create) : m_create(std::move(create)) {}
    SharedWindow()
        requires std::default_initializable<Window>
        : m_create([] { return new Window; })
    {
    }

    Window &instance()
    {
        if (!m_window)
            adopt(m_create());
        return static_cast<Window &>(*m_window);
    }
    Window *operator->() { return &instance(); }
    Window &operator*() { return instance(); }
    // The window if it exists, without creating it.
    Window *loaded() const { return static_cast<Window *>(m_window.data()); }

protected:
    QWidget &touch() override { return instance(); }

private:
    Factory m_create;

};
