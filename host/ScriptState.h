#pragma once

// Puts every global of the script back as the library's load left it, so that one process can host
// several independent runs (the simulator and the tests do).
void ResetScriptState();
