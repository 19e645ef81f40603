#pragma once

#include <QDateTime>
#include <QString>

namespace Tunesmith
{

// The date and time as the program shows them in backup names; tests put in a fixed one.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }

    // Day first and a 24-hour time, so that names sort and never collide between morning and evening.
    QString dateText() const { return now().toString(QStringLiteral("dd/MM/yyyy")); }
    QString timeText() const { return now().toString(QStringLiteral("HH:mm:ss")); }
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDateTime when)
        : m_when(std::move(when))
    {}
    QDateTime now() const override { return m_when; }

private:
    QDateTime m_when;
};

} // namespace Tunesmith
