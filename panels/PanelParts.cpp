#include "panels/PanelParts.h"

#include "app/Resources.h"
#include "app/frmMain.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

QString ArrayName(const char *array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

QLabel *CaptionLabel(QWidget *parent, const QString &name, const QString &caption, int tag)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (tag != 0)
        SetTag(label, tag);
    return label;
}

QLabel *HeadingLabel(QWidget *parent, const QString &name, const QString &caption, int tag)
{
    QLabel *label = CaptionLabel(parent, name, caption, tag);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel *ValueLabel(QWidget *parent, const QString &name, ValueStyle style, int chars)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // module replies are shown as they come, never as markup
    if (style == ValueStyle::Number)
        label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const int margin = style == ValueStyle::Unit ? 2 : 8;
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0'))) + margin);
    if (style == ValueStyle::Unit) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMargin(1);
    label->setAlignment(style == ValueStyle::Number ? Qt::AlignRight | Qt::AlignVCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QPushButton *ChannelButton(QWidget *parent, const QString &name, int channel)
{
    auto *button = new QPushButton(QStringLiteral("%1").arg(channel, 2), parent);
    button->setObjectName(name);
    // Read out as "Channel 3", not as the bare number.
    button->setAccessibleName(QStringLiteral("%1 %2").arg(LoadResString(2000)).arg(channel));
    button->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    button->setFixedSize(button->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 16, 20);
    return button;
}

QFrame *SeparatorLine(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameStyle(QFrame::HLine | QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    line->setFixedHeight(1);
    return line;
}
