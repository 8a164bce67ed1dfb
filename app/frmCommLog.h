#pragma once

// The communication log window: what went over the line, one line per exchange, with the port's
// events and counters of what went wrong; pause, clear, a filter by item and saving as text. It
// can be opened at any time, also while monitoring runs (it is no modal window and holds nothing),
// and it only reads the log that the link fills (link/CommLog.h).

#include <QAbstractTableModel>
#include <QTimer>
#include <QWidget>

#include <array>
#include <deque>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The lines of the log that pass the item filter, kept in step with the log by sync().
class CommLogModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        TimeColumn,
        CommandColumn,
        ReplyColumn,
        RoundTripColumn,
        NotesColumn,
        Columns
    };
    static constexpr int AllItems = 10000;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // AllItems, CommLog::GroupSelect or an item number.
    void setFilter(int item);
    int filter() const { return m_filter; }
    // Takes in what the log gained and drops what it lost since the last call.
    void sync();
    qint64 seqAt(int row) const { return m_rows.at(std::size_t(row)); }

private:
    bool passes(qint64 seq) const;
    void rebuild();

    std::deque<qint64> m_rows;
    qint64 m_scanned = 0; // seqs below this have been looked at
    quint64 m_generation = 0;
    int m_filter = AllItems;
};

class frmCommLog : public QWidget
{
    Q_OBJECT
public:
    explicit frmCommLog(QWidget *owner = nullptr);

    // Shows the log window, making it the first time; it is destroyed with its owner (the main
    // window).
    static frmCommLog &Open(QWidget &owner);
    // The log window when it has been made, else nullptr.
    static frmCommLog *IfOpen();

    QPushButton *cmdPause;
    QPushButton *cmdClear;
    QLabel *lblShow;
    QComboBox *cboItem;
    QPushButton *cmdSave;
    QTableView *lstLog;
    // Exchanges, time-outs, refusals, retries, stale bytes, port errors, invalid replies, not sent.
    static constexpr int CounterCount = 8;
    QLabel *lblCount(int index) const { return m_count.at(std::size_t(index)); }

    CommLogModel &model() { return m_model; }

    // Brings the window up to date with the log (also done by a timer while it is shown).
    void Refresh();

    void cmdPause_Click();
    void cmdClear_Click();
    void cmdSave_Click();
    // Saves the lines shown to a text file; false with *error set when it cannot be written.
    bool SaveTo(const QString &path, QString *error) const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fillItems();
    void showCounters();

    CommLogModel m_model;
    QTimer m_refresh;
    std::array<QLabel *, CounterCount> m_count{};
    QList<qint16> m_itemsShown;
};
