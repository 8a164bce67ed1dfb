#include "app/frmMain.h"

#include "adjust/frmSetComp.h"
#include "adjust/frmZeroSpan.h"
#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Modal.h"
#include "app/Resources.h"
#include "app/Twips.h"
#include "app/frmAbout.h"
#include "app/frmCommLog.h"
#include "connection/ReconnectStrip.h"
#include "connection/frmLoading.h"
#include "editors/frmAlarm.h"
#include "editors/frmBurnout.h"
#include "editors/frmCJM.h"
#include "editors/frmLineNoise.h"
#include "editors/frmTimeCon.h"
#include "files/Files.h"
#include "files/Transfer.h"
#include "link/CommLog.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/PanelOfKind.h"
#include "settings/CounterSettings.h"
#include "settings/ModbusSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr const char *KeyProperty = "key";

// The picture of the status strip: a module on its rail, drawn here.
QPixmap modulePicture()
{
    QPixmap picture(120, 96);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(4, 40, 112, 14); // rail
    QPainterPath body;
    body.addRoundedRect(QRectF(24, 6, 72, 84), 6, 6);
    p.setBrush(QColor(232, 234, 237));
    p.drawPath(body);
    p.setBrush(QColor(48, 70, 110));
    p.drawRect(30, 14, 60, 16); // name plate
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(36, 40), 3.5, 3.5); // run lamp
    p.setBrush(QColor(230, 160, 0));
    p.drawEllipse(QPointF(48, 40), 3.5, 3.5);
    p.setBrush(QColor(80, 80, 80));
    for (int i = 0; i < 6; ++i) { // terminals
        p.drawEllipse(QPointF(33 + i * 11, 62), 3.5, 3.5);
        p.drawEllipse(QPointF(33 + i * 11, 78), 3.5, 3.5);
    }
    return picture;
}

} // namespace

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppTitleText);
    buildMenus();
    buildToolbar();
    buildStatusStrip();
    buildKeyboardAccess();

    // Load
    ApplyResCaptions(this);
    nameToolbarButtons();
    // The hint names the two menus as the menu bar shows them.
    lblHint->setText(LoadResString(4000).arg(mnuConn->text(), mnuModel->text()));
    resize(TwipsToPixels(12000, this), TwipsToPixels(8600, this));
    picCommon->setFixedWidth(TwipsToPixels(3000, this));
    InitData();
    CommLog::Instance().setRecording(true); // from the start, so that it shows what went wrong
    Timer1().stop();
    Timer1().setInterval(ReplyTimeoutMs);
    button(6)->setEnabled(false);
    mnuConfigCJM->setEnabled(false);
    mnuConfigCount->setEnabled(false);
    mnuAlarm->setEnabled(false);

    mnuConfig->setEnabled(true);
    mnuMonitor->setEnabled(false);
    mnuAdjustment->setEnabled(false);
    mnuConnConn->setEnabled(true);
    mnuConnDisConn->setEnabled(false);
    for (int position : {4, 5, 8, 9})
        button(position)->setEnabled(false);
}

