#include "rel_haeufigkeiten.h"

// TODO(unfinished): the pie chart is not built yet; only the label array exists.
RelHaeufigkeiten::RelHaeufigkeiten() : m_ergebnis(QStringLiteral("Ergebnis"), new QLabel(this))
{
    setObjectName(QStringLiteral("relHaeufigkeiten"));
    setWindowTitle(QStringLiteral("relative Häufigkeiten"));
    for (int i = 1; i <= 42; ++i)
        m_ergebnis.create(i).setText(QString::number(i));
}

RelHaeufigkeiten::~RelHaeufigkeiten()
{
    emit released();
}

void RelHaeufigkeiten::relH_Refresh()
{
    // TODO(unfinished): redraw.
}
