#pragma once
// Hands the outcome of a command rule to the framework's command-state object,
// in the order the framework defines: Enable, SetCheck, SetRadio.
#include "feedback/command_states.h"
#include "framework/cmd_target.h"

void ApplyCommandState(CCmdUI* pCmdUI, const CommandState& state);
