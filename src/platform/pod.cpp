// The in-memory pod: a named list of typed items whose number is their
// position. Items own their objects; destroying the pod destroys them.
#include "platform/pod.h"

#include <cstring>

namespace {
int add_item(kiln_pod* pod, kiln_pod_item item)
{
    pod->items.push_back(std::move(item));
    return int(pod->items.size()) - 1;
}

const kiln_pod_item* item_at(const kiln_pod* pod, int item, int kind)
{
    if (!pod || item < 0 || size_t(item) >= pod->items.size()) return nullptr;
    const kiln_pod_item& it = pod->items[size_t(item)];
    return it.kind == kind ? &it : nullptr;
}
}  // namespace

kiln_pod_ptr kiln_create_pod(const char* name)
{
    auto pod = std::make_unique<kiln_pod>();
    pod->name.assign(name ? name : "", name ? strnlen(name, 32) : 0);
    return pod;
}

int kiln_pod_count(const kiln_pod* pod) { return pod ? int(pod->items.size()) : 0; }

int kiln_pod_add_bitmap(kiln_pod* pod, kiln_bitmap_ptr bitmap)
{
    kiln_pod_item it;
    it.kind = KILN_ITEM_BITMAP;
    it.bitmap = std::move(bitmap);
    return add_item(pod, std::move(it));
}

int kiln_pod_add_palette(kiln_pod* pod, std::unique_ptr<kiln_palette> palette)
{
    kiln_pod_item it;
    it.kind = KILN_ITEM_PALETTE;
    it.palette = std::move(palette);
    return add_item(pod, std::move(it));
}

int kiln_pod_add_file(kiln_pod* pod, std::unique_ptr<kiln_file> file)
{
    kiln_pod_item it;
    it.kind = KILN_ITEM_FILE;
    it.file = std::move(file);
    return add_item(pod, std::move(it));
}

int kiln_pod_add_bytes(kiln_pod* pod, const char* name, const void* data, size_t len)
{
    auto f = std::make_unique<kiln_file>();
    f->name.assign(name ? name : "", name ? strnlen(name, 63) : 0);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (len) f->bytes.assign(p, p + len);
    return kiln_pod_add_file(pod, std::move(f));
}

const kiln_bitmap* kiln_pod_bitmap(const kiln_pod* pod, int item)
{
    const kiln_pod_item* it = item_at(pod, item, KILN_ITEM_BITMAP);
    return it ? it->bitmap.get() : nullptr;
}

const kiln_palette* kiln_pod_palette(const kiln_pod* pod, int item)
{
    const kiln_pod_item* it = item_at(pod, item, KILN_ITEM_PALETTE);
    return it ? it->palette.get() : nullptr;
}

const kiln_file* kiln_pod_file(const kiln_pod* pod, int item)
{
    const kiln_pod_item* it = item_at(pod, item, KILN_ITEM_FILE);
    return it ? it->file.get() : nullptr;
}
