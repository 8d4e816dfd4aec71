#pragma once

// Outcome of SWindow::setAttribute.
enum class AttrResult {
    Applied,   // the attribute was taken
    Unknown,   // no class in the chain knows the name
    Rejected,  // the name is known but the value is not acceptable; nothing changed
};
