// CmdTarget.cpp - command routing along a chain of targets.
#include "CmdTarget.h"

#include <QWidget>

bool RouteCommand(int id, std::initializer_list<CCmdTarget*> chain) {
    for (CCmdTarget* target : chain) {
        if (target && target->OnCmdMsg(id)) {
            return true;
        }
    }
    return false;
}

bool SendCommandUp(QWidget* from, int id) {
    for (QWidget* w = from ? from->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* target = dynamic_cast<CCmdTarget*>(w); target && target->OnCmdMsg(id)) {
            return true;
        }
    }
    return false;
}
