#pragma once
// Torvik and Vantor share the port dialog and the port connection control; the few points
// where the two programs differ are chosen by this value, not by a second copy of the code.
enum class ProgramVariant {
    Torvik,  // ground station: Com 1-16, background panel, "当前端口设置:" after OK, lamp report
    Vantor,  // module tool: Com 1-14, no panel, load-time caption after OK, plain report
};
