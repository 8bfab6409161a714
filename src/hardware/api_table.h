// Every global that a fresh script machine receives, in registration order.
// This table is the single list of the console's API names: the registry
// generates its registrations from it and the tokenizer its API-name list.
//
// Each entry is X(name, listed): `name` is the global's name as written in
// programs; `listed` says whether the name joins the API-name list used for
// token classification (`t` and `_set_paused` stay out of it). The registry
// adds its own columns (the binding behind each name) beside these; several
// names may share one binding (`ls`/`dir`, `map`/`mapdraw`, `shutdown`/`exit`,
// `time`/`t`).
#pragma once

#define ORBO_API_GLOBALS(X) \
    X(flip, true) \
    X(camera, true) \
    X(clip, true) \
    X(cls, true) \
    X(folder, true) \
    X(ls, true) \
    X(dir, true) \
    X(cd, true) \
    X(mkdir, true) \
    X(install_demos, true) \
    X(install_games, true) \
    X(keyconfig, true) \
    X(scout, true) \
    X(pset, true) \
    X(pget, true) \
    X(color, true) \
    X(print, true) \
    X(printh, true) \
    X(cursor, true) \
    X(tonum, true) \
    X(tostr, true) \
    X(spr, true) \
    X(sspr, true) \
    X(rect, true) \
    X(rectfill, true) \
    X(circ, true) \
    X(circfill, true) \
    X(line, true) \
    X(pal, true) \
    X(palt, true) \
    X(fillp, true) \
    X(mapdraw, true) \
    X(map, true) \
    X(mget, true) \
    X(mset, true) \
    X(fget, true) \
    X(fset, true) \
    X(sget, true) \
    X(sset, true) \
    X(music, true) \
    X(sfx, true) \
    X(peek, true) \
    X(poke, true) \
    X(peek4, true) \
    X(poke4, true) \
    X(memcpy, true) \
    X(memset, true) \
    X(reload, true) \
    X(cstore, true) \
    X(rnd, true) \
    X(srand, true) \
    X(flr, true) \
    X(ceil, true) \
    X(sgn, true) \
    X(abs, true) \
    X(min, true) \
    X(max, true) \
    X(mid, true) \
    X(cos, true) \
    X(sin, true) \
    X(sqrt, true) \
    X(atan2, true) \
    X(band, true) \
    X(bor, true) \
    X(bxor, true) \
    X(bnot, true) \
    X(shl, true) \
    X(shr, true) \
    X(lshr, true) \
    X(rotl, true) \
    X(rotr, true) \
    X(load, true) \
    X(save, true) \
    X(run, true) \
    X(stop, true) \
    X(reboot, true) \
    X(shutdown, true) \
    X(exit, true) \
    X(info, true) \
    X(export, true) \
    X(import, true) \
    X(help, true) \
    X(time, true) \
    X(t, false) \
    X(login, true) \
    X(logout, true) \
    X(bbsreq, true) \
    X(scoresub, true) \
    X(extcmd, true) \
    X(btn, true) \
    X(btnp, true) \
    X(_menuitem, true) \
    X(cartdata, true) \
    X(dget, true) \
    X(dset, true) \
    X(stat, true) \
    X(sub, true) \
    X(pairs, true) \
    X(type, true) \
    X(assert, true) \
    X(setmetatable, true) \
    X(getmetatable, true) \
    X(cocreate, true) \
    X(coresume, true) \
    X(yield, true) \
    X(costatus, true) \
    X(trace, true) \
    X(_paused, true) \
    X(holdframe, true) \
    X(_get_menu_item_selected, true) \
    X(_update_buttons, true) \
    X(_update_paused_menu, true) \
    X(_update_framerate, true) \
    X(_set_mainloop_exists, true) \
    X(_set_fps, true) \
    X(_mark_cpu, true) \
    X(_set_paused, false)
