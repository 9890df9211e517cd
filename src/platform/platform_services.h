#pragma once

// The real or fake devices and desktop services handed to the windows.
// main.cpp fills it with the real implementations; tests with fakes.
struct PlatformServices {};
