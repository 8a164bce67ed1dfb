#include "connection/frmLoading.h"

#include "model/Globals.h"

namespace frmLoading {

void Stopping()
{
    G.TimeoutFlag = false;
}

} // namespace frmLoading
