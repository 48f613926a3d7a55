#pragma once

// The command line of vantor-sign, read into plain values before anything
// touches a port or a file:
//
//   vantor-sign send [--port COM<n>] [--board N] [--brightness N]
//                    [--presentation NAME] MESSAGE|-
//   vantor-sign serve [--port COM<n>] [--mqtt URL] [--topic PREFIX]
//                     [--boards LIST] [--cafile FILE] [--user NAME]
//                     [--password-file FILE]
//   vantor-sign ports [--json]
//   vantor-sign link [--force] COM<n> DEVICE
//   vantor-sign unlink COM<n>
//   vantor-sign --help | --version | COMMAND --help
//
// Only the form is checked here. The port argument of send is kept as typed,
// for the console's reader to judge and quote; board number and brightness
// are kept as typed for the console's field checks.

#include "signfields.h"

#include <QString>
#include <QStringList>

enum class ToolCommand { Help, Version, Send, Serve, Ports, Link, Unlink };

struct SendRequest
{
    QString portArgument;  // as given; empty means the console's default, COM1
    SignFields fields;
    QString message;
    bool messagesFromInput = false;  // MESSAGE was "-": one string per line of standard input
};

struct ServeRequest
{
    QString portArgument;  // as for send
    QString brokerUrl;     // empty: the local hand-over alone
    QString topicPrefix;
    // Boards whose discovery configs go out at each connect.
    QStringList announcedBoards;
    QString caFile;
    QString user;
    QString passwordFile;
};

struct LinkRequest
{
    int port = 0;
    QString device;  // empty for unlink
    bool force = false;
};

struct ParsedCommandLine
{
    ToolCommand command = ToolCommand::Help;
    // Set when the command line is wrong; the program says so and exits with
    // the usage status.
    QString error;
    // For Help: the text to print (general, or of one command).
    QString helpText;
    SendRequest send;
    ServeRequest serve;
    bool json = false;
    LinkRequest link;
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
[[nodiscard]] ParsedCommandLine ParseCommandLine(const QStringList &arguments);

// "vantor-sign 1.0.0".
[[nodiscard]] QString VersionText();
