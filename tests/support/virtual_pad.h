// A virtual game controller through SDL's virtual joystick API (every axis
// and button of a standard pad), for the tests and benchmarks that drive
// pads without hardware. Returns the device index, or -1.
#pragma once
#include <SDL.h>

inline int attach_virtual_pad()
{
    SDL_VirtualJoystickDesc d;
    SDL_zero(d);
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    return SDL_JoystickAttachVirtualEx(&d);
}
