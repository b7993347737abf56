// SPDX-License-Identifier: GPL-3.0-or-later
#include "element_list.h"

#include <QLabel>

void tagElement(QWidget &element, const QString &listName, int index)
{
    element.setObjectName(listName);
    element.setProperty("Index", index);
}

QLabel *cloneElement(const QLabel &original)
{
    auto *copy = new QLabel(original.parentWidget());
    copy->setGeometry(original.geometry());
    // A label holds either a picture or a caption; setting one clears the other.
    if (!original.pixmap().isNull())
        copy->setPixmap(original.pixmap());
    else
        copy->setText(original.text());
    copy->setToolTip(original.toolTip());
    copy->setFont(original.font());
    copy->setPalette(original.palette());
    copy->setAutoFillBackground(original.autoFillBackground());
    copy->setFrameStyle(original.frameStyle());
    copy->setLineWidth(original.lineWidth());
    copy->setAlignment(original.alignment());
    copy->setMargin(original.margin());
    copy->setIndent(original.indent());
    copy->setWordWrap(original.wordWrap());
    copy->setFocusPolicy(original.focusPolicy());
    copy->setAttribute(Qt::WA_TransparentForMouseEvents,
                       original.testAttribute(Qt::WA_TransparentForMouseEvents));
    copy->setStyleSheet(original.styleSheet());
    return copy;
}
