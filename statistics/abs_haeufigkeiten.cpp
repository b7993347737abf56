#include "abs_haeufigkeiten.h"

// TODO(unfinished): the bar chart is not built yet; the window is an empty placeholder.
AbsHaeufigkeiten::AbsHaeufigkeiten()
    : m_absH(QStringLiteral("absH"), new QLabel(this)),
      m_niveau(QStringLiteral("Niveau"), new LineElement(this)),
      m_nzahl(QStringLiteral("NZahl"), new QLabel(this))
{
    setObjectName(QStringLiteral("absHaeufigkeiten"));
    setWindowTitle(QStringLiteral("absolute Häufigkeiten"));
}

AbsHaeufigkeiten::~AbsHaeufigkeiten()
{
    emit released();
}

void AbsHaeufigkeiten::absH_Refresh()
{
    // TODO(unfinished): layout pass.
}
