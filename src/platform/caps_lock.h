#pragma once
// Whether the Caps Lock key is toggled on. On X11 the keyboard's indicator
// state is asked; elsewhere (Wayland, offscreen) the answer is false.

namespace bw {

bool capsLockOn();

} // namespace bw
