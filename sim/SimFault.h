#pragma once

// Faults a simulated module can show on the wire, switchable at run time, and their text form as
// given to `tarvik-sim --fault`.
//
// Text form:  KIND[:KEY=VALUE[,KEY=VALUE...]]
//
//   KIND      silence      no reply; the module ignores the command (no state change)
//             garble       the reply's bytes are mangled (no leading "D", stray NUL and 0xFF bytes)
//             truncate     the reply stops before its CR
//             chunks       the reply arrives in pieces:  n=PIECES (default 3), gap=MS (default 5)
//             wrong-echo   a data write is echoed with another value (or text=TEXT)
//             refuse       a data command is refused:    reply=illegal (default) | invalid
//             delay        every reply comes late:       ms=MS (required)
//             drop         the connection drops (pulled cable) instead of a reply
//
//   Which exchanges a fault hits (all given conditions must hold; none given: every exchange):
//             cmd=TEXT     the command is exactly TEXT (without its CR), e.g. cmd=G01, cmd=I05
//             item=N       a data command ("D...") while item N of group 1 is selected
//             reads        only data reads          writes   only data writes
//             after=N      only from exchange N+1 on (exchanges are counted from 1)
//             times=K      at most K times, then the fault is spent
//
// Examples:  silence:item=5    silence:after=20    chunks:n=4,gap=10    delay:ms=300
//            refuse:item=16,reply=invalid    wrong-echo:item=5,times=1    drop:after=30

#include <QByteArray>
#include <QString>

#include <optional>

struct SimFault
{
    enum class Kind { Silence, Garble, Truncate, Chunks, WrongEcho, Refuse, Delay, Drop };
    enum class Ops { Any, Reads, Writes };

    Kind kind = Kind::Silence;

    // Which exchanges it hits.
    std::optional<QByteArray> command; // exact command text without CR
    std::optional<int> item;           // data commands on this item (group 1)
    Ops ops = Ops::Any;
    int after = 0;   // exchanges 1..after are spared
    int times = -1;  // remaining hits; -1 = unlimited

    // Parameters.
    int pieces = 3;            // Chunks
    int gapMs = 5;             // Chunks: pause between pieces
    int delayMs = 0;           // Delay
    QByteArray echoText;       // WrongEcho: this payload instead of a changed value (empty: changed)
    bool refuseInvalid = false; // Refuse: "invalid data" instead of "illegal OPE"

    // Builders, so that a test reads like the fault it wants:
    //   module.addFault(SimFault::silence().onItem(5).limit(1));
    static SimFault silence() { return make(Kind::Silence); }
    static SimFault garble() { return make(Kind::Garble); }
    static SimFault truncate() { return make(Kind::Truncate); }
    static SimFault chunks(int pieces, int gapMs = 5);
    static SimFault wrongEcho(const QByteArray &text = {});
    static SimFault refuse(bool invalidData = false);
    static SimFault delay(int ms);
    static SimFault drop() { return make(Kind::Drop); }

    SimFault &onCommand(const QByteArray &text);
    SimFault &onItem(int number);
    SimFault &readsOnly();
    SimFault &writesOnly();
    SimFault &afterExchanges(int n);
    SimFault &limit(int hits);

    // Parses the text form; nullopt with *error set when it is not valid.
    static std::optional<SimFault> parse(const QString &text, QString *error = nullptr);
    // The text form (parse(f.toString()) gives f back).
    QString toString() const;

private:
    static SimFault make(Kind kind);
};
