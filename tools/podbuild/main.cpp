// podbuild: builds a pod file from a manifest, or renders a built data pod
// as PNG previews.
//
//   podbuild MANIFEST OUT.pod [DEPFILE]
//   podbuild --preview DATA.pod DIR
#include <cstdio>
#include <cstring>

#include "platform/log.h"
#include "podbuild.h"

namespace {
int usage()
{
    fputs("usage: podbuild MANIFEST OUT.pod [DEPFILE]\n       podbuild --preview DATA.pod DIR\n", stderr);
    return 2;
}

bool write_depfile(const char* depfile, const char* target, const std::vector<std::string>& deps)
{
    FILE* f = fopen(depfile, "w");
    if (!f) return false;
    fprintf(f, "%s:", target);
    for (const std::string& d : deps) fprintf(f, " \\\n  %s", d.c_str());
    fputc('\n', f);
    return fclose(f) == 0;
}
}  // namespace

int main(int argc, char** argv)
{
    kiln_log_set_stdout(false);
    if (argc == 4 && strcmp(argv[1], "--preview") == 0) return write_previews(argv[2], argv[3]);
    if (argc != 3 && argc != 4) return usage();
    kiln_pod_ptr pod = kiln_create_pod();
    bool compress = false;
    std::vector<std::string> deps;
    std::string err;
    if (!build_manifest(argv[1], pod.get(), &compress, &deps, &err)) {
        fprintf(stderr, "podbuild: %s\n", err.c_str());
        return 1;
    }
    if (int rc = kiln_save_pod(pod.get(), argv[2], compress)) {
        fprintf(stderr, "podbuild: cannot write %s (%d)\n", argv[2], rc);
        return 1;
    }
    if (argc == 4 && !write_depfile(argv[3], argv[2], deps)) {
        fprintf(stderr, "podbuild: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
