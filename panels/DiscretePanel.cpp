#include "panels/DiscretePanel.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/PanelParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The 32 points stand in two columns of 16; each point takes these grid columns.
constexpr int PointsPerColumn = 16;
constexpr int ColumnsPerPoint = 4; // number, state, output button, gap

void disableSaveButtons(frmMain &main)
{
    main.button(QStringLiteral("Save"))->setEnabled(false);
    main.button(QStringLiteral("SaveAs"))->setEnabled(false);
}

} // namespace

// ---- frmF9, frmE4 ----

DiscretePanel::DiscretePanel(const QString &objectName, int titleNumber, bool outputs)
    : Panel(objectName)
{
    lblTitle =
        CaptionLabel(this, QStringLiteral("lblTitle"),
                     outputs ? QStringLiteral("Output Contacts") : QStringLiteral("Input Contacts"),
                     titleNumber);
    QFont headingFont = lblTitle->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.2);
    lblTitle->setFont(headingFont);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (int p = 1; p <= Points; ++p) {
        const auto i = std::size_t(p);
        const int row = (p - 1) % PointsPerColumn;
        const int column = (p - 1) / PointsPerColumn * ColumnsPerPoint;
        m_lblNo[i] = CaptionLabel(Frame1, ArrayName("lblNo", p), QStringLiteral("%1:").arg(p));
        m_lblNo[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_label1[i] = ValueLabel(Frame1, ArrayName("Label1", p), ValueStyle::Text, 4);
        m_label1[i]->setAlignment(Qt::AlignCenter);
        // The state is read out with the point it belongs to.
        m_label1[i]->setAccessibleDescription(LoadResString(outputs ? 4001 : 4002).arg(p));
        grid->addWidget(m_lblNo[i], row, column);
        grid->addWidget(m_label1[i], row, column + 1);
        if (outputs) {
            m_cmdOut[i] = new QPushButton(Frame1);
            m_cmdOut[i]->setObjectName(ArrayName("cmdOut", p));
            m_cmdOut[i]->setAccessibleName(LoadResString(4001).arg(p)); // it has no caption
            m_cmdOut[i]->setFixedSize(28, 18);
            grid->addWidget(m_cmdOut[i], row, column + 2);
        }
    }
    grid->setColumnMinimumWidth(ColumnsPerPoint - 1, 24);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addWidget(lblTitle);
    auto *framed = new QHBoxLayout;
    framed->addWidget(Frame1);
    framed->addStretch(1);
    page->addLayout(framed);
}

void DiscretePanel::showPanel(const QString &kindCode)
{
    frmMain &main = Forms::get<frmMain>();
    SetMenuStates(main, {{&frmMain::mnuConfigCJM, false},
                         {&frmMain::mnuConfigCount, false},
                         {&frmMain::mnuAdjZeroSpan, false},
                         {&frmMain::mnuAdjComp, false},
                         {&frmMain::mnuFileSave, false},
                         {&frmMain::mnuFileSaveAs, false},
                         {&frmMain::mnuConfigFilter, false},
                         {&frmMain::mnuConfigLineNoise, false},
                         {&frmMain::mnuConfigBurnout, false},
                         {&frmMain::mnuAlarm, false}});
    disableSaveButtons(main);
    ShowOnly(*this);
    main.lblData(0)->setText(kindCode);
}

frmF9::frmF9() : DiscretePanel(QStringLiteral("frmF9"), 2031, false)
{
    cmdCntPre = new QPushButton(QStringLiteral("Count Data"), this);
    cmdCntPre->setObjectName(QStringLiteral("cmdCntPre"));
    SetTag(cmdCntPre, 2045);
    connect(cmdCntPre, &QPushButton::clicked, this, &frmF9::cmdCntPre_Click);
    auto *row = new QHBoxLayout;
    row->addWidget(cmdCntPre);
    row->addStretch(1);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    static_cast<QVBoxLayout *>(layout())->addStretch(1);

    // Load
    ApplyResCaptions(this);
    for (int p = 1; p <= Points; ++p)
        Label1(p)->clear();
}

void frmF9::cmdCntPre_Click()
{
    // The count presets open here: Forms::get<frmCntPreset>().CntPreset();
}

frmE4::frmE4() : DiscretePanel(QStringLiteral("frmE4"), 2032, true)
{
    static_cast<QVBoxLayout *>(layout())->addStretch(1);
    for (int p = 1; p <= Points; ++p) {
        connect(cmdOut(p), &QPushButton::clicked, this, [this, p] { cmdOut_Click(p); });
        // Only the monitoring loop switches outputs, so the buttons wait for it.
        cmdOut(p)->setEnabled(false);
    }

    // Load
    ApplyResCaptions(this);
    for (int p = 1; p <= Points; ++p)
        Label1(p)->clear();
}

void frmE4::cmdOut_Click(int index)
{
    G.PendingOutput = int16_t(index);
}

