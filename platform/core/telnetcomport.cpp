#include "telnetcomport.h"

namespace {

using namespace TelnetCode;

// COM port option commands from client to server, and their values.
constexpr unsigned char SetBaudRate = 1;
constexpr unsigned char SetDataSize = 2;
constexpr unsigned char SetParity = 3;
constexpr unsigned char SetStopSize = 4;
// The server answers a command with the command plus this.
constexpr unsigned char ServerAnswer = 100;
// The longest COM port command kept: the command byte and a 4-byte value.
constexpr qsizetype LongestComPortCommand = 5;

unsigned char ParityCode(SerialBackend::Parity parity)
{
    switch (parity) {
    case SerialBackend::OddParity: return 2;
    case SerialBackend::EvenParity: return 3;
    case SerialBackend::MarkParity: return 4;
    case SerialBackend::SpaceParity: return 5;
    case SerialBackend::NoParity: break;
    }
    return 1;
}

unsigned char StopSizeCode(SerialBackend::StopBits stopBits)
{
    switch (stopBits) {
    case SerialBackend::TwoStop: return 2;
    case SerialBackend::OneAndHalfStop: return 3;
    case SerialBackend::OneStop: break;
    }
    return 1;
}

void AppendCommand(QByteArray &out, unsigned char verb, unsigned char option)
{
    out.append(static_cast<char>(Iac)).append(static_cast<char>(verb)).append(static_cast<char>(option));
}

void AppendComPortCommand(QByteArray &out, unsigned char command, QByteArrayView value)
{
    out.append(static_cast<char>(Iac)).append(static_cast<char>(SubBegin));
    out.append(static_cast<char>(ComPortOption)).append(static_cast<char>(command));
    out.append(EscapeTelnetData(value));
    out.append(static_cast<char>(Iac)).append(static_cast<char>(SubEnd));
}

QByteArray OneByte(unsigned char value)
{
    return QByteArray(1, static_cast<char>(value));
}

} // namespace

QByteArray EscapeTelnetData(QByteArrayView data)
{
    QByteArray escaped;
    escaped.reserve(data.size() + data.count(static_cast<char>(Iac)));
    for (const char byte : data) {
        escaped.append(byte);
        if (static_cast<unsigned char>(byte) == Iac)
            escaped.append(byte);
    }
    return escaped;
}

QByteArray ComPortOpening(const LineSettings &line)
{
    QByteArray out;
    AppendCommand(out, Will, ComPortOption);
    AppendCommand(out, Will, Binary);
    AppendCommand(out, Do, Binary);
    const auto baud = static_cast<quint32>(line.baudRate);
    const char baudBytes[] = {static_cast<char>(baud >> 24), static_cast<char>(baud >> 16),
                              static_cast<char>(baud >> 8), static_cast<char>(baud)};
    AppendComPortCommand(out, SetBaudRate, QByteArrayView(baudBytes, sizeof baudBytes));
    AppendComPortCommand(out, SetDataSize, OneByte(static_cast<unsigned char>(line.dataBits)));
    AppendComPortCommand(out, SetParity, OneByte(ParityCode(line.parity)));
    AppendComPortCommand(out, SetStopSize, OneByte(StopSizeCode(line.stopBits)));
    return out;
}

TelnetReader::Result TelnetReader::Feed(QByteArrayView bytes)
{
    Result result;
    for (const char signedByte : bytes) {
        const auto byte = static_cast<unsigned char>(signedByte);
        switch (m_state) {
        case State::Data:
            if (byte == Iac)
                m_state = State::Command;
            else
                result.data.append(signedByte);
            break;
        case State::Command:
            if (byte == Iac) {
                result.data.append(signedByte);
                m_state = State::Data;
            } else if (byte >= Will) {
                m_verb = byte;
                m_state = State::Option;
            } else if (byte == SubBegin) {
                m_subLength = 0;
                m_state = State::SubOption;
            } else {
                m_state = State::Data;  // a command without option: nothing to do
            }
            break;
        case State::Option:
            TakeOption(byte, result);
            m_state = State::Data;
            break;
        case State::SubOption:
            if (byte == Iac)
                m_state = State::SubOptionCommand;
            else
                TakeSubOptionByte(byte);
            break;
        case State::SubOptionCommand:
            if (byte == SubEnd) {
                EndSubOption(result);
                m_state = State::Data;
            } else {
                TakeSubOptionByte(byte);  // IAC IAC, or a stray command: kept as data
                m_state = State::SubOption;
            }
            break;
        }
    }
    return result;
}

void TelnetReader::TakeSubOptionByte(unsigned char byte)
{
    if (m_subLength == 0) {
        m_subOption = byte;
        m_subCommand.clear();
    } else if (m_subCommand.size() <= LongestComPortCommand) {
        m_subCommand.append(static_cast<char>(byte));
    }
    ++m_subLength;
}

void TelnetReader::EndSubOption(Result &result)
{
    if (m_subLength < 2 || m_subOption != ComPortOption || m_subCommand.size() > LongestComPortCommand)
        return;
    if (static_cast<unsigned char>(m_subCommand.at(0)) == ServerAnswer + SetStopSize)
        m_lineSettled = true;
    result.comPortCommands.append(m_subCommand);
}

QByteArray ComPortAnswer(QByteArrayView command)
{
    QByteArray answer;
    if (command.isEmpty())
        return answer;
    QByteArray value = command.toByteArray();
    value[0] = static_cast<char>(static_cast<unsigned char>(command.at(0)) + ServerAnswer);
    AppendComPortCommand(answer, static_cast<unsigned char>(value.at(0)), value.sliced(1));
    return answer;
}

QByteArray ComPortWelcome()
{
    QByteArray out;
    AppendCommand(out, Do, ComPortOption);
    AppendCommand(out, Will, Binary);
    AppendCommand(out, Do, Binary);
    return out;
}

void TelnetReader::TakeOption(unsigned char option, Result &result)
{
    const bool ours = option == Binary || option == ComPortOption;
    switch (m_verb) {
    case Do:
        if (option == ComPortOption)
            m_comPortAccepted = true;
        // Ours were offered already: a DO confirms them and needs no answer.
        if (!ours && !m_refusedDo.test(option)) {
            m_refusedDo.set(option);
            AppendCommand(result.reply, Wont, option);
        }
        break;
    case Dont:
        if (option == ComPortOption)
            m_comPortRefused = true;
        break;
    case Will:
        if (!ours && !m_refusedWill.test(option)) {
            m_refusedWill.set(option);
            AppendCommand(result.reply, Dont, option);
        }
        break;
    default:  // WONT: the server keeps an option off, as asked or by itself
        break;
    }
}