frmMain::~frmMain()
{
    unloadOthers();
    if (G.CommForm == this)
        G.CommForm = nullptr;
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto addMenu = [bar](const QString &name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        return menu;
    };
    auto addItem = [this](QMenu *menu, const QString &name, const QString &caption,
                          void (frmMain::*handler)() = nullptr) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto addBar = [](QMenu *menu, const QString &name) {
        QAction *separator = menu->addSeparator();
        separator->setObjectName(name);
        return separator;
    };

    QMenu *file = addMenu(QStringLiteral("mnuFile"), QStringLiteral("1000"));
    mnuFile = file->menuAction();
    mnuFileOpen = addItem(file, QStringLiteral("mnuFileOpen"), QStringLiteral("1002"));
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(mnuFileOpen, &QAction::triggered, this, [] { FileOpen(); });
    mnuFileSave = addItem(file, QStringLiteral("mnuFileSave"), QStringLiteral("1004"));
    connect(mnuFileSave, &QAction::triggered, this, [] { FileSave(); });
    mnuFileSaveAs = addItem(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("1005"));
    connect(mnuFileSaveAs, &QAction::triggered, this, [] { FileSaveAs(); });
    mnuFileBar0 = addBar(file, QStringLiteral("mnuFileBar0"));
    mnuFileExit = addItem(file, QStringLiteral("mnuFileExit"), QStringLiteral("1012"),
                          &frmMain::mnuFileExit_Click);

    QMenu *conn = addMenu(QStringLiteral("mnuConn"), QStringLiteral("1010"));
    mnuConn = conn->menuAction();
    mnuConnConn = addItem(conn, QStringLiteral("mnuConnConn"), QStringLiteral("1010"),
                          &frmMain::mnuConnConn_Click);
    mnuConnDisConn = addItem(conn, QStringLiteral("mnuConnDisConn"), QStringLiteral("1011"),
                             &frmMain::mnuConnDisConn_Click);

    QMenu *model = addMenu(QStringLiteral("mnuModel"), QStringLiteral("1037"));
    mnuModel = model->menuAction();
    const char *modelCaptions[] = {"", "UT5", "K6", "UT8"};
    for (int i = 1; i <= 3; ++i) {
        m_model[std::size_t(i)] = model->addAction(QString::fromLatin1(modelCaptions[i]));
        m_model[std::size_t(i)]->setObjectName(QStringLiteral("mnuModelModel_%1").arg(i));
        connect(m_model[std::size_t(i)], &QAction::triggered, this,
                [this, i] { mnuModelModel_Click(i); });
    }

    QMenu *config = addMenu(QStringLiteral("mnuConfig"), QStringLiteral("1045"));
    mnuConfig = config->menuAction();
    mnuConfigModBus = addItem(config, QStringLiteral("mnuConfigModBus"), QStringLiteral("1036"),
                              &frmMain::mnuConfigModBus_Click);
    mnuConfigBar0 = addBar(config, QStringLiteral("mnuConfigBar0"));
    mnuConfigBurnout = addItem(config, QStringLiteral("mnuConfigBurnout"), QStringLiteral("2036"));
    mnuConfigFilter = addItem(config, QStringLiteral("mnuConfigFilter"), QStringLiteral("2048"));
    mnuConfigLineNoise =
        addItem(config, QStringLiteral("mnuConfigLineNoise"), QStringLiteral("2049"));
    mnuConfigCJM = addItem(config, QStringLiteral("mnuConfigCJM"), QStringLiteral("1040"));
    connect(mnuConfigBurnout, &QAction::triggered, this, [] { frmBurnout::BurnoutSet(); });
    connect(mnuConfigFilter, &QAction::triggered, this, [] { frmTimeCon::FilterSet(); });
    connect(mnuConfigLineNoise, &QAction::triggered, this, [] { frmLineNoise::LineNoiseSet(); });
    connect(mnuConfigCJM, &QAction::triggered, this, [] { frmCJM::CJM(); });
    mnuConfigBar2 = addBar(config, QStringLiteral("mnuConfigBar2"));
    mnuConfigCount = addItem(config, QStringLiteral("mnuConfigCount"), QStringLiteral("1048"),
                             &frmMain::mnuConfigCount_Click);
    mnuConfigBar1 = addBar(config, QStringLiteral("mnuConfigBar1"));
    mnuConfigUpload = addItem(config, QStringLiteral("mnuConfigUpload"), QStringLiteral("2027"));
    connect(mnuConfigUpload, &QAction::triggered, this, [] { ConfigUpload(); });
    mnuConfigDownload =
        addItem(config, QStringLiteral("mnuConfigDownload"), QStringLiteral("2028"));
    connect(mnuConfigDownload, &QAction::triggered, this, [] { ConfigDownload(); });

    m_monitorMenu = addMenu(QStringLiteral("mnuMonitor"), QStringLiteral("1042"));
    mnuMonitor = m_monitorMenu->menuAction();
    connect(m_monitorMenu, &QMenu::aboutToShow, this, &frmMain::mnuMonitor_Click);
    mnuMonitorStart = addItem(m_monitorMenu, QStringLiteral("mnuMonitorStart"),
                              QStringLiteral("1043"), &frmMain::mnuMonitorStart_Click);
    mnuMonitorStop = addItem(m_monitorMenu, QStringLiteral("mnuMonitorStop"),
                             QStringLiteral("1044"), &frmMain::mnuMonitorStop_Click);

    QMenu *adjust = addMenu(QStringLiteral("mnuAdjustment"), QStringLiteral("1046"));
    mnuAdjustment = adjust->menuAction();
    mnuAdjZeroSpan = addItem(adjust, QStringLiteral("mnuAdjZeroSpan"), QStringLiteral("1047"),
                             &frmMain::mnuAdjZeroSpan_Click);
    mnuAdjComp = addItem(adjust, QStringLiteral("mnuAdjComp"), QStringLiteral("1041"),
                         &frmMain::mnuAdjComp_Click);

    QMenu *alarm = addMenu(QStringLiteral("mnuAlarm"), QStringLiteral("2112"));
    mnuAlarm = alarm->menuAction();
    mnuAlarmOutput = addItem(alarm, QStringLiteral("mnuAlarmOutput"), QStringLiteral("2113"));
    connect(mnuAlarmOutput, &QAction::triggered, this, [] { frmAlarm::AlarmSet(); });

    mnuSpace1 = bar->addAction(QString());
    mnuSpace1->setObjectName(QStringLiteral("mnuSpace1"));
    mnuSpace1->setEnabled(false); // a gap before Help, nothing to choose

    QMenu *help = addMenu(QStringLiteral("mnuHelp"), QStringLiteral("1013"));
    mnuHelp = help->menuAction();
    mnuHelpIndex = addItem(help, QStringLiteral("mnuHelpIndex"), QStringLiteral("1014"),
                           &frmMain::NotSupported);
    QMenu *contents = help->addMenu(QStringLiteral("1015"));
    mnuHelpContents = contents->menuAction();
    mnuHelpContents->setObjectName(QStringLiteral("mnuHelpContents"));
    mnuHelpContentsEnglish = addItem(contents, QStringLiteral("mnuHelpContentsEnglish"),
                                     QStringLiteral("English"), &frmMain::NotSupported);
    mnuHelpContentsJapanese = addItem(contents, QStringLiteral("mnuHelpContentsJapanese"),
                                      QStringLiteral("Japanese"), &frmMain::NotSupported);
    mnuHelpBar0 = addBar(help, QStringLiteral("mnuHelpBar0"));
    mnuHelpAbout = addItem(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("1016"),
                           &frmMain::mnuHelpAbout_Click);
}

