// Cartridge data: 64 words of 16.16 raw bits a cartridge keeps across runs
// under an id, in console memory 0x5E00-0x5EFF, saved as a text file of 8
// lines of 64 lower-case hex digits in the cartridge-data folder.
//
// Invariants: the id is empty while no store is open, otherwise 1..64
// characters of a-z, 0-9 and "_" (so it is always a safe file name); the
// file on disk is replaced whole by a rename, never rewritten in place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int ORBO_CDATA_WORDS = 64;
constexpr int ORBO_CDATA_ID_MAX = 64;
constexpr size_t ORBO_CDATA_FILE_SIZE = 520;  // 8 lines of 64 hex digits and a line feed
constexpr size_t ORBO_CDATA_READ_MAX = 1024;  // bytes of a file the loader looks at

// Opens the store: 0 loaded, 1 not loaded (no program running, or no file),
// 2 refused with a runtime error, 3 no id.
int load_cdata(const char* id);
// The same for an id that may hold any bytes (a script string); a zero byte
// is refused as a bad character.
int orbo_load_cdata_id(std::string_view id);
// Writes the file when a program runs and a store is open: 0 written, 1 not.
int save_cdata();
// After every slice: saves when the data changed and more than 1000 ms
// passed since the last periodic save.
void orbo_cdata_periodic_save(uint32_t now_ms);
// A new run: the store is closed (the words keep their values).
void orbo_cdata_close();

struct orbo_machine;
// Sets live word i (0-63) and the dirty flag. Every change of a word goes
// through here (dset, memory writes into 0x5E00-0x5EFF) or through
// load_cdata, so that the copy other threads read stays equal to the words.
void orbo_cdata_set_word(orbo_machine* c, int i, uint32_t w);
// Writes the open store's file from that copy: the program's thread never
// waits for this and it never reads the program's state, so any thread may
// call it while the program runs or is stuck (the quit watchdog's last
// resort). Each word is one the program stored; words it stores meanwhile
// may or may not be in the file. False when no store is open or the write
// failed.
bool orbo_cdata_save_from_any_thread();

// The id of the open store ("" when none).
const std::string& orbo_cdata_id();
bool orbo_cdata_is_open();

// The launch flag that lets dget and dset work before cartdata (set by
// start-up code, for example for a tool that drives carts headless). Off by
// default; data written under it without a store is never saved.
extern bool orbo_cdata_without_store;

// The cartridge-data folder, ending in "/" (set by the shell at start-up).
extern std::string orbo_cdata_folder;

// The file form of 64 words: exactly ORBO_CDATA_FILE_SIZE bytes.
std::string orbo_cdata_format(const uint32_t words[ORBO_CDATA_WORDS]);
// Reads the words from file bytes: the hex digits in order (at most 512,
// every other byte ignored) in groups of 8; words past the digits are 0.
void orbo_cdata_parse(const unsigned char* bytes, size_t len, uint32_t words[ORBO_CDATA_WORDS]);
