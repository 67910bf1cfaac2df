#pragma once
// The pauses the profile read and the settings writer keep between their requests, as the
// mouse needs them. Process-wide; set them (the fuzz targets set them to zero) before any read
// or write starts, never while one runs.
#include <chrono>

namespace zorvan {

struct ProfilePauses {
    std::chrono::milliseconds readPiece{10};        // after each piece of the base area, before each macro name
    std::chrono::milliseconds afterBaseArea{20};
    std::chrono::milliseconds beforeMacroSlot{15};
    std::chrono::milliseconds betweenAreas{10};     // before each area the writer writes
    std::chrono::milliseconds afterProgressDone{500};
};

ProfilePauses& Pauses();

}  // namespace zorvan
