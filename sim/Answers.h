// The simulated game's answer to each native of host/NativeList.h: what the call does to the world and the
// result it writes. Each is defined in sim/Answers.cpp as Answer::<the native's name>: a native without its
// answer does not link, an answer without its native does not compile.
#pragma once
#include "host/NativeCatalogue.h"
#include "sim/NativeCall.h"

namespace Answer {
#define SKIRMORA_DECLARE_ANSWER(name, hash, signature) void name(NativeCall call);
SKIRMORA_NATIVES(SKIRMORA_DECLARE_ANSWER)
#undef SKIRMORA_DECLARE_ANSWER
}  // namespace Answer

// The world's failing calls that a native answers to, or none (nullptr): a failing call gets no answer.
FailingCalls World::*FailuresOf(NativeId native);
