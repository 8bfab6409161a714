// Every global that a fresh script machine receives, in registration order.
// This list is the single source of the console's API names: the registry
// generates its registrations from it, each layer the declarations and the
// wiring of its own bindings, and the tokenizer its API-name list. It only
// names the bindings, so every layer can include it.
//
// Each entry is X(name, binding, listed, layer): `name` is the global's name
// as written in programs; `binding` the host function behind it (several
// names share one: `ls`/`dir`, `map`/`mapdraw`, `shutdown`/`exit`,
// `time`/`t`; the engine's library functions keep their luaB_ names);
// `listed` says whether the name joins the API-name list used for token
// classification (`t` and `_set_paused` stay out of it); `layer` is the
// layer that defines the binding: engine, hardware, runtime or app.
#pragma once

#define ORBO_API_GLOBALS(X) \
    X(flip, ob_flip, true, runtime) \
    X(camera, ob_camera, true, hardware) \
    X(clip, ob_clip, true, hardware) \
    X(cls, ob_cls, true, hardware) \
    X(folder, ob_folder, true, app) \
    X(ls, ob_ls, true, app) \
    X(dir, ob_ls, true, app) \
    X(cd, ob_cd, true, app) \
    X(mkdir, ob_mkdir, true, app) \
    X(install_demos, ob_install_demos, true, app) \
    X(install_games, ob_install_games, true, app) \
    X(keyconfig, ob_keyconfig, true, runtime) \
    X(scout, ob_scout, true, app) \
    X(pset, ob_pset, true, hardware) \
    X(pget, ob_pget, true, hardware) \
    X(color, ob_color, true, hardware) \
    X(print, ob_print, true, hardware) \
    X(printh, ob_printh, true, hardware) \
    X(cursor, ob_cursor, true, hardware) \
    X(tonum, ob_tonum, true, hardware) \
    X(tostr, ob_tostr, true, hardware) \
    X(spr, ob_spr, true, hardware) \
    X(sspr, ob_sspr, true, hardware) \
    X(rect, ob_rect, true, hardware) \
    X(rectfill, ob_rectfill, true, hardware) \
    X(circ, ob_circ, true, hardware) \
    X(circfill, ob_circfill, true, hardware) \
    X(line, ob_line, true, hardware) \
    X(pal, ob_pal, true, hardware) \
    X(palt, ob_palt, true, hardware) \
    X(fillp, ob_fillp, true, hardware) \
    X(mapdraw, ob_map, true, hardware) \
    X(map, ob_map, true, hardware) \
    X(mget, ob_mget, true, hardware) \
    X(mset, ob_mset, true, hardware) \
    X(fget, ob_fget, true, hardware) \
    X(fset, ob_fset, true, hardware) \
    X(sget, ob_sget, true, hardware) \
    X(sset, ob_sset, true, hardware) \
    X(music, ob_music, true, hardware) \
    X(sfx, ob_sfx, true, hardware) \
    X(peek, ob_peek, true, hardware) \
    X(poke, ob_poke, true, hardware) \
    X(peek4, ob_peek4, true, hardware) \
    X(poke4, ob_poke4, true, hardware) \
    X(memcpy, ob_memcpy, true, hardware) \
    X(memset, ob_memset, true, hardware) \
    X(reload, ob_reload, true, hardware) \
    X(cstore, ob_cstore, true, hardware) \
    X(rnd, ob_rnd, true, hardware) \
    X(srand, ob_srand, true, hardware) \
    X(flr, ob_flr, true, hardware) \
    X(ceil, ob_ceil, true, hardware) \
    X(sgn, ob_sgn, true, hardware) \
    X(abs, ob_abs, true, hardware) \
    X(min, ob_min, true, hardware) \
    X(max, ob_max, true, hardware) \
    X(mid, ob_mid, true, hardware) \
    X(cos, ob_cos, true, hardware) \
    X(sin, ob_sin, true, hardware) \
    X(sqrt, ob_sqrt, true, hardware) \
    X(atan2, ob_atan2, true, hardware) \
    X(band, ob_band, true, hardware) \
    X(bor, ob_bor, true, hardware) \
    X(bxor, ob_bxor, true, hardware) \
    X(bnot, ob_bnot, true, hardware) \
    X(shl, ob_shl, true, hardware) \
    X(shr, ob_shr, true, hardware) \
    X(lshr, ob_lshr, true, hardware) \
    X(rotl, ob_rotl, true, hardware) \
    X(rotr, ob_rotr, true, hardware) \
    X(load, ob_load, true, runtime) \
    X(save, ob_save, true, app) \
    X(run, ob_run, true, runtime) \
    X(stop, ob_stop, true, runtime) \
    X(reboot, ob_reboot, true, app) \
    X(shutdown, ob_shutdown, true, app) \
    X(exit, ob_shutdown, true, app) \
    X(info, ob_info, true, app) \
    X(export, ob_export, true, app) \
    X(import, ob_import, true, app) \
    X(help, ob_help, true, app) \
    X(time, ob_time, true, runtime) \
    X(t, ob_time, false, runtime) \
    X(login, ob_login, true, hardware) \
    X(logout, ob_logout, true, hardware) \
    X(bbsreq, ob_bbsreq, true, hardware) \
    X(scoresub, ob_scoresub, true, hardware) \
    X(extcmd, ob_extcmd, true, runtime) \
    X(btn, ob_btn, true, hardware) \
    X(btnp, ob_btnp, true, hardware) \
    X(_menuitem, ob_menuitem, true, runtime) \
    X(cartdata, ob_cartdata, true, hardware) \
    X(dget, ob_dget, true, hardware) \
    X(dset, ob_dset, true, hardware) \
    X(stat, ob_stat, true, runtime) \
    X(sub, luaB_sub, true, engine) \
    X(pairs, luaB_pairs, true, engine) \
    X(type, luaB_type, true, engine) \
    X(assert, luaB_assert, true, engine) \
    X(setmetatable, luaB_setmetatable, true, engine) \
    X(getmetatable, luaB_getmetatable, true, engine) \
    X(cocreate, luaB_cocreate, true, engine) \
    X(coresume, luaB_coresume, true, engine) \
    X(yield, luaB_yield, true, engine) \
    X(costatus, luaB_costatus, true, engine) \
    X(trace, luaB_trace, true, engine) \
    X(_paused, ob_paused, true, runtime) \
    X(holdframe, ob_holdframe, true, runtime) \
    X(_get_menu_item_selected, ob_get_menu_item_selected, true, runtime) \
    X(_update_buttons, ob_update_buttons, true, runtime) \
    X(_update_paused_menu, ob_update_paused_menu, true, runtime) \
    X(_update_framerate, ob_update_frame_rate, true, runtime) \
    X(_set_mainloop_exists, ob_set_mainloop_exists, true, runtime) \
    X(_set_fps, ob_set_fps, true, runtime) \
    X(_mark_cpu, ob_mark_cpu, true, runtime) \
    X(_set_paused, ob_set_paused, false, runtime) \
    X(cartlabel, ob_cartlabel, true, hardware)

