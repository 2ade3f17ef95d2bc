#pragma once

// Lets screen readers see the self-drawn controls: registers, once, the factory that gives
// each of them its accessible interface. Called at start, before the windows are built.
void installAccessibleFactory();
