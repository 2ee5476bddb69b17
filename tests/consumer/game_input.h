#pragma once

// The game's own input layer over the library: one action, JUMP, on Space and on pad A.

namespace game {

constexpr int kJump = 310; // the first id after the library's default table

// Registers JUMP and binds it.
void setUpInput();
// One frame: the keyboard snapshot, then the library's update.
void inputFrame(bool spaceDown);
bool jumped();

} // namespace game
