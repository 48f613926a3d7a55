#pragma once

#include "linesettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <bitset>

// The Telnet side of a serial server that speaks the COM port control
// option (option 44): the bytes the console sends to set the line, the
// escaping of its data, and a reader for what the server sends back. No
// socket here; the network control feeds these pieces.

// Telnet commands and options (RFC 854, 856, 2217).
namespace TelnetCode {
inline constexpr unsigned char Iac = 255;
inline constexpr unsigned char Dont = 254;
inline constexpr unsigned char Do = 253;
inline constexpr unsigned char Wont = 252;
inline constexpr unsigned char Will = 251;
inline constexpr unsigned char SubBegin = 250;
inline constexpr unsigned char SubEnd = 240;
inline constexpr unsigned char Binary = 0;
inline constexpr unsigned char ComPortOption = 44;
} // namespace TelnetCode

// Data made fit for a Telnet stream: byte 255 (IAC) doubled.
[[nodiscard]] QByteArray EscapeTelnetData(QByteArrayView data);

// The console's opening: it will speak the COM port option and binary in
// both directions (so that CR passes alone), and asks for the line settings.
[[nodiscard]] QByteArray ComPortOpening(const LineSettings &line);

// Reads a Telnet stream a piece at a time, across piece boundaries. It
// answers the other side's option requests (refusing all but binary and the
// COM port option, each option once: a request repeated is answered by the
// refusal already sent, so replies stay bounded whatever the other side
// sends), notes whether a server takes the COM port option, keeps
// the plain data apart (a sign sends none; a server may send a text, such as
// the one that says it is busy), and hands over COM port commands for a
// server's side to answer.
class TelnetReader
{
public:
    struct Result
    {
        // Bytes to send back to the server.
        QByteArray reply;
        // Plain data, unescaped.
        QByteArray data;
        // The COM port commands that arrived whole, as command byte and value
        // (unescaped); a server's side answers them.
        QList<QByteArray> comPortCommands;
    };

    [[nodiscard]] Result Feed(QByteArrayView bytes);

    // The server said it will take the COM port option (DO 44), or that it
    // will not (DONT 44).
    [[nodiscard]] bool ComPortAccepted() const { return m_comPortAccepted; }
    [[nodiscard]] bool ComPortRefused() const { return m_comPortRefused; }
    // The server has answered the last of the line settings ComPortOpening
    // asks for (the stop bits): it has set the line.
    [[nodiscard]] bool LineSettled() const { return m_lineSettled; }

private:
    enum class State { Data, Command, Option, SubOption, SubOptionCommand };

    void TakeOption(unsigned char option, Result &result);
    void TakeSubOptionByte(unsigned char byte);
    void EndSubOption(Result &result);

    State m_state = State::Data;
    unsigned char m_verb = 0;
    bool m_comPortAccepted = false;
    bool m_comPortRefused = false;
    bool m_lineSettled = false;
    // The options refused so far, by what was asked of them.
    std::bitset<256> m_refusedDo;
    std::bitset<256> m_refusedWill;
    // The subnegotiation being read, after its option byte; kept only up to
    // a bound, as no COM port command is longer.
    qsizetype m_subLength = 0;
    unsigned char m_subOption = 0;
    QByteArray m_subCommand;
};

// A server's side: its answer to one COM port command (as Result gives it),
// the command plus 100 with the value it took; nothing for an empty one.
[[nodiscard]] QByteArray ComPortAnswer(QByteArrayView command);

// A server's side: its opening, asking the client for the COM port option
// and binary in both directions.
[[nodiscard]] QByteArray ComPortWelcome();
