// The file side of the script functions reload and cstore with another
// cartridge file, and the file-name rules of those functions.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int ORBO_CSTORE_NAMES_MAX = 256;
constexpr int ORBO_CSTORE_NAME_LEN_MAX = 511;

// Copies len bytes from ROM address src of the cartridge in file to live
// memory at dest. 0 on success, 1 when the file cannot be read. A file that
// is neither PNG nor text but has ".bin" in its name is a raw ROM image.
int reload_cart_partial(const char* file, int dest, int src, int len);
// Copies len bytes of live memory from src into the ROM of the cartridge in
// file at dest (and of the working cartridge with also_working), then writes
// file back. 0 on success, 2 when it cannot be written, 3 when more than 256
// different names have been written since the program started.
int cstore_cart_partial(const char* file, int dest, int src, int len, bool also_working);

// The name of the last file read or written by reload or cstore with a file
// name (the memory map clears it on the next plain reload).
std::string& orbo_last_partial_file();

// The file a script's reload or cstore name refers to: the sandboxed cstore
// file of an embedded cartridge, or root "cstore/" + the name (a leading '/'
// dropped). Empty when the name is refused: it begins with "__", has a ".."
// component, or would lie outside "cstore/".
std::string orbo_resolve_script_cart_name(const char* name);

// The script functions' file side, returning their result: len on success,
// 0 on failure. cstore without a name (name none) writes the working
// cartridge's sandboxed file and the working cartridge too.
int orbo_script_reload_file(int dest, int src, int len, const char* name);
int orbo_script_cstore_file(int dest, int src, int len, const char* name);

// Forgets the written names (program start; tests).
void orbo_reset_written_names();

// The label of a cartridge file named as reload names one (an embedded
// cartridge, else a file in "cstore/"): -1 when it is not a plain file of
// at most 1 MiB or does not load, 0 when it loads without a label, 1 when
// label holds its 128 x 128 pixels, two a byte (ORBO_LABEL_BYTES bytes, as
// the data file packs labels).
int orbo_script_cart_label(const char* name, std::vector<uint8_t>* label);

// Whether ls() lists a file of "cstore/" under this name: it holds ".ob"
// and no "~" (editor backups).
bool orbo_listed_cart_name(const std::string& name);

// The path of a user's cartridge in "cstore/" that a program may load by
// name: a plain file there whose name is one ls() lists (it holds ".ob" and
// no "~") and has no folder part. Empty otherwise.
std::string orbo_user_cart_path(const std::string& name);