void frmE4::DiscreteDown()
{
    const int output = G.PendingOutput;
    if (output < 1 || output > Points)
        return;
    // The module is told the opposite of what the point shows; an empty point is switched off.
    const int state = Label1(output)->text() == QLatin1String("OFF") ? 1 : 0;
    const QString text = NN(output) + QString::number(state);
    QString reply;
    const bool confirmed = ParameterWrite(7, text, reply) && WholeNumber(reply) == state;
    // The press is carried out once, switched or not; a press that came while the write waited
    // for its reply is the next one to switch. After a failure the point shows the module's real
    // state at its next read, and the user may press again.
    if (G.PendingOutput == output)
        G.PendingOutput = 0;
    if (confirmed)
        return;
    MsgBox(LoadResString(3003) + QStringLiteral("\r\n") + QStringLiteral("Out= ") + text +
               QStringLiteral("\r") + QStringLiteral(" In= ") + VisibleText(reply),
           MsgIcon::Critical, QStringLiteral("Descrete Down"));
}

// ---- frmL7 ----

namespace {

struct L7Heading
{
    int i;
    const char *upper;
    const char *lower;
    int tagUpper, tagLower;
};

// Only the channel column's heading comes from the string table.
constexpr L7Heading L7Headings[] = {
    {0, "Ch.", "No.", 2100, 2105}, {1, "Discrete", "Input", 0, 0}, {2, "Discrete", "Output", 0, 0},
    {3, "32bit", "Count", 0, 0},   {4, "Count", "Preset", 0, 0},   {6, "Count", "Rate", 0, 0},
};

} // namespace

frmL7::frmL7() : Panel(QStringLiteral("frmL7"))
{
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    int column = 0;
    for (const L7Heading &h : L7Headings) {
        const auto i = std::size_t(h.i);
        m_lblTitle1[i] =
            HeadingLabel(Frame1, ArrayName("lblTitle1", h.i), QLatin1String(h.upper), h.tagUpper);
        m_lblTitle2[i] =
            HeadingLabel(Frame1, ArrayName("lblTitle2", h.i), QLatin1String(h.lower), h.tagLower);
        grid->addWidget(m_lblTitle1[i], 0, column);
        grid->addWidget(m_lblTitle2[i], 1, column);
        ++column;
    }

    for (int ch = 1; ch <= Channels; ++ch) {
        const auto c = std::size_t(ch);
        const int row = 2 + 2 * (ch - 1);
        grid->addWidget(SeparatorLine(Frame1, ArrayName("linSep", ch)), row, 0, 1, column);
        m_cmdCh[c] = ChannelButton(Frame1, ArrayName("cmdCh", ch), ch);
        connect(m_cmdCh[c], &QPushButton::clicked, this, [this, ch] { cmdCh_Click(ch); });
        m_lblDI[c] = ValueLabel(Frame1, ArrayName("lblDI", ch), ValueStyle::Text, 4);
        m_lblDO[c] = ValueLabel(Frame1, ArrayName("lblDO", ch), ValueStyle::Text, 4);
        m_lbl32bit[c] = ValueLabel(Frame1, ArrayName("lbl32bit", ch), ValueStyle::Number, 11);
        m_lblPreset[c] = ValueLabel(Frame1, ArrayName("lblPreset", ch), ValueStyle::Number, 11);
        m_lblRate[c] = ValueLabel(Frame1, ArrayName("lblRate", ch), ValueStyle::Number, 8);
        m_lblDI[c]->setAlignment(Qt::AlignCenter);
        m_lblDO[c]->setAlignment(Qt::AlignCenter);
        QWidget *const cells[] = {m_cmdCh[c],    m_lblDI[c],     m_lblDO[c],
                                  m_lbl32bit[c], m_lblPreset[c], m_lblRate[c]};
        for (int col = 0; col < column; ++col)
            grid->addWidget(cells[col], row + 1, col);
    }

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    auto *framed = new QHBoxLayout;
    framed->addWidget(Frame1);
    framed->addStretch(1);
    page->addLayout(framed);
    page->addStretch(1);

    // Load
    ApplyResCaptions(this);
    for (int ch = 1; ch <= Channels; ++ch) {
        for (QLabel *label : {lblDI(ch), lblDO(ch), lbl32bit(ch), lblPreset(ch), lblRate(ch)})
            label->clear();
    }
}

void frmL7::L7()
{
    frmMain &main = Forms::get<frmMain>();
    SetMenuStates(main, {{&frmMain::mnuConfigCJM, false},
                         {&frmMain::mnuConfigCount, true},
                         {&frmMain::mnuAdjustment, false},
                         {&frmMain::mnuFileSave, false},
                         {&frmMain::mnuFileSaveAs, false},
                         {&frmMain::mnuConfigFilter, false},
                         {&frmMain::mnuConfigLineNoise, false},
                         {&frmMain::mnuConfigBurnout, false},
                         {&frmMain::mnuAlarm, false}});
    disableSaveButtons(main);
    ShowOnly(*this);
    main.lblData(0)->setText(QStringLiteral("L7"));
    if (G.PanelReload) {
        for (int ch = 1; ch <= Channels; ++ch) {
            // A mode with no name (only from a file) shows empty; the stored mode is kept.
            lblDO(ch)->setText(OutputModeCaption(G.ChDoMode[std::size_t(ch)]));
            lblPreset(ch)->setText(G.ChPreset[std::size_t(ch)]);
        }
    }
    G.PanelReload = false;
}

void frmL7::cmdCh_Click(int index)
{
    G.SelChannel = int16_t(index);
    // The counter editor of this channel opens here: Forms::get<frmCount>().CountSet();
}
