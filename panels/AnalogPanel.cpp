#include "panels/AnalogPanel.h"

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "editors/frmType.h"
#include "model/Catalogue.h"
#include "model/Globals.h"
#include "panels/Lamp.h"
#include "panels/PanelParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Grid columns, left to right in the order of the headings.
enum Column
{
    ColCh,
    ColType,
    ColReal,
    ColUnit1,
    ColRaw,
    ColUnit2,
    ColCjc,
    ColStatus
};

struct HeadingDesign
{
    int i; // index in lblTitle1 / lblTitle2
    const char *upper;
    int upperTag;
    const char *lower;
    int lowerTag;
    Column column;
    int span;
};

constexpr HeadingDesign Headings[] = {
    {0, "Ch.", 2100, "No.", 2105, ColCh, 1},      {1, "Input", 2101, "Type", 2106, ColType, 1},
    {2, "Input", 2101, "Real", 2107, ColReal, 2}, {3, "Raw", 2102, "Input", 2108, ColRaw, 2},
    {5, "CJC", 2104, "SW", 2110, ColCjc, 1},      {6, nullptr, 0, "Status", 2111, ColStatus, 1},
};

constexpr int HeadingRows = 2;

// How a panel sets one menu: on, off, left alone, or by a condition of the module.
enum class Rule
{
    On,
    Off,
    Same,
    Ut8Option,
    NotVq4
};

struct MenuRule
{
    QAction *frmMain::*menu;
    Rule ut5, ut8, k6;
};

// Set in this order.
constexpr MenuRule MenuRules[] = {
    {&frmMain::mnuConfigCJM, Rule::On, Rule::Off, Rule::Off},
    {&frmMain::mnuConfigCount, Rule::Off, Rule::Off, Rule::Off},
    {&frmMain::mnuAdjZeroSpan, Rule::On, Rule::On, Rule::On},
    {&frmMain::mnuAdjComp, Rule::Off, Rule::Off, Rule::On},
    {&frmMain::mnuConfigModBus, Rule::NotVq4, Rule::On, Rule::Same},
    {&frmMain::mnuConfigFilter, Rule::On, Rule::On, Rule::On},
    {&frmMain::mnuConfigLineNoise, Rule::Off, Rule::Ut8Option, Rule::Off},
    {&frmMain::mnuConfigBurnout, Rule::On, Rule::Ut8Option, Rule::On},
    {&frmMain::mnuAlarm, Rule::Off, Rule::On, Rule::Off},
};

// The VQ4 variant of the UT5 kind has no Modbus settings.
constexpr int Vq4Ut5Model = 7;

} // namespace

