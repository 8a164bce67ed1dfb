#pragma once

#include <QColor>
#include <QWidget>

// A round status lamp (a filled circle with a thin dark rim).
class Lamp : public QWidget
{
    Q_OBJECT
public:
    explicit Lamp(QWidget *parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor &colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
};

// The colour of a lamp before any status is read: the desktop's colour of an active window border.
QColor NeutralLampColour();
