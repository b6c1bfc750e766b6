#pragma once
#include <cstdint>

// The hash of the relationship group "RIOTER"; 0 until ScriptMain creates it after the start-up load.
extern uint32_t& RioterGroup;

// The script's entry: loads the configuration, creates "RIOTER" and runs one pass per frame, forever.
void ScriptMain();
