// The console-facing script functions (help, ls/dir, cd, mkdir, folder,
// info, save, install_demos, install_games, import, export, reboot,
// shutdown/exit, scout) as a running program calls them, and the pieces
// they share.
//
// Invariant: every file or folder they create or open by a script-given
// name lies under the cartridge root; a name that resolves outside it is
// refused before anything touches the disk.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/api_list.h"
#include "engine/lua/lua.h"

// The shell's bindings, declared from the API list.
#define ORBO_DECLARE_SHELL(name, binding, listed, layer) ORBO_API_IS(layer, app, int binding(lua_State* L);)
ORBO_API_GLOBALS(ORBO_DECLARE_SHELL)
#undef ORBO_DECLARE_SHELL

constexpr size_t ORBO_COMMAND_NAME_MAX = 511;  // longer names are ignored or refused
constexpr size_t ORBO_CURRENT_DIR_MAX = 1024;

// Where the functions print their console lines; orbo_print_col unless a
// test records them.
using orbo_command_print_fn_t = void (*)(const char* text, int colour);
extern orbo_command_print_fn_t orbo_command_print_fn;
void orbo_command_print(const char* text, int colour);
void orbo_command_printf(int colour, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Starts a program with the given arguments, without a shell, and waits for
// it: its exit status, or -1 when it could not be started. Tests replace it
// so that no browser opens.
using orbo_launch_fn_t = int (*)(const std::vector<std::string>& argv);
extern orbo_launch_fn_t orbo_launch_fn;
// The default: fork and exec (argv[0] looked up in PATH).
int orbo_launch_process(const std::vector<std::string>& argv);

// The path relative to the cartridge root that a folder name given in the
// current directory resolves to: "" for the root, else ending in "/". A
// name starting with "/" is taken from the root. "." and ".." are resolved
// by name; nothing when the result leaves the root or the name holds a zero
// byte.
std::optional<std::string> orbo_resolve_folder(const std::string& current, const std::string& name);
// The same for a file: the relative file path (no trailing "/"); nothing
// when it leaves the root or its last component is empty, "." or "..".
std::optional<std::string> orbo_resolve_file(const std::string& current, const std::string& name);

// The names in root "cstore/" that contain ".ob" and no "~", sorted.
std::vector<std::string> orbo_cstore_listing();

// The names install_demos writes the demo pod's items under, in order.
extern const char* const orbo_demo_names[12];
// The board ids install_games stores the sample cartridges for, in order.
extern const char* const orbo_sample_game_ids[5];
