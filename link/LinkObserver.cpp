#include "link/LinkObserver.h"

namespace {
LinkObserver *observerSlot = nullptr;
bool retryNoted = false;
} // namespace

void SetLinkObserver(LinkObserver *observer)
{
    observerSlot = observer;
}

LinkObserver *CurrentLinkObserver()
{
    return observerSlot;
}

void TellLinkObserver(const LinkRecord &record)
{
    if (observerSlot)
        observerSlot->linkRecord(record);
}

void NoteRetry()
{
    retryNoted = true;
}

bool TakeRetryNote()
{
    const bool noted = retryNoted;
    retryNoted = false;
    return noted;
}
