// The built-in skin images and the 13 progress frames: PNG files compiled into the program.
// Every accessor gives the whole file, bytes that live as long as the program.
#pragma once

#include <cstdint>
#include <span>

namespace assets {

using Bytes = std::span<const uint8_t>;

// Main window backgrounds, 800 x 580 with per-pixel alpha.
Bytes Background1();  // the start look
Bytes Background2();  // the finished look

// Repair button, 214 x 56: the start images and the busy image once a repair has started.
Bytes RepairNormal();
Bytes RepairHover();
Bytes RepairPressed();
Bytes RepairBusy();

// Finish button: normal 214 x 56; hover and pressed 215 x 56.
Bytes FinishNormal();
Bytes FinishHover();
Bytes FinishPressed();

// Close button, 37 x 29: picture B is the normal image, picture A the hover and pressed one.
Bytes CloseB();
Bytes CloseA();

// Progress frames, 258 x 255, shown one per step over the logo area. Frames 3 and 4 are the
// same picture (the same bytes). Outside 1..13: an empty span.
inline constexpr int kProgressFrameCount = 13;
Bytes ProgressFrame(int n);

}  // namespace assets
