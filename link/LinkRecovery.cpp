#include "link/LinkRecovery.h"

#include "link/Communication.h"
#include "model/Globals.h"

LinkRecovery &LinkRecovery::Instance()
{
    static LinkRecovery recovery;
    return recovery;
}

void LinkRecovery::noteLost(int portNumber)
{
    if (portNumber < 1)
        return;
    m_lost = portNumber;
    emit changed();
}

void LinkRecovery::clear()
{
    if (!m_lost)
        return;
    m_lost.reset();
    emit changed();
}

std::optional<int> LinkRecovery::portBack() const
{
    if (!m_lost || !G.CommForm)
        return std::nullopt;
    if (!G.CommForm->MSComm1().devicePresent(*m_lost))
        return std::nullopt;
    return m_lost;
}