void frmMain::buildToolbar()
{
    tbToolbar = addToolBar(QStringLiteral("Toolbar"));
    tbToolbar->setObjectName(QStringLiteral("tbToolbar"));
    tbToolbar->setMovable(false);
    tbToolbar->setIconSize(QSize(20, 20));

    struct ButtonDesign
    {
        const char *key;
        int tooltip;
        QStyle::StandardPixmap picture;
    };
    const ButtonDesign designs[ButtonCount + 1] = {
        {},
        {"Open", 1018, QStyle::SP_DialogOpenButton},
        {"Save", 1019, QStyle::SP_DialogSaveButton},
        {"SaveAs", 1017, QStyle::SP_DriveFDIcon},
        {nullptr, 0, {}},
        {"MonitorStart", 1043, QStyle::SP_MediaPlay},
        {"MonitorStop", 1044, QStyle::SP_MediaStop},
        {nullptr, 0, {}},
        {"ConfigUpload", 2027, QStyle::SP_ArrowUp},
        {"ConfigDownload", 2028, QStyle::SP_ArrowDown},
        {nullptr, 0, {}},
        {"HelpContent", 1020, QStyle::SP_MessageBoxQuestion},
    };
    for (int position = 1; position <= ButtonCount; ++position) {
        const ButtonDesign &design = designs[position];
        QAction *action = nullptr;
        if (!design.key) {
            action = tbToolbar->addSeparator();
            action->setObjectName(QStringLiteral("tbSeparator_%1").arg(position));
        } else {
            const QString key = QString::fromLatin1(design.key);
            action = tbToolbar->addAction(style()->standardIcon(design.picture), key);
            action->setObjectName(QStringLiteral("tb") + key);
            action->setProperty(KeyProperty, key);
            action->setToolTip(QString::number(design.tooltip));
            connect(action, &QAction::triggered, this,
                    [this, action] { tbToolbar_ButtonClick(action); });
        }
        m_buttons[std::size_t(position)] = action;
    }
    // Not one of the eleven: no command state takes it away, so it works while monitoring.
    tbToolbar->addSeparator()->setObjectName(QStringLiteral("tbSeparator_CommLog"));
    tbCommLog = tbToolbar->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                     LoadResString(4650));
    tbCommLog->setObjectName(QStringLiteral("tbCommLog"));
    tbCommLog->setToolTip(LoadResString(4651));
    tbCommLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(tbCommLog, &QAction::triggered, this, [this] { frmCommLog::Open(*this); });
    if (QWidget *widget = tbToolbar->widgetForAction(tbCommLog))
        widget->setAccessibleName(tbCommLog->text());
}

