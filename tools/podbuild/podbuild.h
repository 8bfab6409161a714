// podbuild: assembles pods from readable sources (see the source formats in
// sources.cpp and the manifest format in manifest.cpp).
#pragma once
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/pod.h"

// Every reader returns false and sets `err` ("file:line: message") on a
// malformed source.
bool read_palette_source(const std::string& path, kiln_palette* out, std::string* err);
bool read_art_source(const std::string& path, std::vector<kiln_bitmap_ptr>* out, std::string* err);
bool read_font_source(const std::string& path, kiln_font* out, std::string* err);
// Builds the pod a manifest describes and whether it asks to be stored
// compressed; `deps` collects every file read.
bool build_manifest(const std::string& path, kiln_pod* out, bool* compressed,
                    std::vector<std::string>* deps, std::string* err);
// Renders the parts of a built data pod to PNG files in `dir`.
int write_previews(const char* pod_path, const char* dir);
