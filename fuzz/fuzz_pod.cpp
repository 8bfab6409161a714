// Feeds arbitrary bytes to the pod reader as one or more back-to-back pods,
// and checks that whatever loads writes and reads back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/log.h"
#include "platform/pod.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (kiln_log_set_stdout(false), true);
    (void)quiet;
    kiln_stream s = kiln_stream_memory(data, size);
    for (int n = 0; n < 4 && !kiln_stream_at_end(&s); n++) {
        kiln_pod_ptr pod = kiln_load_pod_file("fuzz", &s);
        if (!pod) break;
        std::vector<uint8_t> out;
        if (!kiln_write_pod(pod.get(), n & 1, &out)) abort();
        kiln_pod_ptr back = kiln_load_pod_memory(out.data(), out.size());
        if (!back || back->items.size() != pod->items.size()) abort();
    }
    return 0;
}
