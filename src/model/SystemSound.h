#pragma once

namespace halvrick {

// The short sound of a finished task: the freedesktop sound theme's "complete" event.
namespace SystemSound {

// Starts the sound and returns at once; silence when no player is installed.
void play();

} // namespace SystemSound

} // namespace halvrick
