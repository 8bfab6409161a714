// The console every drawing benchmark works on: a fresh console with the
// shipped font (data.pod lies beside the benchmark binary in the build
// folder), a sprite sheet of every colour and a map of every tile.
#pragma once
#include <filesystem>
#include <string>

#include "hardware/machine.h"
#include "platform/font.h"
#include "platform/log.h"
#include "platform/pod.h"

struct scene {
    orbo_cart_ptr cart = orbo_create_cart();
    std::unique_ptr<orbo_machine> con = orbo_create_machine(cart.get());
    kiln_font_ptr font;
    scene()
    {
        kiln_log_set_stdout(false);
        std::string pod = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/data.pod";
        kiln_pod_ptr data = kiln_load_pod(pod.c_str());
        if (const kiln_file* f = data ? kiln_pod_file(data.get(), 2) : nullptr) {
            kiln_pod_ptr fp = kiln_load_pod_memory(f->bytes.data(), f->bytes.size());
            font = kiln_load_font(fp.get());
        }
        con->font = font.get();
        for (int i = 0; i < 128 * 128; i++) cart->gfx->pixels[size_t(i)] = uint8_t(i * 7 % 16);
        for (int i = 0; i < 128 * 64; i++) cart->map->pixels[size_t(i)] = uint8_t(1 + i % 255);
    }
};
