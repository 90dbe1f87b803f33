#pragma once

#include <QObject>

#include <csignal>
#include <iterator>

// Ends the program as quitting does when the desktop's session ends it (SIGTERM, SIGHUP) or a
// terminal interrupts it (SIGINT): the windows close and the private working folder, with undo's
// copies, goes with them instead of waiting for the next start to clear it. A running converter is
// stopped first, as the right soft key stops it.
class StopSignals : public QObject
{
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

private:
    static constexpr int Signals[] = {SIGTERM, SIGHUP, SIGINT};
    struct sigaction m_previous[std::size(Signals)] = {};
};
