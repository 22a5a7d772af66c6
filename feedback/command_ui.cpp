#include "feedback/command_ui.h"

void ApplyCommandState(CCmdUI* pCmdUI, const CommandState& state)
{
    if (state.enable)
        pCmdUI->Enable(*state.enable ? TRUE : FALSE);
    if (state.check)
        pCmdUI->SetCheck(*state.check);
    if (state.radio)
        pCmdUI->SetRadio(*state.radio ? TRUE : FALSE);
}
