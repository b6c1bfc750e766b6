#pragma once

// The script's entry: loads the configuration, creates "RIOTER" and runs one pass per frame, forever.
void ScriptMain();
