// TavrinDoc.h - the program's one document; it holds no data.
#pragma once

#include "CmdTarget.h"

class CTavrinDoc : public CCmdTarget {
public:
    // Re-initialises the (empty) document; always succeeds.
    bool OnNewDocument() { return true; }
    // The document handles no command of its own.
    bool OnCmdMsg(int) override { return false; }
};