// Identifiers of the entries, in registration order.
enum orbo_api_id : int {
#define ORBO_API_ENUM(name, binding, listed, layer) ORBO_API_ID_##name,
    ORBO_API_GLOBALS(ORBO_API_ENUM)
#undef ORBO_API_ENUM
    ORBO_API_COUNT
};

// ORBO_API_IS(layer, want, x) expands to x when layer is want, else to
// nothing: a layer picks its own entries out of the list with it.
#define ORBO_API_IS(layer, want, x) ORBO_API_IS_##layer##_##want(x)
#define ORBO_API_IS_engine_engine(x) x
#define ORBO_API_IS_engine_hardware(x)
#define ORBO_API_IS_engine_runtime(x)
#define ORBO_API_IS_engine_app(x)
#define ORBO_API_IS_hardware_engine(x)
#define ORBO_API_IS_hardware_hardware(x) x
#define ORBO_API_IS_hardware_runtime(x)
#define ORBO_API_IS_hardware_app(x)
#define ORBO_API_IS_runtime_engine(x)
#define ORBO_API_IS_runtime_hardware(x)
#define ORBO_API_IS_runtime_runtime(x) x
#define ORBO_API_IS_runtime_app(x)
#define ORBO_API_IS_app_engine(x)
#define ORBO_API_IS_app_hardware(x)
#define ORBO_API_IS_app_runtime(x)
#define ORBO_API_IS_app_app(x) x
