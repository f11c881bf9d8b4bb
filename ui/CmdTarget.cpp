// CmdTarget.cpp - command routing along a chain of targets.
#include "CmdTarget.h"

bool RouteCommand(int id, std::initializer_list<CCmdTarget*> chain) {
    for (CCmdTarget* target : chain) {
        if (target && target->OnCmdMsg(id)) {
            return true;
        }
    }
    return false;
}
