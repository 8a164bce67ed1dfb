#include "app/frmCommLog.h"

#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "link/CommLog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int RefreshMs = 250;

const CommLog &theLog()
{
    return CommLog::Instance();
}

bool isTrouble(quint16 marks)
{
    return marks & (CommLog::TimedOut | CommLog::Refused | CommLog::Invalid | CommLog::PortError |
                    CommLog::NotSent);
}

QStringList counterTexts()
{
    const CommLog::Counters &c = theLog().counters();
    const qint64 values[frmCommLog::CounterCount] = {c.exchanges, c.timeouts,   c.refusals,
                                                     c.retries,   c.staleBytes, c.portErrors,
                                                     c.invalid,   c.notSent};
    static constexpr int captions[frmCommLog::CounterCount] = {4665, 4666, 4667, 4668,
                                                               4669, 4670, 4671, 4690};
    QStringList texts;
    for (int i = 0; i < frmCommLog::CounterCount; ++i)
        texts << LoadResString(captions[i]).arg(values[i]);
    return texts;
}

QString roundTripText(qint32 us)
{
    return us >= 0 ? QString::number(us / 1000.0, 'f', 1) : QString();
}

} // namespace

// ---- the model ----

int CommLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CommLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant CommLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const CommLog::Line line = theLog().line(seqAt(index.row()));
    if (line.seq < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case TimeColumn:
            return QDateTime::fromMSecsSinceEpoch(line.atMs).toString(
                QStringLiteral("HH:mm:ss.zzz"));
        case CommandColumn:
            return CommLog::visible(line.command);
        case ReplyColumn:
            return CommLog::visible(line.reply);
        case RoundTripColumn:
            return roundTripText(line.roundTripUs);
        case NotesColumn:
            return CommLog::notesText(line);
        default:
            return {};
        }
    case Qt::ToolTipRole:
        if (index.column() == TimeColumn)
            return QDateTime::fromMSecsSinceEpoch(line.atMs).toString(
                QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        if (index.column() == NotesColumn && !line.text.isEmpty())
            return line.text; // the whole text of a port failure, with its advice
        return {};
    case Qt::FontRole:
        if (index.column() == CommandColumn || index.column() == ReplyColumn)
            return QFontDatabase::systemFont(QFontDatabase::FixedFont);
        return {};
    case Qt::ForegroundRole:
        if (line.kind == CommLog::Kind::Exchange && !isTrouble(line.marks) &&
            !(line.marks & (CommLog::Retry | CommLog::Stale)))
            return {};
        if (line.kind == CommLog::Kind::Lost || line.kind == CommLog::Kind::OpenFailed ||
            isTrouble(line.marks))
            return QColor(176, 0, 0);
        if (line.kind != CommLog::Kind::Exchange)
            return QColor(0, 64, 160);
        return QColor(160, 96, 0); // a retry or stale bytes: worth a look, no failure
    case Qt::TextAlignmentRole:
        if (index.column() == RoundTripColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant CommLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Columns)
        return {};
    static constexpr int captions[Columns] = {4652, 4653, 4654, 4655, 4656};
    return LoadResString(captions[section]);
}

bool CommLogModel::passes(qint64 seq) const
{
    if (m_filter == AllItems)
        return true;
    return theLog().kindOf(seq) == CommLog::Kind::Exchange && theLog().itemOf(seq) == m_filter;
}

void CommLogModel::setFilter(int item)
{
    if (item == m_filter)
        return;
    m_filter = item;
    rebuild();
}

void CommLogModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    const CommLog &log = theLog();
    for (qint64 seq = log.firstSeq(); seq < log.endSeq(); ++seq) {
        if (passes(seq))
            m_rows.push_back(seq);
    }
    m_scanned = log.endSeq();
    m_generation = log.generation();
    endResetModel();
}

void CommLogModel::sync()
{
    const CommLog &log = theLog();
    if (log.generation() != m_generation || log.firstSeq() > m_scanned) {
        rebuild();
        return;
    }
    std::size_t gone = 0;
    while (gone < m_rows.size() && m_rows[gone] < log.firstSeq())
        ++gone;
    if (gone > 0) {
        beginRemoveRows({}, 0, int(gone) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + qsizetype(gone));
        endRemoveRows();
    }
    std::vector<qint64> added;
    for (qint64 seq = m_scanned; seq < log.endSeq(); ++seq) {
        if (passes(seq))
            added.push_back(seq);
    }
    m_scanned = log.endSeq();
    if (added.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(added.size()) - 1);
    m_rows.insert(m_rows.end(), added.begin(), added.end());
    endInsertRows();
}

// ---- the window ----

