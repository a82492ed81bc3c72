// The automated pharmacy's shelf lights and fetch station.
#pragma once

namespace mzpy {

// Whether the interface is switched on for this department and window pair.
bool RssInterfaceOn();
// Opens the other party's connection; true when it is open.
bool OpenRss();
void CloseRss();

}  // namespace mzpy
