// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// One window of the program, reached by name for the whole run. The first touch creates and
// loads the window without showing it; closing (by its close box or by unload()) destroys it, and
// the next touch creates it again from its design.
//
// A window that wants its owner to learn of its unload and terminate steps has a signal
// `released()`; it is forwarded as SharedWindowBase::released(), which outlives the window.
class SharedWindowBase : public QObject
{
    Q_OBJECT

public:
    bool isLoaded() const { return m_window != nullptr; }
    // The window if it exists, without creating it.
    QWidget *loadedWidget() const { return m_window; }

    // Creates the window if needed and shows it modeless, without an owner.
    void show();
    // Hides the window if it exists; it keeps its contents.
    void hide();
    // Closes the window if it exists: its unload step runs and it is destroyed at once.
    void unload();

signals:
    void released();

protected:
    void adopt(QWidget *window);
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual QWidget &touch() = 0;

    QPointer<QWidget> m_window;
};

template <class Window>
class SharedWindow final : public SharedWindowBase
{
public:
    Window &instance()
    {
        if (!m_window) {
            auto *window = new Window;
            QObject::connect(window, &Window::released, this, &SharedWindowBase::released);
            adopt(window);
        }
        return static_cast<Window &>(*m_window);
    }
    Window *operator->() { return &instance(); }
    Window &operator*() { return instance(); }

protected:
    QWidget &touch() override { return instance(); }
};
