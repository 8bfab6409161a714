#include "cart/vdisk.h"

#include "platform/pod.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace {

struct vfile {
    std::string name;
    std::vector<char> data;
};

struct handle {
    vfile* file;
    size_t pos = 0;
    FILE* self = nullptr;
};

std::vector<std::unique_ptr<vfile>> g_files;
std::set<FILE*> g_open;

std::string key_of(const char* path)
{
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

vfile* find(const std::string& key)
{
    for (auto& f : g_files)
        if (f->name == key) return f.get();
    return nullptr;
}

ssize_t h_read(void* c, char* buf, size_t size)
{
    auto* h = static_cast<handle*>(c);
    size_t left = h->pos < h->file->data.size() ? h->file->data.size() - h->pos : 0;
    size_t n = std::min(size, left);
    if (n) memcpy(buf, h->file->data.data() + h->pos, n);
    h->pos += n;
    return ssize_t(n);
}

ssize_t h_write(void* c, const char* buf, size_t size)
{
    auto* h = static_cast<handle*>(c);
    auto& d = h->file->data;
    if (h->pos + size > d.size()) d.resize(h->pos + size);
    if (size) memcpy(d.data() + h->pos, buf, size);
    h->pos += size;
    return ssize_t(size);
}

int h_seek(void* c, off64_t* offset, int whence)
{
    auto* h = static_cast<handle*>(c);
    off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? off64_t(h->pos) : off64_t(h->file->data.size());
    off64_t to = base + *offset;
    if (to < 0) return -1;
    h->pos = size_t(to);
    *offset = to;
    return 0;
}

int h_close(void* c)
{
    auto* h = static_cast<handle*>(c);
    g_open.erase(h->self);
    delete h;
    return 0;
}

FILE* open_handle(vfile* f, const char* mode)
{
    cookie_io_functions_t io = {h_read, h_write, h_seek, h_close};
    auto* h = new handle{f};
    FILE* file = fopencookie(h, mode[0] == 'r' ? "r" : "w", io);
    if (!file) {
        delete h;
        return nullptr;
    }
    h->self = file;
    return file;
}

}  // namespace

FILE* orbo_fopen_vdisk(const char* path, const char* mode)
{
    if (!path || !mode) return nullptr;
    std::string key = key_of(path);
    if (key.empty() || key.size() > 63) return nullptr;
    vfile* f = find(key);
    if (mode[0] == 'r') {
        if (!f) return nullptr;
    } else if (mode[0] == 'w') {
        if (f) {
            f->data.clear();
        } else {
            if (g_files.size() >= size_t(ORBO_VDISK_FILES)) return nullptr;
            g_files.push_back(std::make_unique<vfile>(vfile{key, {}}));
            f = g_files.back().get();
        }
    } else {
        return nullptr;
    }
    FILE* file = open_handle(f, mode);
    if (file) g_open.insert(file);
    return file;
}

bool vdisk_file_owned(FILE* file) { return g_open.count(file) != 0; }

FILE* orbo_fopen(const char* path, const char* mode)
{
    FILE* f = fopen(path, mode);
    if (!f && mode && mode[0] == 'r') f = orbo_fopen_vdisk(path, mode);
    return f;
}

bool vdisk_read_file(const char* path, std::vector<uint8_t>* out)
{
    vfile* f = path ? find(key_of(path)) : nullptr;
    if (!f) return false;
    out->assign(f->data.begin(), f->data.end());
    return true;
}

void orbo_install_vdisk_pod_reader() { kiln_set_pod_vdisk_reader(vdisk_read_file); }

bool vdisk_file_exists(const char* path) { return find(key_of(path)) != nullptr; }

// Only with no handle open: handles point into the files.
void vdisk_clear() { g_files.clear(); }