void frmMain::buildStatusStrip()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("mdiClient"));
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    picCommon = new QWidget(central);
    picCommon->setObjectName(QStringLiteral("picCommon"));
    picCommon->setAutoFillBackground(true);
    auto *strip = new QVBoxLayout(picCommon);
    strip->setContentsMargins(10, 12, 10, 12);

    Label2 = new QLabel(QStringLiteral("TANVERO CO.,LTD"), picCommon);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    QFont company = Label2->font();
    company.setBold(true);
    Label2->setFont(company);
    strip->addWidget(Label2);

    Image1 = new QLabel(picCommon);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(modulePicture());
    Image1->setAlignment(Qt::AlignCenter);
    strip->addWidget(Image1);

    m_lblData[0] = new QLabel(picCommon);
    m_lblData[0]->setObjectName(QStringLiteral("lblData_0"));
    m_lblData[0]->setAlignment(Qt::AlignCenter);
    QFont kindFont = m_lblData[0]->font();
    kindFont.setPointSizeF(kindFont.pointSizeF() * 1.8);
    kindFont.setBold(true);
    m_lblData[0]->setFont(kindFont);
    strip->addWidget(m_lblData[0]);

    auto *table = new QGridLayout;
    table->setVerticalSpacing(2);
    for (int rowIndex = 1; rowIndex <= 6; ++rowIndex) {
        m_lblTitle[std::size_t(rowIndex)] = new QLabel(picCommon);
        m_lblTitle[std::size_t(rowIndex)]->setObjectName(QStringLiteral("lblTitle_%1").arg(rowIndex));
        QFont small = m_lblTitle[std::size_t(rowIndex)]->font();
        small.setPointSizeF(small.pointSizeF() * 0.9);
        m_lblTitle[std::size_t(rowIndex)]->setFont(small);
        m_lblData[std::size_t(rowIndex)] = new QLabel(picCommon);
        m_lblData[std::size_t(rowIndex)]->setObjectName(QStringLiteral("lblData_%1").arg(rowIndex));
        m_lblData[std::size_t(rowIndex)]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_lblData[std::size_t(rowIndex)]->setIndent(12);
        table->addWidget(m_lblTitle[std::size_t(rowIndex)], rowIndex * 2 - 2, 0);
        table->addWidget(m_lblData[std::size_t(rowIndex)], rowIndex * 2 - 1, 0);
    }
    strip->addLayout(table);
    strip->addStretch(1);

    lblNotice = new QLabel(picCommon);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    lblNotice->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    strip->addWidget(lblNotice);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, lblNotice, &QLabel::clear);
    reconnectStrip = new ReconnectStrip(picCommon);
    connect(reconnectStrip->cmdReconnect, &QPushButton::clicked, this, &frmMain::mnuConnConn_Click);
    strip->addWidget(reconnectStrip);
    row->addWidget(picCommon);

    m_childArea = new QWidget(central);
    m_childArea->setObjectName(QStringLiteral("childArea"));
    m_childArea->setBackgroundRole(QPalette::Dark);
    m_childArea->setAutoFillBackground(true);
    lblHint = new QLabel(m_childArea);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
    // A card in the window's own colours, readable on the dark area whatever the desktop's theme.
    lblHint->setAutoFillBackground(true);
    lblHint->setBackgroundRole(QPalette::Window);
    lblHint->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    lblHint->setMargin(12);
    QFont hintFont = lblHint->font();
    hintFont.setPointSizeF(hintFont.pointSizeF() * 1.2);
    lblHint->setFont(hintFont);
    // Panels are placed by ShowOnly; the layout holds only the hint.
    auto *hintLayout = new QVBoxLayout(m_childArea);
    hintLayout->setContentsMargins(24, 24, 24, 24);
    hintLayout->addWidget(lblHint);
    hintLayout->addStretch(1);
    row->addWidget(m_childArea, 1);
    setCentralWidget(central);
}

