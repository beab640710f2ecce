// The control card as the rest of the station holds it: an opaque device handle.
// Null means no card; every card operation then does nothing.
#pragma once

namespace vantu {

struct CardDevice;
using CardHandle = CardDevice*;

}  // namespace vantu