AnalogPanel::AnalogPanel(const QString &objectName, int kind, int channels)
    : Panel(objectName), m_kind(kind), m_channels(channels)
{
    const bool hasCjc = kind != KindK6;
    const bool isUt8 = kind == KindUt8;

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    for (const HeadingDesign &h : Headings) {
        if (h.column == ColCjc && !hasCjc)
            continue;
        const auto i = std::size_t(h.i);
        if (h.upper) {
            m_lblTitle1[i] = HeadingLabel(Frame1, ArrayName("lblTitle1", h.i),
                                          QLatin1String(h.upper), h.upperTag);
            grid->addWidget(m_lblTitle1[i], 0, h.column, 1, h.span);
        }
        m_lblTitle2[i] =
            HeadingLabel(Frame1, ArrayName("lblTitle2", h.i), QLatin1String(h.lower), h.lowerTag);
        grid->addWidget(m_lblTitle2[i], 1, h.column, 1, h.span);
    }

    const int lastColumn = hasCjc ? ColStatus : ColCjc;
    for (int ch = 1; ch <= channels; ++ch) {
        const auto c = std::size_t(ch);
        const int row = HeadingRows + 2 * (ch - 1);
        grid->addWidget(SeparatorLine(Frame1, ArrayName("linSep", ch)), row, 0, 1, lastColumn + 1);

        m_cmdCh[c] = ChannelButton(Frame1, ArrayName("cmdCh", ch), ch);
        connect(m_cmdCh[c], &QPushButton::clicked, this, [this, ch] { cmdCh_Click(ch); });
        m_lblType[c] = ValueLabel(Frame1, ArrayName("lblType", ch), ValueStyle::Text, 12);
        m_lblReal[c] = ValueLabel(Frame1, ArrayName("lblReal", ch), ValueStyle::Number, 10);
        m_lblUnit1[c] = ValueLabel(Frame1, ArrayName("lblUnit1", ch), ValueStyle::Unit, 4);
        m_lblRaw[c] = ValueLabel(Frame1, ArrayName("lblRaw", ch), ValueStyle::Number, 10);
        m_lblUnit2[c] = ValueLabel(Frame1, ArrayName("lblUnit2", ch), ValueStyle::Unit, 4);
        m_shpOut[c] = new Lamp(Frame1);
        m_shpOut[c]->setObjectName(ArrayName("shpOut", ch));
        m_shpOut[c]->setAccessibleName(QStringLiteral("%1 %2").arg(LoadResString(2111)).arg(ch));

        grid->addWidget(m_cmdCh[c], row + 1, ColCh);
        grid->addWidget(m_lblType[c], row + 1, ColType);
        grid->addWidget(m_lblReal[c], row + 1, ColReal);
        grid->addWidget(m_lblUnit1[c], row + 1, ColUnit1);
        grid->addWidget(m_lblRaw[c], row + 1, ColRaw);
        grid->addWidget(m_lblUnit2[c], row + 1, ColUnit2);
        if (hasCjc) {
            m_lblCjmSw[c] = ValueLabel(Frame1, ArrayName("lblCjmSw", ch), ValueStyle::Text, 3);
            m_lblCjmSw[c]->setAlignment(Qt::AlignCenter);
            grid->addWidget(m_lblCjmSw[c], row + 1, ColCjc);
        }
        grid->addWidget(m_shpOut[c], row + 1, lastColumn, Qt::AlignCenter);
    }
    grid->setColumnStretch(ColType, 1);

    // Module-level fields, two to a row beneath the grid.
    Label2 = CaptionLabel(this, QStringLiteral("Label2"), QStringLiteral("Discrete Input"), 2035);
    Label4 = CaptionLabel(this, QStringLiteral("Label4"), QStringLiteral("Burnout Type"), 2036);
    Label1 = CaptionLabel(this, QStringLiteral("Label1"), QStringLiteral("Filter Time Const."));
    Label3 = CaptionLabel(this, QStringLiteral("Label3"), QStringLiteral("Sec."));
    lblDiscInput = ValueLabel(this, QStringLiteral("lblDiscInput"), ValueStyle::Text, 4);
    lblBurnout = ValueLabel(this, QStringLiteral("lblBurnout"), ValueStyle::Text, 8);
    lblFilter = ValueLabel(this, QStringLiteral("lblFilter"), ValueStyle::Number, 8);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(lblDiscInput, 0, 1);
    fields->addWidget(Label4, 1, 0);
    fields->addWidget(lblBurnout, 1, 1);
    fields->addWidget(Label1, 2, 0);
    fields->addWidget(lblFilter, 2, 1);
    fields->addWidget(Label3, 2, 2);
    if (isUt8) {
        Label5 = CaptionLabel(this, QStringLiteral("Label5"), QStringLiteral("Alarm Output"), 2113);
        Label7 =
            CaptionLabel(this, QStringLiteral("Label7"), QStringLiteral("Line Noise Filter Type"));
        lblDiscOutput = ValueLabel(this, QStringLiteral("lblDiscOutput"), ValueStyle::Text, 4);
        lblLineNoise = ValueLabel(this, QStringLiteral("lblLineNoise"), ValueStyle::Text, 8);
        fields->addWidget(Label5, 0, 4);
        fields->addWidget(lblDiscOutput, 0, 5);
        fields->addWidget(Label7, 1, 4);
        fields->addWidget(lblLineNoise, 1, 5);
        fields->setColumnMinimumWidth(3, 16);
    }
    fields->setColumnStretch(6, 1);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->addWidget(Frame1);
    page->addLayout(fields);
    page->addStretch(1);

    load();
}

