#include "cart/cart_env.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/log.h"

bool orbo_future_version = false;

orbo_cart_env& orbo_cart_env_get()
{
    static orbo_cart_env env;
    return env;
}

void orbo_cart_print(const char* text, int colour)
{
    auto& env = orbo_cart_env_get();
    if (env.print)
        env.print(text, colour);
    else
        kiln_debug("%s%s", text, *text && text[strlen(text) - 1] == '\n' ? "" : "\n");
}

void orbo_cart_printf(int colour, const char* fmt, ...)
{
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    orbo_cart_print(buf, colour);
}

void orbo_cart_message(const char* text, int ms)
{
    auto& env = orbo_cart_env_get();
    if (env.show_message) env.show_message(text, ms);
}

void orbo_cart_hold(int frames)
{
    auto& env = orbo_cart_env_get();
    if (env.set_hold_frames) env.set_hold_frames(frames);
}

std::string orbo_cart_root_path(const std::string& relative) { return orbo_cart_env_get().root + relative; }
