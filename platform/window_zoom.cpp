// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_zoom.h"

#include "screen_fit.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// The font a widget had before the first zoom step; none where it inherited its font.
const char *const BaseFont = "kollavoZoomBaseFont";

} // namespace

QFont scaledFont(QFont font, qreal factor)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * factor))));
    else
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

void scaleWidgetFonts(QWidget &root, qreal factor)
{
    // Guarded: a new font can make a widget rebuild its children (a menu bar its rows).
    QList<QPointer<QWidget>> widgets{&root};
    for (QWidget *child : root.findChildren<QWidget *>())
        widgets.append(child);
    for (QWidget *w : std::as_const(widgets)) {
        if (!w)
            continue;
        QVariant base = w->property(BaseFont);
        if (!base.isValid()) {
            // Only fonts set on purpose; the others follow their parent's.
            if (w != &root && !w->testAttribute(Qt::WA_SetFont))
                continue;
            base = w->testAttribute(Qt::WA_SetFont) ? QVariant(w->font()) : QVariant(QString());
            w->setProperty(BaseFont, base);
        }
        if (base.userType() == QMetaType::QFont)
            w->setFont(factor == 1 ? base.value<QFont>() : scaledFont(base.value<QFont>(), factor));
        else // the root inherited the application's font: back to inheriting it at 100 %
            w->setFont(factor == 1 ? QFont() : scaledFont(w->parentWidget()
                                                              ? w->parentWidget()->font()
                                                              : QFont(),
                                                          factor));
    }
}

WindowZoom::WindowZoom(QWidget &window, std::function<void(qreal)> drawn)
    : QObject(&window), m_window(window), m_drawn(std::move(drawn))
{
    setObjectName(QStringLiteral("Zoom"));
    const auto shortcut = [&](const QKeySequence &keys, int percent, bool relative) {
        auto *s = new QShortcut(keys, &window);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [this, percent, relative] {
            setPercent(relative ? m_percent + percent : percent);
        });
    };
    shortcut(QKeySequence::ZoomIn, Step, true);
    // Ctrl and the "=" key beside the plus on US keyboards, as browsers accept it.
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), Step, true);
    shortcut(QKeySequence::ZoomOut, -Step, true);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), Smallest, false);
}

void WindowZoom::setPercent(int percent)
{
    percent = std::clamp(percent, Smallest, Largest);
    if (percent == m_percent)
        return;
    if (m_percent == Smallest)
        m_baseSize = m_window.size();
    m_percent = percent;
    const qreal factor = percent / 100.0;
    scaleWidgetFonts(m_window, factor);
    if (m_drawn)
        m_drawn(factor);
    // The minimum the layout derives from the new fonts, now rather than at the next event, so
    // that the window can go back to its size.
    if (QLayout *layout = m_window.layout()) {
        layout->invalidate();
        layout->activate();
    }
    if (percent == Smallest) {
        m_window.resize(m_baseSize);
        // A window that measures its texts on resizing may have held on to a larger minimum
        // until then; a second try lands on the size it had.
        for (int round = 0; round < 2 && m_window.size() != m_baseSize; ++round) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            m_window.resize(m_baseSize);
        }
        return;
    }
    // Grown with its contents, as far as the screen allows; the window's own minimum may ask
    // for more, and the screen fit then moves it.
    QSize size = (QSizeF(m_baseSize) * factor).toSize();
    if (const QScreen *screen = m_window.screen()) {
        const QSize frame = m_window.frameGeometry().size() - m_window.size();
        size = size.boundedTo(screen->availableGeometry().size() - frame);
    }
    m_window.resize(size.expandedTo(m_window.minimumSizeHint()));
    ScreenFit::placeOnScreen(m_window);
}
