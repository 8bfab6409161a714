// Every global that a fresh script machine receives, in registration order.
// This table is the single list of the console's API names: the registry
// generates its registrations from it and the tokenizer its API-name list.
//
// Each entry is X(name, binding, listed): `name` is the global's name as
// written in programs; `binding` the host function behind it (several names
// share one: `ls`/`dir`, `map`/`mapdraw`, `shutdown`/`exit`, `time`/`t`; the
// engine's library functions keep their luaB_ names); `listed` says whether
// the name joins the API-name list used for token classification (`t` and
// `_set_paused` stay out of it).
#pragma once

#define ORBO_API_GLOBALS(X) \
    X(flip, ob_flip, true) \
    X(camera, ob_camera, true) \
    X(clip, ob_clip, true) \
    X(cls, ob_cls, true) \
    X(folder, ob_folder, true) \
    X(ls, ob_ls, true) \
    X(dir, ob_ls, true) \
    X(cd, ob_cd, true) \
    X(mkdir, ob_mkdir, true) \
    X(install_demos, ob_install_demos, true) \
    X(install_games, ob_install_games, true) \
    X(keyconfig, ob_keyconfig, true) \
    X(scout, ob_scout, true) \
    X(pset, ob_pset, true) \
    X(pget, ob_pget, true) \
    X(color, ob_color, true) \
    X(print, ob_print, true) \
    X(printh, ob_printh, true) \
    X(cursor, ob_cursor, true) \
    X(tonum, ob_tonum, true) \
    X(tostr, ob_tostr, true) \
    X(spr, ob_spr, true) \
    X(sspr, ob_sspr, true) \
    X(rect, ob_rect, true) \
    X(rectfill, ob_rectfill, true) \
    X(circ, ob_circ, true) \
    X(circfill, ob_circfill, true) \
    X(line, ob_line, true) \
    X(pal, ob_pal, true) \
    X(palt, ob_palt, true) \
    X(fillp, ob_fillp, true) \
    X(mapdraw, ob_map, true) \
    X(map, ob_map, true) \
    X(mget, ob_mget, true) \
    X(mset, ob_mset, true) \
    X(fget, ob_fget, true) \
    X(fset, ob_fset, true) \
    X(sget, ob_sget, true) \
    X(sset, ob_sset, true) \
    X(music, ob_music, true) \
    X(sfx, ob_sfx, true) \
    X(peek, ob_peek, true) \
    X(poke, ob_poke, true) \
    X(peek4, ob_peek4, true) \
    X(poke4, ob_poke4, true) \
    X(memcpy, ob_memcpy, true) \
    X(memset, ob_memset, true) \
    X(reload, ob_reload, true) \
    X(cstore, ob_cstore, true) \
    X(rnd, ob_rnd, true) \
    X(srand, ob_srand, true) \
    X(flr, ob_flr, true) \
    X(ceil, ob_ceil, true) \
    X(sgn, ob_sgn, true) \
    X(abs, ob_abs, true) \
    X(min, ob_min, true) \
    X(max, ob_max, true) \
    X(mid, ob_mid, true) \
    X(cos, ob_cos, true) \
    X(sin, ob_sin, true) \
    X(sqrt, ob_sqrt, true) \
    X(atan2, ob_atan2, true) \
    X(band, ob_band, true) \
    X(bor, ob_bor, true) \
    X(bxor, ob_bxor, true) \
    X(bnot, ob_bnot, true) \
    X(shl, ob_shl, true) \
    X(shr, ob_shr, true) \
    X(lshr, ob_lshr, true) \
    X(rotl, ob_rotl, true) \
    X(rotr, ob_rotr, true) \
    X(load, ob_load, true) \
    X(save, ob_save, true) \
    X(run, ob_run, true) \
    X(stop, ob_stop, true) \
    X(reboot, ob_reboot, true) \
    X(shutdown, ob_shutdown, true) \
    X(exit, ob_shutdown, true) \
    X(info, ob_info, true) \
    X(export, ob_export, true) \
    X(import, ob_import, true) \
    X(help, ob_help, true) \
    X(time, ob_time, true) \
    X(t, ob_time, false) \
    X(login, ob_login, true) \
    X(logout, ob_logout, true) \
    X(bbsreq, ob_bbsreq, true) \
    X(scoresub, ob_scoresub, true) \
    X(extcmd, ob_extcmd, true) \
    X(btn, ob_btn, true) \
    X(btnp, ob_btnp, true) \
    X(_menuitem, ob_menuitem, true) \
    X(cartdata, ob_cartdata, true) \
    X(dget, ob_dget, true) \
    X(dset, ob_dset, true) \
    X(stat, ob_stat, true) \
    X(sub, luaB_sub, true) \
    X(pairs, luaB_pairs, true) \
    X(type, luaB_type, true) \
    X(assert, luaB_assert, true) \
    X(setmetatable, luaB_setmetatable, true) \
    X(getmetatable, luaB_getmetatable, true) \
    X(cocreate, luaB_cocreate, true) \
    X(coresume, luaB_coresume, true) \
    X(yield, luaB_yield, true) \
    X(costatus, luaB_costatus, true) \
    X(trace, luaB_trace, true) \
    X(_paused, ob_paused, true) \
    X(holdframe, ob_holdframe, true) \
    X(_get_menu_item_selected, ob_get_menu_item_selected, true) \
    X(_update_buttons, ob_update_buttons, true) \
    X(_update_paused_menu, ob_update_paused_menu, true) \
    X(_update_framerate, ob_update_frame_rate, true) \
    X(_set_mainloop_exists, ob_set_mainloop_exists, true) \
    X(_set_fps, ob_set_fps, true) \
    X(_mark_cpu, ob_mark_cpu, true) \
    X(_set_paused, ob_set_paused, false)
