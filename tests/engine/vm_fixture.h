// A script engine state for tests: the console library functions, a print
// that collects its output, helpers to run text and read globals.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "engine/lua/baselib.h"
#include "engine/lua/lauxlib.h"
#include "engine/lua/lua.h"

struct vm_state {
    lua_State* L;
    std::string out;

    explicit vm_state(lua_Alloc alloc = nullptr, void* ud = nullptr)
    {
        L = alloc ? lua_newstate(alloc, ud) : luaL_newstate();
        luaL_openlibs(L);
        orbo_open_baselib(L);
        lua_pushlightuserdata(L, this);
        lua_pushcclosure(L, print, 1);
        lua_setglobal(L, "print");
    }
    ~vm_state() { lua_close(L); }
    vm_state(const vm_state&) = delete;
    vm_state& operator=(const vm_state&) = delete;

    static int print(lua_State* L)
    {
        auto* self = static_cast<vm_state*>(lua_touserdata(L, lua_upvalueindex(1)));
        int n = lua_gettop(L);
        for (int i = 1; i <= n; i++) {
            if (i > 1) self->out += '\t';
            if (lua_isstring(L, i)) self->out += lua_tostring(L, i);
            else if (lua_isnil(L, i)) self->out += "nil";
            else if (lua_isboolean(L, i)) self->out += lua_toboolean(L, i) ? "true" : "false";
            else self->out += luaL_typename(L, i);
        }
        self->out += '\n';
        return 0;
    }

    // Compiles and runs text; returns "" or the error message.
    std::string run(const char* text)
    {
        int top = lua_gettop(L);
        int status = luaL_loadstring(L, text);
        if (status == LUA_OK) status = lua_pcall(L, 0, 0, 0);
        std::string msg;
        if (status != LUA_OK) msg = lua_tostring(L, -1) ? lua_tostring(L, -1) : "?";
        lua_settop(L, top);
        return msg;
    }

    lua_Number number(const char* global)
    {
        lua_getglobal(L, global);
        lua_Number n = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return n;
    }
};