void frmMain::buildKeyboardAccess()
{
    // F10 opens the menu bar, as on other desktops; the arrow keys go on from there.
    auto *menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menus, &QShortcut::activated, this, [this] {
        for (QAction *menu : menuBar()->actions()) {
            if (menu->isEnabled() && menu->menu()) {
                menuBar()->setActiveAction(menu);
                return;
            }
        }
    });
    // The one toolbar command no menu carries.
    button(QStringLiteral("HelpContent"))->setShortcut(QKeySequence::HelpContents);
}

// A toolbar button is announced by its tooltip, in the user's language, not by its key.
void frmMain::nameToolbarButtons()
{
    for (int position = 1; position <= ButtonCount; ++position) {
        QAction *action = button(position);
        if (QWidget *widget = tbToolbar->widgetForAction(action); widget && !action->isSeparator())
            widget->setAccessibleName(action->toolTip());
    }
}

QAction *frmMain::button(const QString &key) const
{
    for (QAction *action : m_buttons) {
        if (action && action->property(KeyProperty).toString() == key)
            return action;
    }
    return nullptr;
}

void frmMain::setButtonsEnabled(bool enabled)
{
    for (int position = 1; position <= ButtonCount; ++position)
        button(position)->setEnabled(enabled);
}

void frmMain::ShowNotice(const QString &text, int ms)
{
    lblNotice->setText(text);
    if (ms > 0)
        m_noticeTimer->start(ms);
    else
        m_noticeTimer->stop();
}

void SetMenuStates(frmMain &main, std::initializer_list<MenuState> states)
{
    for (const MenuState &state : states)
        (main.*state.menu)->setEnabled(state.enabled);
}

void ShowOnly(QWidget &window)
{
    const auto loaded = Forms::loaded();
    for (std::size_t i = loaded.size(); i-- > 1;) {
        if (loaded[i] != &window)
            loaded[i]->hide();
    }
    QWidget *reference = window.parentWidget() ? window.parentWidget() : &window;
    if (frmMain *main = Forms::ifLoaded<frmMain>(); main && reference == main->childArea())
        main->lblHint->hide();
    window.setGeometry(TwipsToPixels(-30, reference), TwipsToPixels(-50, reference),
                       TwipsToPixels(8850, reference), TwipsToPixels(7880, reference));
    window.show();
    window.raise();
}

// ---- commands ----

void frmMain::mnuFileExit_Click()
{
    if (ModuleCommand::Running()) {
        // The command talking to the module ends quietly first.
        ModuleCommand::Cancel([this] { mnuFileExit_Click(); });
        return;
    }
    if (MSComm1().isOpen())
        MSComm1().close();
    // An open configuration file is closed by the file commands' own owner once they exist.
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (ModuleCommand::Running()) {
        // A command is waiting for the module: it ends quietly first, then the window closes.
        // No code of that command runs on after its windows are gone.
        event->ignore();
        ModuleCommand::Cancel([this] { QTimer::singleShot(0, this, &QWidget::close); });
        return;
    }
    unloadOthers();
    event->accept(); // the last window closes: the program ends
}

void frmMain::unloadOthers()
{
    for (;;) {
        const auto loaded = Forms::loaded();
        QWidget *last = nullptr;
        for (std::size_t i = loaded.size(); i-- > 0;) {
            if (loaded[i] != this) {
                last = loaded[i];
                break;
            }
        }
        if (!last)
            return;
        Forms::unload(last);
    }
}

void frmMain::mnuConnConn_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    G.MonitorHold = true;
    Timer1().stop();
    frmLoading::Connecting();
}

