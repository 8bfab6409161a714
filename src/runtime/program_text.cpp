#include "runtime/program_text.h"

// Generated from the stored texts; the glyph names are single bytes 0x8B..0x8F.
const char orbo_program_header[] =
    "-- orbo header\n"
    "\t_pausemenu={}\tfunction menuitem(index, label, callback)\t\tif (index < 1 or index > 5) t"
    "hen return end\t\t_pausemenu[index] = {}\t\t_pausemenu[index].label = label\t\t_pausemenu[i"
    "ndex].callback = callback\t\t_menuitem(index, label)\tend\tfunction all(c) if (c == nil or "
    "#c == 0) then return function() end end \t \tlocal i=1 \t \tlocal li=nil \t \treturn functi"
    "on()\t \t\tif (c[i] == li) then i=i+1 end\t \t\twhile(c[i]==nil and i <= #c) do i=i+1 end\t"
    " \t\tli=c[i]\t \t\treturn li\t \tend\tend\tfunction foreach(c,_f) for i in all(c) do _f(i) "
    "end end \tfunction count(c) \t\tlocal total=0\t\tfor i=1,#c do if c[i]~=nil then total=tota"
    "l+1 end end\t\treturn total\tend\tfunction add(c,i) if (c==nil) then return end local num=#"
    "c c[num+1]=i return i end \tfunction del(c,i) if (c==nil) then return end local num=#c if ("
    "num < 1) then return end \tlocal j local k\tfor j=1,num do if c[j]==i then\t\tfor k=j,num-1"
    " do\t\t\tc[k]=c[k+1]\t\tend c[num]=nil\treturn end end end \t\x8b""=0 \x91""=1 \x94""=2 \x83"""
    "=3 \x8e""=4 \x97""=5 \x8f""=6   \t\n";

const char orbo_program_footer[] =
    "\n"
    "\t    _end_of_program = 1\n"
    "\t  if (_init ~= nil) then _init() end\n"
    "\t  _set_mainloop_exists(0)\n"
    "\t  if (_mainloop ~= nil) then _set_mainloop_exists(1) end\n"
    "\t  if (_update60 ~= nil) then _set_fps(60) _update=nil else _set_fps(30) end\n"
    "\t  if (_mainloop == nil and (_draw ~= nil or _update ~= nil or _update60 ~= nil)) then\n"
    "\t    _set_mainloop_exists(2)\n"
    "\t    _mainloop = function()\n"
    "\t      while (true) do\n"
    "\t        _update_buttons()\n"
    "\t        holdframe()\n"
    "\t        if (stat(7) == 60) then\n"
    "\t          _mark_cpu(0) _update60()\n"
    "\t        elseif (stat(7) == 30 and _update60) then\n"
    "\t          _update60() _update_buttons() _mark_cpu(0) _update60()\n"
    "\t        elseif (stat(7) == 30 and _update) then\n"
    "\t          _mark_cpu(0) _update()\n"
    "\t        elseif (stat(7) == 15 and _update) then\n"
    "\t          _update()  _update_buttons() _mark_cpu(0) _update()\n"
    "\t        end\n"
    "\t        _mark_cpu(1)\n"
    "\t        if (_draw ~= nil) then _draw() end\n"
    "\t        _mark_cpu(2)\n"
    "\t        _update_paused_menu()\n"
    "\t        flip()\n"
    "\t        _update_framerate()\n"
    "\t        for i=1,5 do\n"
    "\t          if (_get_menu_item_selected(i)) then\n"
    "\t            _pausemenu[i].callback()\n"
    "\t          end\n"
    "\t        end\n"
    "\t      end\n"
    "\t    end\n"
    "\t  end\n"
    "\t  if (_mainloop ~= nil) then _mainloop() end\n"
    "                \n";

size_t orbo_program_header_size() { return sizeof orbo_program_header - 1; }
size_t orbo_program_footer_size() { return sizeof orbo_program_footer - 1; }

const char* const short_command[ORBO_SHORT_COMMANDS] = {
    "help", "run",     "cls",           "folder",        "reboot", "shutdown", "ls",
    "dir",  "mkdir",   "cd",            "load",          "save",   "install_demos",
    "install_games",   "info",          "export",        "keyconfig", "scout", "import",
    "login", "logout",
};
