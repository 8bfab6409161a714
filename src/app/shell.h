// Application start-up helpers shared with tests.
#pragma once
#include <string>

// Loads a PNG as the splash bitmap, mapped to the nearest display palette
// colours. False when the file is missing or not a PNG.
bool orbo_load_splash(const std::string& path);
