#include "panels/Lamp.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

QColor NeutralLampColour()
{
    // Qt has no role for a window border; the palette's Mid is what the desktop draws frames with.
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Mid);
}

Lamp::Lamp(QWidget *parent) : QWidget(parent), m_fill(NeutralLampColour())
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setFillColor(const QColor &colour)
{
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

QSize Lamp::sizeHint() const
{
    return {16, 16};
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal diameter = qMin(width(), height()) - 2.0;
    QRectF circle(0, 0, diameter, diameter);
    circle.moveCenter(QRectF(rect()).center());
    painter.setPen(QPen(QColor(64, 64, 64), 1.0));
    painter.setBrush(m_fill);
    painter.drawEllipse(circle);
}
