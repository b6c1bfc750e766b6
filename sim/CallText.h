// A native call as the trace writes it: its arguments decoded by kind, its result, and what it wrote through
// its pointer arguments.
#pragma once
#include <string>

#include "host/NativeCatalogue.h"
#include "sim/NativeCall.h"

// "Name(arg, arg, ...": the arguments as they are before the call.
void AppendCallStart(std::string& out, const NativeInfo& native, const NativeCall& call);
// ")", " -> result" and "; out value" for each pointer argument: what the call left.
void AppendCallEnd(std::string& out, const NativeInfo& native, const NativeCall& call);
