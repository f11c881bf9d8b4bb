// CmdTarget.h - a receiver of command ids, and the routing through a chain of them.
#pragma once

#include <initializer_list>

class QWidget;

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Carries out command id and returns true, or returns false when the
    // command is not this target's (the next one in the chain gets it).
    virtual bool OnCmdMsg(int id) = 0;
};

// Offers id to each non-null target in turn until one handles it; false when none did.
bool RouteCommand(int id, std::initializer_list<CCmdTarget*> chain);

// How a control's menu sends its command: offered to each command target
// among from's parent widgets, nearest first (the navigator form, which
// passes text box commands on to the chapter reader while it is open, then
// the main frame); false when none handled it.
bool SendCommandUp(QWidget* from, int id);
