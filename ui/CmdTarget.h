// CmdTarget.h - a receiver of command ids, and the routing through a chain of them.
#pragma once

#include <initializer_list>

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Carries out command id and returns true, or returns false when the
    // command is not this target's (the next one in the chain gets it).
    virtual bool OnCmdMsg(int id) = 0;
};

// Offers id to each non-null target in turn until one handles it; false when none did.
bool RouteCommand(int id, std::initializer_list<CCmdTarget*> chain);