void AnalogPanel::load()
{
    ApplyResCaptions(this);
    for (int ch = 1; ch <= m_channels; ++ch) {
        const auto c = std::size_t(ch);
        for (QLabel *label :
             {lblType(ch), lblReal(ch), lblUnit1(ch), lblRaw(ch), lblUnit2(ch), lblCjmSw(ch)}) {
            if (label)
                label->clear();
        }
        if (m_kind == KindK6) {
            G.ChTypeCode[c] = 48;
            G.ChGroup[c] = 3;
            G.ChSub[c] = 0;
        } else {
            G.ChTypeCode[c] = 0;
            G.ChGroup[c] = 0;
            G.ChSub[c] = 0;
            G.ChCjcSw[c] = 0;
        }
    }
    for (QLabel *label : {lblDiscInput, lblBurnout, lblFilter, lblDiscOutput, lblLineNoise}) {
        if (label)
            label->clear();
    }
    G.BurnoutType = 0;
    if (m_kind == KindUt8) {
        G.LineNoiseSel = 0;
        G.FilterConst.clear();
    }
}

void AnalogPanel::showPanel()
{
    applyCommandRules();
    frmMain &main = Forms::get<frmMain>();
    if (!G.MonitorOn) {
        SetMenuStates(main, {{&frmMain::mnuFileSave, true}, {&frmMain::mnuFileSaveAs, true}});
        main.button(QStringLiteral("Save"))->setEnabled(true);
        main.button(QStringLiteral("SaveAs"))->setEnabled(true);
    }
    if (!G.LinkUp) {
        SetMenuStates(main, {{&frmMain::mnuConfigModBus, false},
                             {&frmMain::mnuConfigCJM, false},
                             {&frmMain::mnuConfigUpload, false},
                             {&frmMain::mnuConfigDownload, false}});
    }
    ShowOnly(*this);
    const std::string_view family = KindFamily(m_kind);
    main.lblData(0)->setText(QString::fromLatin1(family.data(), qsizetype(family.size())));
    if (G.PanelReload)
        refill();
    G.PanelReload = false;
}

void AnalogPanel::applyCommandRules()
{
    frmMain &main = Forms::get<frmMain>();
    for (const MenuRule &rule : MenuRules) {
        const Rule r = m_kind == KindUt5 ? rule.ut5 : m_kind == KindUt8 ? rule.ut8 : rule.k6;
        QAction *menu = main.*rule.menu;
        switch (r) {
        case Rule::On:
        case Rule::Off:
            menu->setEnabled(r == Rule::On);
            break;
        case Rule::Ut8Option:
            menu->setEnabled(G.Ut8SettingsOption);
            break;
        case Rule::NotVq4:
            menu->setEnabled(main.lblData(1)->text() != G.ModelName[Vq4Ut5Model]);
            break;
        case Rule::Same:
            break;
        }
    }
}

void AnalogPanel::refill()
{
    for (int ch = 1; ch <= m_channels; ++ch) {
        const auto c = std::size_t(ch);
        if (m_kind == KindK6) {
            // A stored 0 (no type read yet) is shown as the first resistance thermometer; the
            // stored code itself stays as it is.
            const int16_t code = G.ChTypeCode[c] == 0 ? int16_t(48) : G.ChTypeCode[c];
            SplitTypeCode(int16_t(ch), code);
            lblType(ch)->setText(TypeCaption(m_kind, code));
        } else {
            const int16_t code = G.ChTypeCode[c];
            SplitTypeCode(int16_t(ch), code);
            lblType(ch)->setText(TypeCaption(m_kind, code));
            lblCjmSw(ch)->setText(CjcCaption(code, G.ChCjcSw[c]));
        }
    }
    lblBurnout->setText(BurnoutCaption(G.BurnoutType));
    if (m_kind == KindUt8)
        lblLineNoise->setText(LineNoiseCaption(G.LineNoiseSel.value_or(0)));
    lblFilter->setText(ValueText(MeasuredValue(G.FilterConst)));
    if (m_kind == KindUt8)
        ShowCaption(lblDiscOutput, DiscreteCaption(int(G.AlarmOut)));
}

void AnalogPanel::cmdCh_Click(int index)
{
    G.SelChannel = int16_t(index);
    frmType::TypeSet();
}

frmUt5::frmUt5() : AnalogPanel(QStringLiteral("frmUt5"), KindUt5, 16) {}

frmUt8::frmUt8() : AnalogPanel(QStringLiteral("frmUt8"), KindUt8, 8) {}

frmK6::frmK6() : AnalogPanel(QStringLiteral("frmK6"), KindK6, 8) {}
