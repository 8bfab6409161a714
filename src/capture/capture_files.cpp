#include "capture/capture_files.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "platform/paths.h"

namespace {

constexpr size_t k_max_base = 200;  // leaves room for "_99999.gif" within a file name
constexpr int k_max_tries = 100000;

struct file_kind_format {
    capture_file_kind kind;
    const char* format;
};
constexpr file_kind_format k_formats[] = {
    {capture_file_kind::gif, "%s_%d.gif"},
    {capture_file_kind::png, "%s_%03d.png"},
};

std::string with_slash(std::string path)
{
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

bool path_exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string get_output_file_name_base(std::string_view title)
{
    std::string base(title.substr(0, k_max_base));
    for (char& c : base)
        if (c == '/' || static_cast<unsigned char>(c) < 32 || c == 127) c = '_';
    return base.empty() ? "ORBO" : base;
}

std::string capture_output_folder(const std::string& desktop_path)
{
    std::string folder = desktop_path;
    if (folder.empty()) {
        const char* home = getenv("HOME");
        if (home && *home) folder = with_slash(home) + "Desktop";
    }
    if (!folder.empty() && kiln_make_folder(folder)) return with_slash(folder);
    return kiln_root_folder();
}

std::string capture_free_file_name(const std::string& folder, const std::string& base, capture_file_kind kind)
{
    const char* format = k_formats[0].format;
    for (const file_kind_format& f : k_formats)
        if (f.kind == kind) format = f.format;
    char name[256];
    for (int n = 0; n < k_max_tries; n++) {
        snprintf(name, sizeof name, format, base.c_str(), n);
        std::string path = folder + name;
        if (!path_exists(path)) return path;
    }
    return {};
}

void capture_palette_rgb(const kiln_palette* palette, int index, uint8_t rgb[3])
{
    for (int c = 0; c < 3; c++) rgb[c] = palette ? palette->rgb[index * 3 + c] : uint8_t(index);
}
