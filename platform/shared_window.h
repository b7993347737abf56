// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <type_traits>

class Dialogs;

// One window of the program, reached by name for the whole run. The first touch creates and
// loads the window without showing it; closing (by its close box or by unload()) destroys it, and
// the next touch creates it again from its design.
//
// Every window has a signal `released()`, emitted by its unload and terminate steps; it is
// forwarded as SharedWindowBase::released(), which outlives the window.
//
// Collaborators come in through the window's constructor. A window that shows dialogs (save,
// print, failure messages) has the constructor `Window(Dialogs &)` and is created with the
// dialogs given to attach(): the main window attaches every statistics window to its own dialogs
// in its constructor, before anything touches them, so that each dialog belongs to the main
// window. A window that shows none has a default constructor, or else the standard factory given
// where the window is declared. A test that hands a window another collaborator sets a factory.
class SharedWindowBase : public QObject
{
    Q_OBJECT

public:
    // The dialogs the next window is created with; they must outlive every window created with
    // them, so the one who attaches them detaches them when it goes.
    void attach(Dialogs &dialogs) { m_dialogs = &dialogs; }
    void detach() { m_dialogs = nullptr; }

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
    Dialogs &attachedDialogs() const;

    QPointer<QWidget> m_window;

private:
    Dialogs *m_dialogs = nullptr;
};

template <class Window>
class SharedWindow final : public SharedWindowBase
{
public:
    // Makes the next window instead of its constructor; an empty factory restores it.
    using Factory = std::function<Window *()>;
    // `standard`: how a window without a default constructor is made.
    explicit SharedWindow(Factory standard = {}) : m_standard(std::move(standard)) {}
    void setFactory(Factory factory) { m_factory = std::move(factory); }

    Window &instance()
    {
        if (!m_window) {
            Window *window = create();
            QObject::connect(window, &Window::released, this, &SharedWindowBase::released);
            adopt(window);
        }
        return static_cast<Window &>(*m_window);
    }
    Window *operator->() { return &instance(); }
    Window &operator*() { return instance(); }

protected:
    QWidget &touch() override { return instance(); }

private:
    Window *create()
    {
        if (m_factory)
            return m_factory();
        if constexpr (std::is_constructible_v<Window, Dialogs &>)
            return new Window(attachedDialogs());
        else if constexpr (std::is_default_constructible_v<Window>)
            return new Window;
        else
            return m_standard();
    }

    Factory m_standard;
    Factory m_factory;
};