void frmMain::mnuConnDisConn_Click()
{
    if (ModuleCommand::Running()) {
        // Disconnect while Connect still reads: Connect ends quietly, then the link closes.
        ModuleCommand::Cancel([this] { mnuConnDisConn_Click(); });
        return;
    }
    frmLoading::DisConnecting();
    for (int row = 1; row <= 6; ++row) {
        lblTitle(row)->clear();
        lblData(row)->clear();
    }
    const int kind = G.curKind();
    if (AnalogPanel *panel = AnalogPanelOfKind(kind)) {
        for (int ch = 1; ch <= panel->channels(); ++ch) {
            for (QLabel *label : {panel->lblReal(ch), panel->lblUnit1(ch), panel->lblRaw(ch),
                                  panel->lblUnit2(ch)})
                label->clear();
        }
    } else if (kind != KindE4 && kind != KindF9 && kind != KindL7) {
        MsgBox(QStringLiteral("No Model"), MsgIcon::None, QStringLiteral("Type set"));
    }
}

void frmMain::mnuModelModel_Click(int index)
{
    static constexpr int16_t Kinds[] = {KindNone, KindUt5, KindK6, KindUt8};
    if (index < 1 || index > 3)
        return;
    const int16_t kind = Kinds[index];
    G.CurModelKind = kind;
    // Only the chosen analog panel stays loaded.
    if (kind != KindUt5)
        Forms::unload<frmUt5>();
    if (kind != KindK6)
        Forms::unload<frmK6>();
    if (kind != KindUt8)
        Forms::unload<frmUt8>();
    ShowPanelOfKind(kind);
}

void frmMain::mnuConfigModBus_Click()
{
    if (G.curKind() == KindUt8)
        Forms::get<frmModSetUt8>().ModSet();
    else
        Forms::get<frmModSet>().ModSet();
}

void frmMain::mnuConfigCount_Click()
{
    Forms::get<frmCountSet>().CountSet();
}

void frmMain::mnuMonitor_Click()
{
    G.MonitorHold = true;
    Timer1().stop();
}

void frmMain::mnuMonitorStart_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    G.MonitorHold = false;
    Timer1().start();
    frmLoading::Starting();
    frmLoading::Monitoring();
    frmLoading::Stopping();
}

void frmMain::mnuMonitorStop_Click()
{
    G.MonitorHold = false;
    Timer1().start();
    if (G.MonitorOn)
        G.MonitorOn = false;
    else if (frmLoading::StartRunning())
        frmLoading::RequestStop(); // Start still opens the link; its command runs Stopping
    else
        frmLoading::Stopping();
}

void frmMain::mnuAdjZeroSpan_Click()
{
    Forms::get<frmZeroSpan>().ZeroSpan();
    Forms::unload<frmZeroSpan>();
}

void frmMain::mnuAdjComp_Click()
{
    Forms::get<frmSetComp>().SetComp();
    Forms::unload<frmSetComp>();
}

void frmMain::mnuHelpAbout_Click()
{
    ShowModal(Forms::get<frmAbout>());
    Forms::unload<frmAbout>();
}

void frmMain::NotSupported()
{
    MsgBox(QStringLiteral("Not supported."), MsgIcon::Information, windowTitle());
}

void frmMain::tbToolbar_ButtonClick(QAction *button)
{
    const QString key = button->property(KeyProperty).toString();
    if (key == QLatin1String("MonitorStart")) {
        mnuMonitorStart_Click();
    } else if (key == QLatin1String("MonitorStop")) {
        mnuMonitorStop_Click();
    } else if (key == QLatin1String("ConfigUpload")) {
        this->button(8)->setEnabled(false);
        ConfigUpload();
        this->button(8)->setEnabled(true);
    } else if (key == QLatin1String("ConfigDownload")) {
        ConfigDownload();
    } else if (key == QLatin1String("Open")) {
        FileOpen();
    } else if (key == QLatin1String("Save")) {
        FileSave();
    } else if (key == QLatin1String("SaveAs")) {
        FileSaveAs();
    } else if (key == QLatin1String("HelpContent")) {
        NotSupported();
    }
}
