// Where files live: the root folder of user data (settings, log, cartridge
// data) and the folder of the executable (data file, splash image). Paths are
// formed by appending a relative name to one of them. An empty root means the
// working directory (no HOME and no home option).
#pragma once
#include <string>

// Sets up the root folder: the home option when non-empty, otherwise
// $HOME/.hearthware/<title>, creating each level; empty when HOME is unset
// or empty. Returns the root ("" or ending in "/").
std::string kiln_setup_root_folder(const std::string& home_option, const char* title);
void kiln_set_root_folder(const std::string& root);
const std::string& kiln_root_folder();
std::string kiln_prefix_with_appdata_path(const std::string& name);

// The executable's folder from /proc/self/exe ("" or ending in "/");
// kiln_set_exe_folder overrides it (tests).
const std::string& kiln_exe_folder();
void kiln_set_exe_folder(const std::string& folder);
std::string kiln_prefix_with_exe_path(const std::string& name);

// mkdir with mode 0755; true when the folder exists afterwards.
bool kiln_make_folder(const std::string& path);
bool kiln_folder_lists(const std::string& path);
bool kiln_file_exists(const std::string& path);
