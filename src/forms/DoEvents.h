#pragma once

namespace forms {

// Runs the pending events (painting included), then returns.
void DoEvents();

} // namespace forms
