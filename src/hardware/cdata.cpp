// Cartridge data: the store a running program opens with cartdata, its file
// form, and when it is written.
//
// The file is 8 lines of 64 lower-case hex digits (word 8k..8k+7 on line k,
// each "%08x" of its raw bits). Reading is lenient: only hex digits count,
// so a file with CRLF line ends or stray text loads the same words. Writing
// goes through a temporary file renamed into place, so a crash or a full
// disk leaves the previous file whole.
#include "hardware/cdata.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "cart/file_util.h"
#include "hardware/machine.h"
#include "hardware/runtime_link.h"

bool orbo_cdata_without_store = false;
std::string orbo_cdata_folder;

namespace {
constexpr int k_digits = ORBO_CDATA_WORDS * 8;
constexpr uint32_t k_save_interval_ms = 1000;

std::string g_id;              // the open store's id, "" when none
uint32_t g_last_save_ms = 0;   // framework time of the last periodic save

// What other threads may read: the words as relaxed atomics (stored with
// every change of a live word) and the open store's file path (set when a
// store opens, cleared when it closes) under a lock held only to copy it.
std::atomic<uint32_t> g_shared_words[ORBO_CDATA_WORDS];
std::mutex g_shared_lock;
std::string g_shared_path;

void share_words(const uint32_t words[ORBO_CDATA_WORDS])
{
    for (int i = 0; i < ORBO_CDATA_WORDS; i++) g_shared_words[i].store(words[i], std::memory_order_relaxed);
}

void share_path(const std::string& path)
{
    std::lock_guard<std::mutex> hold(g_shared_lock);
    g_shared_path = path;
}

bool program_running() { return orbo_runtime_hooks.program_running(); }

bool id_char_ok(unsigned char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_';
}

int hex_value(unsigned char ch)
{
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

std::string file_path(const std::string& id) { return orbo_cdata_folder + id + ".obd.txt"; }

int refuse(const char* message)
{
    orbo_runtime_error(message);
    return 2;
}
}  // namespace

std::string orbo_cdata_format(const uint32_t words[ORBO_CDATA_WORDS])
{
    std::string out;
    out.reserve(ORBO_CDATA_FILE_SIZE);
    char word[9];
    for (int i = 0; i < ORBO_CDATA_WORDS; i++) {
        snprintf(word, sizeof word, "%08x", words[i]);
        out += word;
        if (i % 8 == 7) out += '\n';
    }
    return out;
}

// A group cut short by the end of the digits holds the value of the digits
// it has, as scanning "%08x" over them gives.
void orbo_cdata_parse(const unsigned char* bytes, size_t len, uint32_t words[ORBO_CDATA_WORDS])
{
    for (int i = 0; i < ORBO_CDATA_WORDS; i++) words[i] = 0;
    if (len > ORBO_CDATA_READ_MAX) len = ORBO_CDATA_READ_MAX;
    int n = 0;
    for (size_t i = 0; i < len && n < k_digits; i++) {
        int v = hex_value(bytes[i]);
        if (v < 0) continue;
        uint32_t& w = words[n / 8];
        w = w << 4 | uint32_t(v);
        n++;
    }
}

int load_cdata(const char* id)
{
    if (!id) return program_running() ? 3 : 1;
    return orbo_load_cdata_id(id);
}

int orbo_load_cdata_id(std::string_view id)
{
    if (!program_running()) return 1;
    if (!g_id.empty()) return refuse("cartdata() can only be called once");
    if (id.empty() || id.size() > ORBO_CDATA_ID_MAX) return refuse("cart data id too long");
    for (unsigned char ch : id)
        if (!id_char_ok(ch)) return refuse("cart data id: bad char");

    g_id.assign(id);
    orbo_machine* c = orbo_live_machine();
    if (c) memset(c->cdata, 0, sizeof c->cdata);

    FILE* f = fopen(file_path(g_id).c_str(), "rb");
    int loaded = 1;
    if (f) {
        unsigned char buf[ORBO_CDATA_READ_MAX];
        size_t n = fread(buf, 1, sizeof buf, f);
        fclose(f);
        if (c) orbo_cdata_parse(buf, n, c->cdata);
        loaded = 0;
    }
    if (c) share_words(c->cdata);
    share_path(file_path(g_id));
    return loaded;
}

void orbo_cdata_set_word(orbo_machine* c, int i, uint32_t w)
{
    c->cdata[i] = w;
    c->cdata_dirty = true;
    g_shared_words[i].store(w, std::memory_order_relaxed);
}

bool orbo_cdata_save_from_any_thread()
{
    std::string path;
    {
        std::lock_guard<std::mutex> hold(g_shared_lock);
        path = g_shared_path;
    }
    if (path.empty()) return false;
    uint32_t words[ORBO_CDATA_WORDS];
    for (int i = 0; i < ORBO_CDATA_WORDS; i++) words[i] = g_shared_words[i].load(std::memory_order_relaxed);
    std::string text = orbo_cdata_format(words);
    return kiln_write_file_atomic(path, text.data(), text.size());
}

int save_cdata()
{
    orbo_machine* c = orbo_live_machine();
    if (c) c->cdata_dirty = false;
    if (!c || !program_running() || !orbo_cdata_is_open()) return 1;
    std::string text = orbo_cdata_format(c->cdata);
    return kiln_write_file_atomic(file_path(g_id), text.data(), text.size()) ? 0 : 1;
}

void orbo_cdata_periodic_save(uint32_t now_ms)
{
    orbo_machine* c = orbo_live_machine();
    if (!c || !c->cdata_dirty) return;
    // Unsigned difference: correct across the 49-day wrap of the clock.
    if (now_ms - g_last_save_ms <= k_save_interval_ms) return;
    save_cdata();
    g_last_save_ms = now_ms;
}

// The periodic interval restarts too: it never counts from a previous run.
void orbo_cdata_close()
{
    g_id.clear();
    g_last_save_ms = 0;
    share_path("");
}

const std::string& orbo_cdata_id() { return g_id; }

bool orbo_cdata_is_open() { return !g_id.empty() && g_id.size() <= ORBO_CDATA_ID_MAX; }