frmCommLog::frmCommLog(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmCommLog"));
    setWindowTitle(LoadResString(4650));

    cmdPause = new QPushButton(LoadResString(4657), this);
    cmdPause->setObjectName(QStringLiteral("cmdPause"));
    connect(cmdPause, &QPushButton::clicked, this, &frmCommLog::cmdPause_Click);
    cmdClear = new QPushButton(LoadResString(4659), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    connect(cmdClear, &QPushButton::clicked, this, &frmCommLog::cmdClear_Click);
    lblShow = new QLabel(LoadResString(4661), this);
    lblShow->setObjectName(QStringLiteral("lblShow"));
    cboItem = new QComboBox(this);
    cboItem->setObjectName(QStringLiteral("cboItem"));
    cboItem->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblShow->setBuddy(cboItem);
    connect(cboItem, &QComboBox::activated, this,
            [this] { m_model.setFilter(cboItem->currentData().toInt()); });
    cmdSave = new QPushButton(LoadResString(4660), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    connect(cmdSave, &QPushButton::clicked, this, &frmCommLog::cmdSave_Click);

    auto *top = new QHBoxLayout;
    top->addWidget(cmdPause);
    top->addWidget(cmdClear);
    top->addSpacing(12);
    top->addWidget(lblShow);
    top->addWidget(cboItem);
    top->addStretch(1);
    top->addWidget(cmdSave);

    lstLog = new QTableView(this);
    lstLog->setObjectName(QStringLiteral("lstLog"));
    lstLog->setAccessibleName(LoadResString(4650));
    lstLog->setModel(&m_model);
    lstLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstLog->setWordWrap(false);
    lstLog->setShowGrid(false);
    lstLog->setAlternatingRowColors(true);
    lstLog->verticalHeader()->hide();
    // Rows of one height: the view then copes with the whole ring without measuring each line.
    lstLog->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstLog->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView *columns = lstLog->horizontalHeader();
    columns->setStretchLastSection(true);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    lstLog->setColumnWidth(CommLogModel::TimeColumn, digit * 14);
    lstLog->setColumnWidth(CommLogModel::CommandColumn, digit * 16);
    lstLog->setColumnWidth(CommLogModel::ReplyColumn, digit * 22);
    lstLog->setColumnWidth(CommLogModel::RoundTripColumn, digit * 8);

    auto *counters = new QGridLayout;
    for (int i = 0; i < CounterCount; ++i) {
        m_count[std::size_t(i)] = new QLabel(this);
        m_count[std::size_t(i)]->setObjectName(QStringLiteral("lblCount_%1").arg(i));
        counters->addWidget(m_count[std::size_t(i)], i / 4, i % 4);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstLog, 1);
    layout->addLayout(counters);
    resize(digit * 110, 440);

    m_refresh.setInterval(RefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &frmCommLog::Refresh);
    fillItems();
    Refresh();
}

namespace {
QPointer<frmCommLog> &openWindow()
{
    static QPointer<frmCommLog> window;
    return window;
}
} // namespace

frmCommLog &frmCommLog::Open(QWidget &owner)
{
    QPointer<frmCommLog> &window = openWindow();
    if (!window) {
        // A window of its own, not kept above the main window: it may sit beside or behind it
        // while the panel is watched. It goes with its owner and does not keep the program
        // running when the main window closes.
        window = new frmCommLog;
        window->setAttribute(Qt::WA_QuitOnClose, false);
        frmCommLog *made = window;
        QObject::connect(&owner, &QObject::destroyed, made, [made] { delete made; });
    }
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    } else {
        window->show();
    }
    return *window;
}

frmCommLog *frmCommLog::IfOpen()
{
    return openWindow();
}

void frmCommLog::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Refresh();
    m_refresh.start();
}

void frmCommLog::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_refresh.stop();
}

void frmCommLog::Refresh()
{
    QScrollBar *bar = lstLog->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    m_model.sync();
    if (following)
        lstLog->scrollToBottom();
    if (theLog().items() != m_itemsShown)
        fillItems();
    showCounters();
    cmdPause->setText(LoadResString(theLog().recording() ? 4657 : 4658));
}

// The filter's choices: every item, the group selects, and each item that occurs in the log.
void frmCommLog::fillItems()
{
    m_itemsShown = theLog().items();
    const int current = m_model.filter();
    cboItem->clear();
    cboItem->addItem(LoadResString(4662), CommLogModel::AllItems);
    cboItem->addItem(LoadResString(4663), int(CommLog::GroupSelect));
    for (const qint16 item : m_itemsShown)
        cboItem->addItem(LoadResString(4664).arg(item, 2, 10, QLatin1Char('0')), int(item));
    const int index = cboItem->findData(current);
    cboItem->setCurrentIndex(index >= 0 ? index : 0);
}

void frmCommLog::showCounters()
{
    const QStringList texts = counterTexts();
    for (int i = 0; i < CounterCount; ++i)
        m_count[std::size_t(i)]->setText(texts[i]);
}

void frmCommLog::cmdPause_Click()
{
    CommLog::Instance().setRecording(!theLog().recording());
    Refresh();
}

void frmCommLog::cmdClear_Click()
{
    CommLog::Instance().clear();
    Refresh();
}

void frmCommLog::cmdSave_Click()
{
    Refresh();
    const QString name =
        QStringLiteral("tarvik-log-%1.txt")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QFileDialog dialog(this, LoadResString(4685), QDir::home().filePath(name), LoadResString(4686));
    dialog.setObjectName(QStringLiteral("dlgSaveLog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString error;
    if (!SaveTo(dialog.selectedFiles().constFirst(), &error))
        MsgBox(LoadResString(4687).arg(error), MsgIcon::Exclamation, LoadResString(4650));
}

bool frmCommLog::SaveTo(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QStringList head;
    head << LoadResString(4691).arg(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    head << counterTexts().join(QStringLiteral(", "));
    head << LoadResString(4692).arg(m_model.rowCount()) + QStringLiteral(" (") +
                cboItem->currentText() + QLatin1Char(')');
    QByteArray text = head.join(QLatin1Char('\n')).toUtf8() + "\n\n";
    for (int row = 0; row < m_model.rowCount(); ++row)
        text += CommLog::lineText(theLog().line(m_model.seqAt(row))).toUtf8() + '\n';
    file.write(text);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
