#pragma once

#include "serialcontrol.h"

#include <QStringList>

// A serial-port control that fails where the test says and logs every call,
// so tests can see which port operations were attempted and in what order.
class ScriptedSerialControl final : public SerialControl
{
public:
    enum class Step { None, Choose, Settings, Open };

    Step failAt = Step::None;
    QString failure = QStringLiteral("scripted failure");
    QStringList calls;
    FailureHandler failureHandler;
    // What Output answers; empty: it succeeds.
    QString outputFailure;

    PortStatus SetCommPort(int n) override
    {
        calls.append(QStringLiteral("SetCommPort(%1)").arg(n));
        return Outcome(Step::Choose);
    }
    PortStatus SetSettings(const QString &settings) override
    {
        calls.append(QStringLiteral("SetSettings(%1)").arg(settings));
        return Outcome(Step::Settings);
    }
    PortStatus Open() override
    {
        calls.append(QStringLiteral("Open()"));
        const PortStatus status = Outcome(Step::Open);
        m_open = status.ok;
        return status;
    }
    PortStatus Output(const QString &text) override
    {
        calls.append(QStringLiteral("Output(%1)").arg(text));
        return outputFailure.isEmpty() ? PortStatus::Success() : PortStatus::Failure(outputFailure);
    }
    void SetFailureHandler(FailureHandler handler) override { failureHandler = std::move(handler); }
    void Close() override
    {
        calls.append(QStringLiteral("Close()"));
        m_open = false;
    }
    bool IsOpen() const override { return m_open; }

private:
    PortStatus Outcome(Step step) const
    {
        return failAt == step ? PortStatus::Failure(failure) : PortStatus::Success();
    }

    bool m_open = false;
};
