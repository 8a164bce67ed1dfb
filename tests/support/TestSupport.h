#pragma once

// Helpers shared by the tests: what the user was told, answers to modal windows, and a clean
// program state for every test.

#include "app/MsgBox.h"

#include <QList>
#include <QString>

#include <functional>
#include <typeinfo>

class QDialog;

// Records every message box instead of showing it, while alive.
class MsgRecorder
{
public:
    MsgRecorder();
    ~MsgRecorder();
    MsgRecorder(const MsgRecorder &) = delete;
    MsgRecorder &operator=(const MsgRecorder &) = delete;

    const QList<MsgRecord> &boxes() const { return m_boxes; }
    QStringList prompts() const;
    int count() const { return int(m_boxes.size()); }
    void clear() { m_boxes.clear(); }
    // Called after a box is recorded (for instance to act while the program "shows" it).
    std::function<void(const MsgRecord &)> onBox;

private:
    QList<MsgRecord> m_boxes;
};

// Answers modal windows, in the order they open, while alive. Each answer gets the real window
// once its modal loop runs and acts on its controls. A window that is still open after the
// answer, or one that opens with no answer left, is closed and recorded as unexpected.
class ModalAnswerer
{
public:
    using Answer = std::function<void(QDialog &)>;
    ModalAnswerer();
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer &) = delete;
    ModalAnswerer &operator=(const ModalAnswerer &) = delete;

    // Queues an answer for the next modal window, which must be of type W.
    template <typename W>
    void expect(std::function<void(W &)> answer)
    {
        queue(typeid(W).name(), [answer](QDialog &d) { answer(static_cast<W &>(d)); },
              [](QDialog &d) { return dynamic_cast<W *>(&d) != nullptr; });
    }

    // Windows shown so far, by class name.
    const QStringList &shown() const { return m_shown; }
    // Problems: an unexpected window, a window of the wrong type, a window left open.
    const QStringList &problems() const { return m_problems; }
    int pending() const { return int(m_answers.size()); }

private:
    struct Pending
    {
        QString type;
        Answer answer;
        std::function<bool(QDialog &)> matches;
    };
    void queue(const char *type, Answer answer, std::function<bool(QDialog &)> matches);
    void onModal(QDialog &window);

    QList<Pending> m_answers;
    QStringList m_shown;
    QStringList m_problems;
};

// Boxes nobody records are logged, modal windows nobody answers are closed at once and logged.
void InstallTestFallbacks();

// Unloads every window, resets the program-wide variables, the English string table, the serial
// port factory, the list of present ports, the remembered port devices (kept in a file of the
// test's own, never the user's settings), a lost link and the communication log; puts back the
// fallback hooks. Call at the start of every test, before a
// MsgRecorder or ModalAnswerer is made.
void ResetProgramState();

// The file the remembered port devices are kept in during tests.
QString TestPortSettingsFile();
