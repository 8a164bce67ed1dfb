#include "editors/EditorWindow.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Swallows the user's input to one window, and its closing, while that window's command talks.
// Other windows (the port dialog, message boxes) stay usable.
class InputBlock : public QObject
{
public:
    explicit InputBlock(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    ~InputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType() || !m_window)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->window() != m_window)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
            return true;
        case QEvent::Close:
            // The window frame's close button; the command's own close() goes through.
            if (widget == m_window.data() && event->spontaneous()) {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

EditorWindow::EditorWindow(const QString &objectName, int titleResource)
    : QDialog(Forms::ifLoaded<frmMain>())
{
    setObjectName(objectName);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    SetTag(this, titleResource);
}

void EditorWindow::PlaceOnMain()
{
    const QWidget *main = Forms::ifLoaded<frmMain>();
    if (!main)
        return;
    move(main->pos() + QPoint(TwipsToPixels(90, main), TwipsToPixels(1800, main)));
}

QPushButton *EditorWindow::AddButton(const char *name, const char *caption, QWidget *parent)
{
    auto *button = new QPushButton(QLatin1String(caption), parent ? parent : this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QLabel *EditorWindow::AddLabel(const char *name, const char *caption, int tag, QWidget *parent)
{
    auto *label = new QLabel(QLatin1String(caption), parent ? parent : this);
    label->setObjectName(QLatin1String(name));
    if (tag != 0)
        SetTag(label, tag);
    return label;
}

QFrame *EditorWindow::LayOutSetting(QLabel *heading, QWidget *control, QWidget *unit,
                                    QPushButton *download, QPushButton *exit)
{
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame3"));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(control, 1, 0);
    if (unit)
        grid->addWidget(unit, 1, 1);
    grid->setColumnStretch(unit ? 2 : 1, 1);
    grid->setContentsMargins(14, 10, 14, 14);
    // Wide enough for the window's title beside the frame's buttons.
    frame->setMinimumWidth(TwipsToPixels(3900, this));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(download);
    buttons->addWidget(exit);
    auto *page = new QVBoxLayout(this);
    page->addWidget(frame);
    page->addLayout(buttons);
    page->setSizeConstraint(QLayout::SetFixedSize);
    return frame;
}

EditorCommand::EditorCommand(EditorWindow &window) : m_window(&window)
{
    if (!m_command)
        return;
    ++window.m_talking;
    m_inputBlock = std::make_unique<InputBlock>(&window);
}

EditorCommand::~EditorCommand()
{
    m_inputBlock.reset();
    if (m_command && m_window)
        --m_window->m_talking;
}

bool ModuleFree()
{
    ModuleCommand probe; // tells the user when the module is busy
    return bool(probe);
}

bool OpenLink()
{
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    return G.LinkUp;
}

bool IsModuleText(const QString &text)
{
    return IsPlainText(text) && !text.contains(QLatin1Char('"'));
}

void RefuseFieldText(const QString &field, const QString &text)
{
    MsgBox(LoadResString(4100).arg(field, VisibleText(text)), MsgIcon::Exclamation, field);
}

double TextValue(const QString &text)
{
    return MeasuredValue(ToDecimalPoint(text));
}

QString OneDecimalText(double value)
{
    if (!std::isfinite(value * 10.0))
        value = 0.0;
    const double rounded = std::round(value * 10.0) / 10.0;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 1);
}
